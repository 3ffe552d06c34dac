#pragma once

#include <QFont>
#include <QMap>
#include <QWidget>
#include <memory>
#include <string>

#include "app/file_chooser.h"
#include "components/tip_balloon.h"
#include "engine.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace vell {
class ByteTextEdit;
}

// The Expression page: the variable sheet, the expression with its history,
// the result and the details report. It computes nothing itself; it hands its
// texts to the engine and shows what comes back.
class CVellPage1 : public QWidget {
  Q_OBJECT

 public:
  explicit CVellPage1(QWidget* parent = nullptr);
  ~CVellPage1() override;

  // The page's size from its template, in pixels for the given dialog font.
  static QSize TemplateSize(const QFont& dialogFont);

  // Carries out a command of the page's controls (1002 is also posted by
  // the sheet for Enter). False when the id is not one of them.
  bool OnCommand(int id);

  // Reads the controls into the members (true) or writes the members into
  // the controls (false).
  void DoDataExchange(bool fromControls);

  void OnEvaluate();
  void ShowReport();
  void LoadHistory();
  void AddToHistory();
  void OnOpenVariables();
  void OnSaveVariables();
  void OnNewVariables();
  void OnDetails();
  void OnTips();

  // The dialogs that Open and Save ask for a file; the desktop's by default.
  void SetFileChooser(vell::FileChooser* chooser);
  QWidget* ControlById(int id) const { return controls_.value(id); }

  QFont resultFont;
  QFont inputFont;
  vell::TipBalloon tipBalloon;
  QGroupBox* expressionFrame = nullptr;
  vell::ByteTextEdit* detailsBox = nullptr;
  vell::ByteTextEdit* variablesBox = nullptr;
  QLineEdit* resultBox = nullptr;
  QComboBox* expressionBox = nullptr;
  std::string expressionText;
  std::string resultText;
  std::string variablesText;
  std::string detailsText;
  int detailsOn = 0;
  int tipsOn = 1;

 protected:
  // Relays the page's events to the balloon while tips are on.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void OnInitDialog();
  QString AskForFile(vell::FileChooser::Mode mode);
  QWidget* TipTarget(QObject* watched) const;

  QMap<int, QWidget*> controls_;
  // The last resolved sheet lives here between evaluations.
  vell::Engine engine_;
  QCheckBox* detailsCheck_ = nullptr;
  QCheckBox* tipsCheck_ = nullptr;
  vell::DialogFileChooser dialogChooser_;
  vell::FileChooser* chooser_ = &dialogChooser_;
};

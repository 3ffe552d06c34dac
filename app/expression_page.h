#pragma once

#include <QFont>
#include <QMap>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>

#include "app/file_chooser.h"
#include "app/live_sheet.h"
#include "components/tip_balloon.h"
#include "engine.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vell {

class ByteTextEdit;
class LineNotes;

// The Expression page: the variable sheet, the expression with its history,
// the result and the details report. It computes nothing itself; it hands its
// texts to the engine and shows what comes back.
class ExpressionPage : public QWidget {
  Q_OBJECT

 public:
  explicit ExpressionPage(QWidget* parent = nullptr);
  ~ExpressionPage() override;

  // The page's size from its template, in pixels for the given dialog font.
  static QSize TemplateSize(const QFont& dialogFont);

  // Carries out a command of the page's controls (1002 is also posted by
  // the sheet for Enter). False when the id is not one of them.
  bool OnCommand(int id);

  // The dialogs that Open and Save ask for a file; the desktop's by default.
  void SetFileChooser(FileChooser* chooser);
  QWidget* ControlById(int id) const { return controls_.value(id); }

  ByteTextEdit* variablesBox() const { return variablesBox_; }
  QComboBox* expressionBox() const { return expressionBox_; }
  QLineEdit* resultBox() const { return resultBox_; }
  QLabel* reasonLabel() const { return reasonLabel_; }
  ByteTextEdit* detailsBox() const { return detailsBox_; }
  QGroupBox* expressionFrame() const { return expressionFrame_; }
  TipBalloon& tipBalloon() { return tipBalloon_; }
  // The values beside the Variables box, and what keeps them up to date.
  LineNotes* lineNotes() const { return lineNotes_; }
  LiveSheet& liveSheet() { return liveSheet_; }

 protected:
  // Relays the page's events to the balloon while tips are on.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  void OnInitDialog();
  void OnEvaluate();
  void ShowOutcome(const std::string& expression, const std::string& variables, const std::string& result);
  void ShowExpression(const QString& expression);
  void LoadHistory();
  void AddToHistory();
  void OnOpenVariables();
  void OnSaveVariables();
  void OnNewVariables();
  void OnDetails();
  void OnTips();
  QString AskForFile(FileChooser::Mode mode);
  QWidget* TipTarget(QObject* watched) const;
  void LayOut();
  void ShowLiveValues();

  // How a control follows the page when it is larger than its template.
  enum class Anchor { kVariables, kBelow, kBottomLeft, kBottomRight, kDetails };
  struct Placement {
    QWidget* control;
    QRect rect;  // at the template's size
    Anchor anchor;
  };

  QMap<int, QWidget*> controls_;
  QList<Placement> placements_;
  TipBalloon tipBalloon_;
  QGroupBox* expressionFrame_ = nullptr;
  ByteTextEdit* detailsBox_ = nullptr;
  ByteTextEdit* variablesBox_ = nullptr;
  QLineEdit* resultBox_ = nullptr;
  QLabel* reasonLabel_ = nullptr;  // why the result is "E"
  QComboBox* expressionBox_ = nullptr;
  QCheckBox* detailsCheck_ = nullptr;
  QCheckBox* tipsCheck_ = nullptr;
  LineNotes* lineNotes_ = nullptr;
  LiveSheet liveSheet_;
  QTimer liveDelay_;  // a short pause in typing before the values follow
  // The last resolved sheet lives here between evaluations.
  Engine engine_;
  bool evaluating_ = false;
  DialogFileChooser dialogChooser_;
  FileChooser* chooser_ = &dialogChooser_;
};

}  // namespace vell

#pragma once

#include <QString>

class QWidget;

namespace vell {

// The open and save file dialogs of the Expression page. Tests put a
// scripted chooser in their place.
class FileChooser {
 public:
  enum class Mode { kOpen, kSave };

  struct Request {
    Mode mode = Mode::kOpen;
    QString initialName;       // a path, or a folder followed by a pattern such as "*.TXT"
    QString filter;            // display names and patterns, ";;" between entries
    QString defaultExtension;  // added to a typed name without one
  };

  virtual ~FileChooser();
  // The chosen full path, or empty when the dialog was cancelled. An open
  // dialog accepts existing files only; a save dialog asks before replacing one.
  virtual QString Choose(const Request& request) = 0;
};

// The desktop's file dialogs.
class DialogFileChooser : public FileChooser {
 public:
  explicit DialogFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
  QString Choose(const Request& request) override;

 private:
  QWidget* parent_;
};

}  // namespace vell

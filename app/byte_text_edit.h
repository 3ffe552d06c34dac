#pragma once

#include <QPlainTextEdit>
#include <string>

namespace vell {

// A multi-line box whose text is a byte string. Bytes set into it come back
// unchanged, line ends and invalid UTF-8 included, until the user edits the
// text; edited text is written with the line end the last bytes used
// (carriage return and line feed when they had none).
class ByteTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ByteTextEdit(QWidget* parent = nullptr);

  void SetBytes(std::string bytes);
  std::string Bytes() const;

  // Blank space, in pixels, left and right of the text.
  void SetMargins(int left, int right) { setViewportMargins(left, 0, right, 0); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString Shown() const;

  std::string bytes_;
  QString shown_;  // what the document held right after SetBytes
  std::string lineEnd_ = "\r\n";
};

}  // namespace vell

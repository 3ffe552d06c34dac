#pragma once

#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "app/byte_text.h"

namespace vell {

// A multi-line box whose text is a byte string. Bytes set into it come back
// unchanged, line ends and invalid UTF-8 included, until the user edits the
// text. After an edit the unedited text keeps its bytes; the edited text is
// written in the encoding of the bytes (Windows-1252 when they were not valid
// UTF-8) and with the line end they used (carriage return and line feed when
// they had none).
class ByteTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ByteTextEdit(QWidget* parent = nullptr);

  void SetBytes(std::string bytes);
  std::string Bytes() const;
  // What edits are saved in: the encoding of the bytes last set while any
  // of their text is still there, UTF-8 once all of it was replaced.
  TextEncoding encoding() const;

  // Blank space, in pixels, left and right of the text.
  void SetMargins(int left, int right) { setViewportMargins(left, 0, right, 0); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString Shown() const;
  // The lengths of the text shown and the text set have in common at the
  // start and at the end; false (and none) when the text set could not be
  // mapped to its bytes.
  bool CommonEnds(const QString& shown, qsizetype& prefix, qsizetype& suffix) const;
  // The encoding an edit giving shown is written in, with CommonEnds' lengths.
  TextEncoding EditEncoding(const QString& shown, qsizetype& prefix, qsizetype& suffix) const;
  size_t ByteAt(qsizetype shown) const;
  std::string Splice(const QString& shown, qsizetype prefix, qsizetype suffix, TextEncoding encoding) const;

  std::string bytes_;
  QString shown_;  // what the document held right after SetBytes
  // Where the bytes of each unit of shown_ begin; empty when the document
  // did not show the text as expected, so that no edit can keep bytes.
  std::vector<size_t> starts_;
  TextEncoding encoding_ = TextEncoding::kUtf8;
  std::string lineEnd_ = "\r\n";
};

}  // namespace vell

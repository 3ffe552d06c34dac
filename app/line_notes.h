#pragma once

#include <QList>
#include <QString>
#include <QWidget>

namespace vell {

class ByteTextEdit;

// A column at the right edge of a text box that shows a short note beside
// each of its lines, in line with the text as it scrolls. The box gives up
// the column's width; without notes the column takes no room.
class LineNotes : public QWidget {
  Q_OBJECT

 public:
  struct Note {
    int line;  // the box's line number, from 0
    QString text;
    bool alert;  // drawn in a warning colour
  };

  explicit LineNotes(ByteTextEdit* box);

  // Notes sorted by line, at most one per line.
  void SetNotes(QList<Note> notes);
  // The note beside line, or an empty text.
  QString NoteAt(int line) const;
  const QList<Note>& notes() const { return notes_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DescribeCursorLine();
  const Note* Find(int line) const;
  int LineAt(int y) const;
  void Place();

  ByteTextEdit* box_;
  QWidget* viewport_;  // the box's, kept for telling its events apart
  QList<Note> notes_;
  int wanted_ = 0;  // the width the widest note asks for
};

}  // namespace vell

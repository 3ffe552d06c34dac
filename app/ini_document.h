#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

class QIODevice;

namespace vell {

// A settings file in QSettings' INI form, held as its lines. Reading a value
// reads its one line, and a change rewrites or adds single lines and leaves
// every other byte as it was. Section and value names compare without regard
// to letter case; where a name is stored in several spellings, the first in
// sorted order counts, as QSettings lists them. A section's values are found
// the first time it is used, so a large section nobody reads costs nothing
// but the check.
class IniDocument {
 public:
  // Takes the file's bytes. Returns the number (from 1) of the first line
  // that QSettings would read past its end (an open quote, a trailing
  // backslash, a header without "]"), whose bytes it would change when
  // writing the file back (invalid UTF-8), or that holds control characters;
  // the document is then empty. Returns 0 when every line is well formed.
  int Load(const QByteArray& bytes);

  // The text QSettings reads for the value; none when it is absent or no text.
  std::optional<QString> Value(const QString& section, const QString& name);

  // Writes an integer or string value as QSettings does, in place of the
  // value's line or as a new line at the end of its section (a new section
  // at the end of the file).
  void Set(const QString& section, const QString& name, const QVariant& value);

  // Writes the document to device; false when the device takes less.
  bool WriteTo(QIODevice& device) const;

 private:
  // A line of the file, or one written since (at -(start + 1) in written_).
  struct Line {
    qsizetype start;
    qsizetype size;
  };
  struct Section {
    QList<int> headers;                 // the lines of its "[...]" headers
    int end = 0;                        // where a new value line goes
    bool indexed = false;               // values below are known
    QHash<QString, QString> spellings;  // case-folded name -> stored spelling that counts
    QHash<QString, int> lines;          // stored name -> the line QSettings reads it from
  };

  QByteArrayView Text(int line, bool raw = false) const;
  Section* Find(const QString& section);
  void Index(Section& section);
  Section& AddSection(const QString& spelling);
  int AddLine(int at, const QByteArray& text);
  Line Written(const QByteArray& text);

  QByteArray bytes_;
  QList<Line> lines_;  // a last empty one when the file ends with a line end
  QList<QByteArray> written_;
  QList<int> headers_;                        // every header line, in order
  QHash<QString, QString> sectionSpellings_;  // case-folded name -> stored spelling that counts
  QHash<QString, Section> sections_;          // by stored spelling
};

}  // namespace vell

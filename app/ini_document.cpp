#include "app/ini_document.h"

#include <QIODevice>
#include <QUtf8StringView>
#include <algorithm>

#include "app/ini_text.h"

namespace vell {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

char16_t Unit(char c) { return uchar(c); }
char16_t Unit(QChar c) { return c.unicode(); }

// The part of a well-formedness check that sees only ASCII characters; the
// line is trimmed of blanks at both ends.
template <typename View>
bool IsWellFormedTrimmed(View line) {
  if (line.isEmpty() || Unit(line.at(0)) == u';' || Unit(line.at(0)) == u'#') return true;
  if (Unit(line.at(0)) == u'[') return Unit(line.at(line.size() - 1)) == u']';
  bool quoted = false;
  for (qsizetype i = 0; i < line.size(); ++i) {
    if (Unit(line.at(i)) == u'\\') {
      if (++i == line.size()) return false;  // continues on the next line
    } else if (Unit(line.at(i)) == u'"') {
      quoted = !quoted;
    }
  }
  return !quoted;
}

// Reading such a line swallows values, and writing the file back would lose
// them for good; see IniDocument::Load.
bool IsWellFormedLine(QByteArrayView line) {
  bool ascii = true;
  for (const char c : line) {
    if (uchar(c) < 0x20 && c != '\t') return false;
    ascii = ascii && uchar(c) < 0x80;
  }
  if (ascii) return IsWellFormedTrimmed(line.trimmed());
  // Blanks beyond ASCII count when trimming too.
  return QUtf8StringView(line).isValidUtf8() && IsWellFormedTrimmed(QStringView(QString::fromUtf8(line).trimmed()));
}

qsizetype SkipBlanks(QByteArrayView line, qsizetype at) {
  while (at < line.size() && (line.at(at) == ' ' || line.at(at) == '\t')) ++at;
  return at;
}

// A value's line as QSettings reads it: the name before the first "="
// outside quotes, the value after it up to a ";" outside quotes.
struct ValueLine {
  QByteArrayView name;
  QByteArrayView value;
};

std::optional<ValueLine> ReadValueLine(QByteArrayView line) {
  const qsizetype start = SkipBlanks(line, 0);
  if (start == line.size() || line.at(start) == ';' || line.at(start) == '[') return std::nullopt;
  qsizetype equals = -1;
  qsizetype end = line.size();
  bool quoted = false;
  for (qsizetype i = start; i < line.size(); ++i) {
    const char c = line.at(i);
    if (c == '\\') {
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ';') {
      end = i;  // the rest is a comment
      break;
    } else if (!quoted && c == '=' && equals < 0) {
      equals = i;
    }
  }
  if (equals < 0) return std::nullopt;
  qsizetype nameEnd = equals;
  while (nameEnd > start && (line.at(nameEnd - 1) == ' ' || line.at(nameEnd - 1) == '\t')) --nameEnd;
  if (nameEnd == start) return std::nullopt;
  return ValueLine{line.sliced(start, nameEnd - start), line.sliced(equals + 1, end - equals - 1)};
}

// The section a header line opens; empty for [General], whose values
// QSettings keeps outside any section.
QString HeaderSection(QByteArrayView line) {
  const qsizetype start = SkipBlanks(line, 0);
  const qsizetype close = line.indexOf(']', start);
  const QByteArrayView name = line.sliced(start + 1, (close < 0 ? line.size() : close) - start - 1).trimmed();
  return name.compare("general", Qt::CaseInsensitive) == 0 ? QString() : UnescapedIniName(name);
}

// Keeps the first spelling in sorted order, as QSettings lists names.
void NoteSpelling(QString& kept, const QString& spelling) {
  if (kept.isNull() || spelling < kept) kept = spelling;
}

}  // namespace

int IniDocument::Load(const QByteArray& bytes) {
  *this = IniDocument();
  bytes_ = bytes;
  for (qsizetype start = 0;;) {
    qsizetype end = bytes_.indexOf('\n', start);
    if (end < 0) end = bytes_.size();
    const int number = int(lines_.size());
    lines_.append(Line{start, end - start});
    const QByteArrayView line = Text(number);
    if (!IsWellFormedLine(line)) {
      *this = IniDocument();
      return number + 1;
    }
    const qsizetype first = SkipBlanks(line, 0);
    if (first < line.size() && line.at(first) == '[') {
      headers_.append(number);
      const QString section = HeaderSection(line);
      if (!section.isEmpty()) {
        NoteSpelling(sectionSpellings_[section.toCaseFolded()], section);
        sections_[section].headers.append(number);
      }
    }
    if (end == bytes_.size()) break;
    start = end + 1;
  }
  return 0;
}

// The line's bytes without its line end, and for the first line without a
// byte order mark; with raw, as they stand in the file.
QByteArrayView IniDocument::Text(int line, bool raw) const {
  const Line& where = lines_.at(line);
  QByteArrayView text = where.start >= 0 ? QByteArrayView(bytes_).sliced(where.start, where.size)
                                         : QByteArrayView(written_.at(-where.start - 1));
  if (raw) return text;
  if (line == 0 && text.startsWith(kByteOrderMark)) text = text.sliced(kByteOrderMark.size());
  if (text.endsWith('\r')) text.chop(1);
  return text;
}

IniDocument::Section* IniDocument::Find(const QString& section) {
  const QString spelling = sectionSpellings_.value(section.toCaseFolded());
  if (spelling.isNull()) return nullptr;
  Section& found = sections_[spelling];
  if (!found.indexed) Index(found);
  return &found;
}

// Finds the values of a section's blocks, each from its header to the next.
void IniDocument::Index(Section& section) {
  section.indexed = true;
  for (const int header : section.headers) {
    const auto next = std::upper_bound(headers_.cbegin(), headers_.cend(), header);
    const int blockEnd = next == headers_.cend() ? int(lines_.size()) : *next;
    section.end = header + 1;
    for (int line = header + 1; line < blockEnd; ++line) {
      const std::optional<ValueLine> value = ReadValueLine(Text(line));
      if (!value) continue;
      const QString name = UnescapedIniName(value->name);
      if (name.contains(QLatin1Char('/'))) continue;  // a value of a group inside the section
      NoteSpelling(section.spellings[name.toCaseFolded()], name);
      section.lines.insert(name, line);  // the last line of a name is the one QSettings reads
      section.end = line + 1;
    }
  }
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& name) {
  const Section* found = Find(section);
  if (!found) return std::nullopt;
  const QString spelling = found->spellings.value(name.toCaseFolded());
  if (spelling.isNull()) return std::nullopt;
  const std::optional<ValueLine> line = ReadValueLine(Text(found->lines.value(spelling)));
  return line ? IniValueText(line->value) : std::nullopt;
}

void IniDocument::Set(const QString& section, const QString& name, const QVariant& value) {
  Section* found = Find(section);
  Section& entry = found ? *found : AddSection(section);
  QString& spelling = entry.spellings[name.toCaseFolded()];
  if (spelling.isNull()) spelling = name;
  QByteArray text = EscapedIniName(spelling) + '=' + EscapedIniValue(value);
  const auto line = entry.lines.constFind(spelling);
  if (line == entry.lines.cend()) {
    if (Text(entry.end - 1, true).endsWith('\r')) text += '\r';  // line ends as the section's
    entry.lines.insert(spelling, AddLine(entry.end, text));
    return;
  }
  const QByteArrayView old = Text(*line, true);
  if (old.endsWith('\r')) text += '\r';
  if (*line == 0 && old.startsWith(kByteOrderMark)) text.prepend(kByteOrderMark.data(), kByteOrderMark.size());
  Line& where = lines_[*line];
  if (where.start >= 0) {
    where = Written(text);
  } else {
    written_[-where.start - 1] = text;  // a value written again takes no more room
    where.size = text.size();
  }
}

bool IniDocument::WriteTo(QIODevice& device) const {
  const auto write = [&device](QByteArrayView bytes) {
    return device.write(bytes.data(), bytes.size()) == bytes.size();
  };
  for (int line = 0; line < lines_.size();) {
    if (line > 0 && !write("\n")) return false;
    const Line& first = lines_.at(line++);
    if (first.start < 0) {
      if (!write(written_.at(-first.start - 1))) return false;
      continue;
    }
    // Lines that still follow one another in the file go in one piece.
    qsizetype end = first.start + first.size;
    for (; line < lines_.size() && lines_.at(line).start == end + 1; ++line) end += 1 + lines_.at(line).size;
    if (!write(QByteArrayView(bytes_).sliced(first.start, end - first.start))) return false;
  }
  return true;
}

IniDocument::Section& IniDocument::AddSection(const QString& spelling) {
  // The file ends with a line end, and a blank line sets the section apart,
  // as QSettings writes them. Nothing is noted past these lines.
  if (lines_.isEmpty() || !Text(int(lines_.size()) - 1, true).isEmpty()) lines_.append(Written(QByteArray()));
  int at = int(lines_.size()) - 1;
  if (at > 0 && !Text(at - 1).trimmed().isEmpty()) lines_.insert(at++, Written(QByteArray()));
  lines_.insert(at, Written('[' + EscapedIniName(spelling) + ']'));
  headers_.append(at);
  sectionSpellings_.insert(spelling.toCaseFolded(), spelling);
  Section& entry = sections_[spelling];
  entry.headers.append(at);
  entry.indexed = true;
  entry.end = at + 1;
  return entry;
}

IniDocument::Line IniDocument::Written(const QByteArray& text) {
  written_.append(text);
  return Line{-qsizetype(written_.size()), text.size()};
}

// Inserts a line before line at; every line noted from there moves down one.
int IniDocument::AddLine(int at, const QByteArray& text) {
  const auto move = [at](int& line) {
    if (line >= at) ++line;
  };
  std::for_each(headers_.begin(), headers_.end(), move);
  for (Section& entry : sections_) {
    std::for_each(entry.headers.begin(), entry.headers.end(), move);
    std::for_each(entry.lines.begin(), entry.lines.end(), move);
    move(entry.end);
  }
  lines_.insert(at, Written(text));
  return at;
}

}  // namespace vell

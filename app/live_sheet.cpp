#include "app/live_sheet.h"

#include <QThread>
#include <utility>

#include "app/engine_thread.h"
#include "vell_engine.h"

namespace vell {

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::vector<LiveLine> ResolveLiveLines(Engine& engine, std::string_view sheet) {
  // Evaluate hands the engine the sheet without its outer blanks.
  const std::string_view trimmed = TrimWhiteSpace(sheet);
  const size_t begin = trimmed.empty() ? sheet.size() : static_cast<size_t>(trimmed.data() - sheet.data());
  const size_t end = begin + trimmed.size();
  std::string ignored;
  engine.ResolveVariables(trimmed, std::string_view(), ignored);
  std::string report;
  engine.WriteDetailsReport(report);
  const std::vector<std::string> reasons = engine.ErrorReasons();
  const EngineState& state = engine.State();

  std::vector<LiveLine> lines;
  size_t stored = 0, reportAt = 0, errors = 0;
  int line = 0;
  size_t at = 0;
  // The box breaks lines at CR LF, CR and LF; the engine at runs of them, so
  // the box's empty lines are the only ones it skips.
  while (at <= sheet.size()) {
    size_t stop = at;
    while (stop < sheet.size() && !IsBreak(sheet[stop])) ++stop;
    const size_t from = std::max(at, begin), to = std::min(stop, end);
    const bool comment = from < to && (sheet[from] == ';' || sheet[from] == '?');
    if (from < to && !comment && stored < static_cast<size_t>(state.lineCount)) {
      const std::string_view storedLine = state.sheetLines[stored];
      if (storedLine.find('=') != std::string_view::npos) {
        const size_t lineEnd = report.find('\n', reportAt);
        const std::string_view entry = std::string_view(report).substr(reportAt, lineEnd - reportAt);
        reportAt = lineEnd + 1;
        if (state.lineStatus[stored] == kResolved) {
          // "NAME = value": a name holds no "=", so the first one parts them.
          lines.push_back({line, std::string(entry.substr(entry.find('=') + 2)), false});
        } else {
          lines.push_back({line, errors < reasons.size() ? reasons[errors] : std::string(), true});
          ++errors;
        }
      }
      ++stored;
    }
    if (stop == sheet.size()) break;
    at = stop + (sheet[stop] == '\r' && stop + 1 < sheet.size() && sheet[stop + 1] == '\n' ? 2 : 1);
    ++line;
  }
  return lines;
}

LiveSheet::LiveSheet(QObject* parent) : QObject(parent), thread_(new QThread(this)), worker_(new QObject) {
  thread_->setStackSize(EngineStackBytes());
  worker_->moveToThread(thread_);
  thread_->start(QThread::LowPriority);
}

LiveSheet::~LiveSheet() {
  thread_->quit();
  thread_->wait();
  delete worker_;
}

void LiveSheet::Request(std::string sheet) {
  pending_ = std::move(sheet);
  hasPending_ = true;
  if (!busy_) StartNext();
}

void LiveSheet::StartNext() {
  hasPending_ = false;
  busy_ = true;
  QMetaObject::invokeMethod(worker_, [this, sheet = std::move(pending_)] {
    std::vector<LiveLine> lines = ResolveLiveLines(engine_, sheet);
    QMetaObject::invokeMethod(
        this, [this, lines = std::move(lines)]() mutable { Finish(std::move(lines)); }, Qt::QueuedConnection);
  });
  pending_.clear();
}

void LiveSheet::Finish(std::vector<LiveLine> lines) {
  busy_ = false;
  // A newer text is waiting: this outcome is already out of date.
  if (hasPending_) {
    StartNext();
    return;
  }
  lines_ = std::move(lines);
  emit resolved();
}

}  // namespace vell

#pragma once

#include <QObject>
#include <string>
#include <string_view>
#include <vector>

#include "engine.h"

class QThread;

namespace vell {

// What a line of the Variables box gives on its own resolution.
struct LiveLine {
  int line;          // the box's line number, from 0
  std::string text;  // the value's display form, or why the line fails
  bool failed;
};

// Resolves sheet (the Variables box's bytes as typed) in engine as Evaluate
// would, and tells what each definition line of the box gave, in line order.
// Comment lines, blank lines and lines without "=" give nothing.
std::vector<LiveLine> ResolveLiveLines(Engine& engine, std::string_view sheet);

// Keeps the values of a sheet being typed up to date, off the user
// interface's thread, with an engine of its own: the state Evaluate uses is
// never touched.
class LiveSheet : public QObject {
  Q_OBJECT

 public:
  explicit LiveSheet(QObject* parent = nullptr);
  ~LiveSheet() override;

  // Resolves sheet in the background; while one resolution runs, only the
  // newest request waits for its turn.
  void Request(std::string sheet);
  const std::vector<LiveLine>& lines() const { return lines_; }
  bool busy() const { return busy_; }

 signals:
  // lines() holds the outcome of the newest request.
  void resolved();

 private:
  void StartNext();
  void Finish(std::vector<LiveLine> lines);

  QThread* thread_ = nullptr;
  QObject* worker_ = nullptr;  // lives in thread_
  Engine engine_;              // used on thread_ only
  std::string pending_;
  bool hasPending_ = false;
  bool busy_ = false;
  std::vector<LiveLine> lines_;
};

}  // namespace vell

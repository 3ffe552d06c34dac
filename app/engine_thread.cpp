#include "app/engine_thread.h"

#include <sys/resource.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <memory>

namespace vell {

namespace {

constexpr int kBusyAfterMs = 100;
constexpr rlim_t kLeastStack = rlim_t{8} << 20;
constexpr rlim_t kUnlimitedStack = rlim_t{64} << 20;
constexpr rlim_t kMostStack = rlim_t{1} << 30;

}  // namespace

unsigned EngineStackBytes() {
  rlimit limit{};
  if (getrlimit(RLIMIT_STACK, &limit) != 0) return static_cast<unsigned>(kLeastStack);
  const rlim_t bytes =
      limit.rlim_cur == RLIM_INFINITY ? kUnlimitedStack : std::clamp(limit.rlim_cur, kLeastStack, kMostStack);
  return static_cast<unsigned>(bytes);
}

BusyCursor::BusyCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

void RunWithBusyCursor(const std::function<void()>& work) {
  std::unique_ptr<QThread> thread(QThread::create(work));
  thread->setStackSize(EngineStackBytes());
  thread->start();
  if (thread->wait(QDeadlineTimer(kBusyAfterMs))) return;
  const BusyCursor busy;
  while (!thread->wait(QDeadlineTimer(20))) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace vell

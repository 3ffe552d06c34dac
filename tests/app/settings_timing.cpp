// Times the program's start and one evaluation with a settings file of about
// 5 MB: opening the store and making the Expression page (which loads the
// history), then an evaluation (which saves it). Prints milliseconds and
// checks nothing. Runs in a sandbox like the tests: VELL_TEST_SANDBOX set,
// HOME and the XDG folders inside it.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <cstdio>

#include "app/command_ids.h"
#include "app/expression_page.h"
#include "app/settings_store.h"
#include "page_fixture.h"
#include "platform/program_info.h"
#include "sandbox.h"

using vell::ExpressionPage;
using vell::SettingsStore;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (!PrepareSandbox()) {
    std::fprintf(stderr, "settings_timing: HOME and XDG_CONFIG_HOME must lie in VELL_TEST_SANDBOX\n");
    return 2;
  }
  const QString path = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvant Systems/") +
                       vell::platform::ApplicationName() + QStringLiteral(".conf");
  // The history, and many values that another program keeps in a section of its own.
  QByteArray bytes = "[Expressions]\nCount=21\n";
  for (int i = 1; i <= 21; ++i) bytes += QByteArray::number(i) + "=sin(" + QByteArray::number(i) + ")*2\n";
  bytes += "[Other]\n";
  for (int i = 0; bytes.size() < qsizetype{5} * 1000 * 1000; ++i) {
    const QByteArray number = QByteArray::number(i);
    bytes += "value" + number + "=a text that another program keeps here, " + number + "\n";
  }
  if (!WriteFile(path, bytes)) return 1;

  QElapsedTimer timer;
  timer.start();
  SettingsStore store;
  const double opened = timer.nsecsElapsed() / 1e6;
  ExpressionPage page;
  const double started = timer.nsecsElapsed() / 1e6;
  timer.restart();
  Evaluate(page, QStringLiteral("2+2"));
  const double evaluated = timer.nsecsElapsed() / 1e6;
  std::printf("settings file: %lld bytes, history of %d\n", static_cast<long long>(bytes.size()),
              page.expressionBox()->count());
  std::printf("store opened: %.1f ms; start (store and Expression page): %.1f ms\n", opened, started);
  std::printf("evaluate (with the history saved): %.1f ms\n", evaluated);
  return 0;
}

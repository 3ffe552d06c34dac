// Draws the README's pictures of the window and times the live values of a
// 10,000-line sheet. Not a test: it checks nothing. Runs in a sandbox like
// the tests (VELL_TEST_SANDBOX set, HOME and the XDG folders inside it).
// Usage: window_shots FOLDER
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPalette>
#include <QPixmap>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTabWidget>
#include <cstdio>
#include <memory>

#include "app/byte_text_edit.h"
#include "app/command_ids.h"
#include "app/expression_page.h"
#include "app/line_notes.h"
#include "app/main_sheet.h"
#include "components/tray_icon.h"
#include "sandbox.h"

using vell::ExpressionPage;
using vell::MainSheet;

namespace {

const char kSheet[] =
    "; prices in euros\n"
    "net=120\n"
    "vat=net*19%\n"
    "gross=net+vat\n"
    "shipping=4.90\n"
    "total=gross+shiping\n"
    "per_month=total/12\n";

bool WaitForValues(ExpressionPage& page) {
  QSignalSpy resolved(&page.liveSheet(), &vell::LiveSheet::resolved);
  return resolved.wait(10000);
}

bool Shoot(QWidget& window, const QString& path) {
  window.show();
  QApplication::processEvents();
  return window.grab().save(path);
}

QPalette DarkPalette() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(45, 45, 48));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Button, QColor(55, 55, 60));
  dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::Link, QColor(110, 170, 255));
  dark.setColor(QPalette::LinkVisited, QColor(200, 150, 255));
  dark.setColor(QPalette::Mid, QColor(80, 80, 85));
  dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
  dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(127, 127, 127));
  return dark;
}

void TimeLiveValues(ExpressionPage& page, int count) {
  std::string sheet;
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    sheet +=
        "v" + n + "=" + (i == 1 ? std::string("1") : "v" + std::to_string(i - 1) + "*1.0001+SIN(" + n + ")") + "\r\n";
  }
  QElapsedTimer timer;
  timer.start();
  page.variablesBox()->SetBytes(sheet);
  const double shown = timer.nsecsElapsed() / 1e6;
  QSignalSpy resolved(&page.liveSheet(), &vell::LiveSheet::resolved);
  timer.restart();
  page.liveSheet().Request(page.variablesBox()->Bytes());
  resolved.wait(60000);
  const double values = timer.nsecsElapsed() / 1e6;
  QList<vell::LineNotes::Note> notes = page.lineNotes()->notes();
  timer.restart();
  page.lineNotes()->SetNotes(std::move(notes));
  const double painted = timer.nsecsElapsed() / 1e6;
  timer.restart();
  page.OnCommand(vell::ids::kEvaluate);
  const double evaluated = timer.nsecsElapsed() / 1e6;
  std::printf(
      "%d-line sheet: into the box %.1f ms; values resolved and shown %.1f ms (%lld notes), notes set %.1f ms; "
      "Evaluate %.1f ms\n",
      count, shown, values, static_cast<long long>(page.lineNotes()->notes().size()), painted, evaluated);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2 || !PrepareSandbox()) {
    std::fprintf(stderr, "usage: window_shots FOLDER (in a test sandbox)\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  vell::TrayIcon tray;
  auto sheet = std::make_unique<MainSheet>(tray);
  ExpressionPage& page = *sheet->expressionPage();
  page.variablesBox()->setPlainText(QString::fromUtf8(kSheet));
  page.expressionBox()->setEditText(QStringLiteral("total"));
  page.OnCommand(vell::ids::kEvaluate);
  bool ok = WaitForValues(page) && Shoot(*sheet, folder + QStringLiteral("live-sheet.png"));

  sheet->resize(sheet->size() + QSize(260, 200));
  ok = Shoot(*sheet, folder + QStringLiteral("grown-window.png")) && ok;

  QApplication::setPalette(DarkPalette());
  sheet = std::make_unique<MainSheet>(tray);
  ExpressionPage& darkPage = *sheet->expressionPage();
  darkPage.variablesBox()->setPlainText(QString::fromUtf8(kSheet));
  darkPage.expressionBox()->setEditText(QStringLiteral("gross"));
  darkPage.OnCommand(vell::ids::kEvaluate);
  sheet->resize(sheet->size() + QSize(160, 60));
  ok = WaitForValues(darkPage) && Shoot(*sheet, folder + QStringLiteral("dark-theme.png")) && ok;
  sheet->Tabs()->setCurrentIndex(1);
  ok = Shoot(*sheet, folder + QStringLiteral("dark-theme-about.png")) && ok;

  TimeLiveValues(darkPage, 10000);
  TimeLiveValues(darkPage, 200000);
  return ok ? 0 : 1;
}

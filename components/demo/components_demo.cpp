// Shows the balloon tip over two line edits and a hyperlink label, and the
// tray icon when the desktop has a tray. Run with --tip to put the first
// balloon on show at once (for a screenshot without a mouse).
#include <QApplication>
#include <QCursor>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include "components/hyperlink_label.h"
#include "components/tip_balloon.h"
#include "components/tray_icon.h"

namespace {

QIcon DemoIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(QColor(40, 90, 160));
  QPainter painter(&pixmap);
  painter.setPen(Qt::white);
  painter.setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
  painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("V"));
  return QIcon(pixmap);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool showTip = app.arguments().contains(QStringLiteral("--tip"));

  QWidget window;
  window.setWindowTitle(QStringLiteral("Vell components"));
  auto* expression = new QLineEdit(QStringLiteral("sin(45)+56/2"));
  auto* variables = new QLineEdit(QStringLiteral("x=sin(45)+56/2"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Expression:"), expression);
  form->addRow(QStringLiteral("Variables:"), variables);
  auto* layout = new QVBoxLayout(&window);
  layout->addLayout(form);
  layout->addStretch();
  // Placed by hand like the page's controls, so fitting it sticks.
  auto* link =
      new vell::HyperlinkLabel(QStringLiteral("Want more free software like this? Visit QUORVANT now!!!"), &window);
  link->setAlignment(Qt::AlignCenter);
  link->setGeometry(20, 230, 380, 24);
  link->Attach();
  link->SetTarget(QStringLiteral("https://www.example.com/"));
  window.resize(420, 280);
  window.move(40, 40);

  vell::TipBalloon balloon;
  balloon.SetSize(QSize(200, 125));
  balloon.SetTailSide(vell::TipBalloon::TailSide::kTop);
  balloon.CreateBalloon(&window);
  balloon.SetFollowCursor(true);
  balloon.SetDefaultSeconds(6);
  balloon.RegisterWindow(expression,
                         QStringLiteral("Please type in the expression here. For eg:\r\nsin(45)+56/2\r\nYou may also "
                                        "use any variable from the 'variables' box."),
                         QStringLiteral("Expression"), QColor(0, 0, 0), showTip ? 0 : 6);
  balloon.RegisterWindow(variables,
                         QStringLiteral("Please type in the variables here. For eg:\r\nx=sin(45)+56/2\r\ny=x/23"),
                         QStringLiteral("Variables"), QColor(0, 0, 0), 6);
  for (QWidget* w :
       {static_cast<QWidget*>(&window), static_cast<QWidget*>(expression), static_cast<QWidget*>(variables)})
    balloon.RelayEventsOf(w);
  window.setMouseTracking(true);

  QMenu menu;
  QAction* show = menu.addAction(QStringLiteral("Show the window"));
  QObject::connect(show, &QAction::triggered, &window, &QWidget::show);
  QObject::connect(menu.addAction(QStringLiteral("Quit")), &QAction::triggered, &app, &QApplication::quit);
  menu.setDefaultAction(show);
  vell::TrayIcon tray;
  tray.SetMainWindow(&window);
  tray.SetMenu(&menu);
  if (!tray.Add(DemoIcon(), QStringLiteral("Components demo"))) std::printf("no system tray: the icon is not shown\n");

  window.show();
  if (showTip) {
    QTimer::singleShot(300, &window, [&] {
      window.activateWindow();
      expression->setFocus();
      const QPoint at = expression->mapToGlobal(QPoint(30, expression->height() / 2));
      QCursor::setPos(at);
      // As if the mouse had moved there: the relayed move puts the tip on show.
      QMouseEvent move(QEvent::MouseMove, expression->mapFromGlobal(at), at, Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QApplication::sendEvent(expression, &move);
    });
  }
  return app.exec();
}

#include "app/main_sheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/about_page.h"
#include "app/app_texts.h"
#include "app/byte_text_edit.h"
#include "app/command_ids.h"
#include "app/dialog_units.h"
#include "app/expression_page.h"
#include "app/guide_writer.h"
#include "app/program_icon.h"
#include "app/settings_store.h"
#include "components/tray_icon.h"
#include "platform/autostart.h"
#include "platform/message_box.h"
#include "platform/open_document.h"
#include "platform/program_info.h"

namespace vell {

namespace {

namespace ids = vell::ids;

const QString kSettings = QStringLiteral("Settings");
const QString kWindow = QStringLiteral("Window");
const QString kStartupName = texts::Text(texts::kProgram);

}  // namespace

MainSheet::MainSheet(TrayIcon& tray, QWidget* parent) : QDialog(parent), tray_(tray) {
  setWindowTitle(texts::Text(texts::kProgram));
  setAccessibleName(texts::Text(texts::kProgram));
  tabs_ = new QTabWidget(this);
  tabs_->setAccessibleName(texts::Text(texts::kPages));
  expressionPage_ = new ExpressionPage;
  aboutPage_ = new AboutPage;
  tabs_->addTab(expressionPage_, texts::Text(texts::kExpressionPage));
  tabs_->addTab(aboutPage_, texts::Text(texts::kAboutPage));
  windowIcon_ = vell::ProgramIcon();
  minimizeAtStart_ = ReadSettingInt(kSettings, QStringLiteral("Minimize"), 0);
  runAtStart_ = ReadSettingInt(kSettings, QStringLiteral("Run At Start"), 0);
  CreateButtons();
  savedSize_ = templateSize_;
  RestoreSize();
  CreateTrayMenu();
  qApp->installEventFilter(this);
}

MainSheet::~MainSheet() = default;

void MainSheet::CreateButtons() {
  const vell::DialogUnits units(font());
  const QSize buttonSize = units.Rect(0, 0, 50, 14).size();
  auto* row = new QHBoxLayout;
  row->setSpacing(units.X(4));
  row->addStretch();
  // Left to right: the hidden Apply place, then Help, Quit and Tray.
  const struct {
    int id;
    const char* text;
  } kButtons[] = {
      {ids::kApply, texts::kApply}, {ids::kHelp, texts::kHelp}, {ids::kQuit, texts::kQuit}, {ids::kTray, texts::kTray}};
  for (const auto& entry : kButtons) {
    auto* button = new QPushButton(QString::fromLatin1(entry.text), this);
    button->setFixedSize(buttonSize.expandedTo(QSize(0, button->sizeHint().height())));
    button->setAccessibleName(QString::fromLatin1(entry.text).remove(QLatin1Char('&')));
    const int id = entry.id;
    connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    buttons_.insert(id, button);
    row->addWidget(button);
  }
  QSizePolicy keepPlace = buttons_[ids::kApply]->sizePolicy();
  keepPlace.setRetainSizeWhenHidden(true);
  buttons_[ids::kApply]->setSizePolicy(keepPlace);
  buttons_[ids::kApply]->hide();
  buttons_[ids::kTray]->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(units.X(7), units.Y(7), units.X(7), units.Y(7));
  layout->setSpacing(units.Y(7));
  layout->addWidget(tabs_);
  layout->addLayout(row);
  // The templates' size is the least; larger sizes give the boxes room.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  // At the least size the pages are exactly as their templates lay them out.
  templateSize_ = minimumSizeHint();
  resize(templateSize_);
}

void MainSheet::RestoreSize() {
  QSize saved(ReadSettingInt(kWindow, QStringLiteral("Width"), 0),
              ReadSettingInt(kWindow, QStringLiteral("Height"), 0));
  if (saved.width() <= 0 || saved.height() <= 0) return;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    saved = saved.boundedTo(screen->availableGeometry().size());
  resize(saved.expandedTo(templateSize_));
  savedSize_ = size();
}

void MainSheet::SaveSize() {
  // Only a size the user chose is stored; the templates' size needs no entry.
  if (size() == savedSize_) return;
  const SettingsBatch batch;
  WriteSettingInt(kWindow, QStringLiteral("Width"), width());
  WriteSettingInt(kWindow, QStringLiteral("Height"), height());
  savedSize_ = size();
}

void MainSheet::CreateTrayMenu() {
  trayMenu_ = new QMenu(this);
  const struct {
    int id;  // 0 for a separator
    const char* text;
  } kItems[] = {{ids::kShow, texts::kShow},
                {0, nullptr},
                {ids::kMinimizeAtStart, texts::kMinimizeAtStart},
                {ids::kRunAtStart, texts::kRunAtStart},
                {0, nullptr},
                {ids::kAbout, texts::kAbout}};
  for (const auto& item : kItems) {
    if (item.id == 0) {
      trayMenu_->addSeparator();
      continue;
    }
    QAction* action = trayMenu_->addAction(QString::fromLatin1(item.text));
    action->setData(item.id);
    // Queued: a command may hide the icon whose popup is still closing.
    const int id = item.id;
    connect(
        action, &QAction::triggered, this, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
  }
  trayMenu_->setDefaultAction(trayMenu_->actions().constFirst());
  connect(trayMenu_, &QMenu::aboutToShow, this, &MainSheet::TickTrayMenu);
}

void MainSheet::TickTrayMenu() {
  // The two start-up options are ticked from the settings as they are now.
  const auto tick = [this](int id, const QString& setting) {
    const bool on = ReadSettingInt(kSettings, setting, 0) != 0;
    for (QAction* action : trayMenu_->actions()) {
      if (action->data().toInt() != id) continue;
      action->setCheckable(on);
      action->setChecked(on);
    }
  };
  tick(ids::kRunAtStart, QStringLiteral("Run At Start"));
  tick(ids::kMinimizeAtStart, QStringLiteral("Minimize"));
}

void MainSheet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!initialised_) OnInitDialog();
}

void MainSheet::OnInitDialog() {
  initialised_ = true;
  setWindowIcon(windowIcon_);
  // Typing starts in the first control of the first page, not on the tab bar.
  expressionPage_->variablesBox()->setFocus(Qt::OtherFocusReason);
  tray_.SetMainWindow(this);
  tray_.SetMenu(trayMenu_);
  if (tray_.Add(windowIcon_, texts::Text(texts::kProgram))) tray_.Hide();
  // Without a tray the window still starts minimized, to the taskbar.
  if (ReadSettingInt(kSettings, QStringLiteral("Minimize"), 0) != 0)
    QTimer::singleShot(0, this, [this] { OnCommand(ids::kTray); });
}

bool MainSheet::OnCommand(int id) {
  switch (id) {
    case ids::kTray: GoToTray(); return true;
    case ids::kQuit: Quit(); return true;
    case ids::kHelp: OnShowGuide(); return true;
    case ids::kShow: OnShowWindow(); return true;
    case ids::kAbout: OnAbout(); return true;
    case ids::kMinimizeAtStart: OnToggleMinimize(); return true;
    case ids::kRunAtStart: OnToggleRunAtStart(); return true;
    default: return false;
  }
}

void MainSheet::GoToTray() {
  SaveSize();
  if (tray_.available()) {
    tray_.Show();
    hide();
  } else {
    // No tray to come back from: the taskbar keeps the window reachable.
    showMinimized();
  }
}

void MainSheet::Quit() {
  SaveSize();
  done(ids::kQuit);
  emit quitRequested();
}

void MainSheet::reject() { OnCommand(ids::kQuit); }

void MainSheet::closeEvent(QCloseEvent* event) {
  event->accept();
  OnCommand(ids::kQuit);
}

void MainSheet::OnShowWindow() {
  if (isMinimized()) {
    showNormal();
  } else {
    show();
  }
  raise();
  activateWindow();
  tray_.Hide();
}

void MainSheet::OnAbout() {
  OnShowWindow();
  tabs_->setCurrentWidget(aboutPage_);
}

void MainSheet::OnToggleMinimize() {
  minimizeAtStart_ = minimizeAtStart_ == 0 ? 1 : 0;
  WriteSettingInt(kSettings, QStringLiteral("Minimize"), minimizeAtStart_);
}

void MainSheet::OnToggleRunAtStart() {
  runAtStart_ = runAtStart_ == 0 ? 1 : 0;
  WriteSettingInt(kSettings, QStringLiteral("Run at start"), runAtStart_);
  UpdateStartupShortcut();
}

void MainSheet::UpdateStartupShortcut() {
  // The entry always names "vell" in the program's folder, whatever this
  // program file is called.
  const QString target = vell::platform::ProgramFolder() + QStringLiteral("vell");
  if (runAtStart_ != 0) {
    if (!vell::platform::CreateAutostartEntry(kStartupName, target, texts::Text(texts::kProgram)))
      vell::platform::ShowAppMessage(texts::Text(texts::kShortcutFailed));
  } else {
    vell::platform::DeleteAutostartEntry(kStartupName);
  }
}

void MainSheet::OnShowGuide() {
  const QString type = QString::fromLatin1(vell::kGuideType);
  QString path = vell::GuidePathBesideProgram();
  QString error;
  bool written = vell::WriteResourceToFile(type, vell::kGuideId, path, &error);
  if (!written && QFile::exists(vell::ResourcePath(type, vell::kGuideId))) {
    // An installed program's folder is not the user's to write.
    const QString firstError = error;
    path = vell::GuideFallbackPath();
    written = vell::WriteResourceToFile(type, vell::kGuideId, path, &error);
    if (!written) {
      vell::platform::ShowAppMessage(
          texts::Text(texts::kGuideNotWritten).arg(vell::GuidePathBesideProgram(), firstError, path, error));
    }
  }
  if (written) vell::platform::OpenDocument(path);
}

bool MainSheet::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (static_cast<QWidget*>(watched)->window() != this) return false;
  if (SwitchPage(*key)) return true;
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if (tabs_->currentWidget() != expressionPage_) return false;
  // The key's receiver is the focus widget even while the window is not the
  // active one (no window manager), when focusWidget() is null.
  QWidget* variables = expressionPage_->variablesBox();
  if (watched == variables || QApplication::focusWidget() == variables) return false;
  QTimer::singleShot(0, expressionPage_, [page = expressionPage_] { page->OnCommand(ids::kEvaluate); });
  return true;
}

bool MainSheet::SwitchPage(const QKeyEvent& key) {
  // As in a property sheet: Ctrl+Tab and Ctrl+Page Down go to the next page,
  // Ctrl+Shift+Tab and Ctrl+Page Up to the previous one, wherever the focus
  // is (the Variables box would take them otherwise).
  if (!(key.modifiers() & Qt::ControlModifier)) return false;
  int step = 0;
  if (key.key() == Qt::Key_PageDown || (key.key() == Qt::Key_Tab && !(key.modifiers() & Qt::ShiftModifier))) step = 1;
  if (key.key() == Qt::Key_PageUp || key.key() == Qt::Key_Backtab) step = -1;
  if (step == 0 || tabs_->count() < 2) return false;
  tabs_->setCurrentIndex((tabs_->currentIndex() + step + tabs_->count()) % tabs_->count());
  return true;
}

}  // namespace vell

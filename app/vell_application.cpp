#include "app/vell_application.h"

#include "app/main_sheet.h"
#include "app/settings_store.h"
#include "components/tray_icon.h"
#include "platform/program_info.h"
#include "platform/single_instance.h"

namespace vell {

VellApplication::VellApplication(int& argc, char** argv) : application_(argc, argv) {}

VellApplication::~VellApplication() = default;

int VellApplication::InitInstance() {
  QApplication::setOrganizationName(QString::fromLatin1(kSettingsCompany));
  QApplication::setApplicationName(vell::platform::ApplicationName());
  QApplication::setDesktopFileName(QStringLiteral("vell"));
  QApplication::setQuitOnLastWindowClosed(false);

  // One window and one tray icon per user: a second start brings the running
  // window forward and ends.
  vell::platform::SingleInstance instance(
      vell::platform::SingleInstance::DefaultSocketPath(vell::platform::ApplicationName()));
  if (instance.Start() == vell::platform::SingleInstance::Claim::kAlreadyRunning) return 0;

  // Read once here, before any window exists to be held up by it or by a
  // word about a damaged file.
  SettingsStore settings;

  // The tray icon outlives the sheet, which uses it until it is destroyed.
  vell::TrayIcon tray;
  MainSheet sheet(tray);
  QApplication::setWindowIcon(sheet.programIcon());
  QObject::connect(&sheet, &MainSheet::quitRequested, &application_, &QApplication::quit, Qt::QueuedConnection);
  ShowSheetOnLaterStarts(instance, sheet);
  sheet.show();
  return QApplication::exec();
}

void ShowSheetOnLaterStarts(vell::platform::SingleInstance& instance, MainSheet& sheet) {
  QObject::connect(&instance, &vell::platform::SingleInstance::activationRequested, &sheet, &MainSheet::OnShowWindow);
}

}  // namespace vell

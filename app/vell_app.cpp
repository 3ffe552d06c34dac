#include "app/vell_app.h"

#include "app/settings_store.h"
#include "app/vell_sheet.h"
#include "components/system_tray.h"
#include "platform/program_info.h"

CVellApp::CVellApp(int& argc, char** argv) : application_(argc, argv) {}

CVellApp::~CVellApp() = default;

int CVellApp::InitInstance() {
  QApplication::setOrganizationName(QString::fromLatin1(kSettingsCompany));
  QApplication::setApplicationName(vell::platform::ApplicationName());
  QApplication::setApplicationDisplayName(QStringLiteral("Vell"));
  QApplication::setQuitOnLastWindowClosed(false);

  // The tray icon outlives the sheet, which uses it until it is destroyed.
  CSystemTray tray;
  CVellSheet sheet(tray);
  QApplication::setWindowIcon(sheet.windowIcon);
  QObject::connect(&sheet, &CVellSheet::quitRequested, &application_, &QApplication::quit,
                   Qt::QueuedConnection);
  sheet.show();
  return QApplication::exec();
}

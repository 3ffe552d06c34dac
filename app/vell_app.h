#pragma once

#include <QApplication>

class CVellSheet;
namespace vell::platform {
class SingleInstance;
}

// The application: sets up Qt and the settings store, then runs the sheet
// until it is quit. The sheet's window may hide to the tray, so the program
// ends only when the sheet asks for it, never because no window is visible.
class CVellApp {
 public:
  CVellApp(int& argc, char** argv);
  ~CVellApp();
  CVellApp(const CVellApp&) = delete;
  CVellApp& operator=(const CVellApp&) = delete;

  // Runs the program; returns its exit status.
  int InitInstance();

 private:
  QApplication application_;
};

// A later start of the program brings the sheet forward, out of the tray
// when it is there.
void ShowSheetOnLaterStarts(vell::platform::SingleInstance& instance, CVellSheet& sheet);

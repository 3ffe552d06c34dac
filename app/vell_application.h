#pragma once

#include <QApplication>

namespace vell::platform {
class SingleInstance;
}  // namespace vell::platform

namespace vell {

class MainSheet;

// The application: sets up Qt and the settings store, then runs the sheet
// until it is quit. The sheet's window may hide to the tray, so the program
// ends only when the sheet asks for it, never because no window is visible.
class VellApplication {
 public:
  VellApplication(int& argc, char** argv);
  ~VellApplication();
  VellApplication(const VellApplication&) = delete;
  VellApplication& operator=(const VellApplication&) = delete;

  // Runs the program; returns its exit status.
  int InitInstance();

 private:
  QApplication application_;
};

// A later start of the program brings the sheet forward, out of the tray
// when it is there.
void ShowSheetOnLaterStarts(vell::platform::SingleInstance& instance, MainSheet& sheet);

}  // namespace vell

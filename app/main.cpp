#include <QGuiApplication>

#include "app/vell_application.h"

int main(int argc, char** argv) {
  // The window's layout comes from the font, as dialog units do: a display
  // of 144 dpi gets a larger font and a larger window, drawn at whole pixels.
  // A fractional scale of 1.5 would instead cut frame lines in half.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
  vell::VellApplication app(argc, argv);
  return app.InitInstance();
}

#include "app/vell_app.h"

int main(int argc, char** argv) {
  CVellApp app(argc, argv);
  return app.InitInstance();
}

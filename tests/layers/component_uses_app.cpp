// Must not build: a component reaching into the app.
#include "components/tray_icon.h"
#include "app/settings_store.h"

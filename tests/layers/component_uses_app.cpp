// Must not build: a component reaching into the app.
#include "app/settings_store.h"
#include "components/tray_icon.h"

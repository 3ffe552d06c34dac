// Must not build: the platform reaching into the components.
#include "platform/message_box.h"
#include "components/tray_icon.h"

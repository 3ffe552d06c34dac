// Must not build: the platform reaching into the components.
#include "components/tray_icon.h"
#include "platform/message_box.h"

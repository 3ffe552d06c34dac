// Builds: a component uses its own layer and the platform.
#include "components/tray_icon.h"
#include "platform/message_box.h"

#include "platform/message_box.h"

#include "platform/program_info.h"
#include "platform/system_services.h"

namespace vell::platform {

void ShowAppMessage(const QString& text) { Services().ShowMessage(ApplicationName(), text); }

}  // namespace vell::platform

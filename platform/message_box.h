#pragma once

#include <QString>

namespace vell::platform {

// The program's one kind of message: modal, an OK button, the warning icon,
// the application name as caption.
void ShowAppMessage(const QString& text);

}  // namespace vell::platform

#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vell {

// Texts are bytes (files, the engine); the widgets show QString. Valid UTF-8
// is shown as such. Every other byte b is shown as the private-use character
// U+F700 + b, so any byte string survives DecodeBytes and EncodeText
// unchanged. Valid UTF-8 for a character of U+F700..U+F7FF is escaped byte
// by byte for the same reason.
QString DecodeBytes(std::string_view bytes);
std::string EncodeText(const QString& text);

inline constexpr char16_t kByteEscapeBase = 0xF700;

}  // namespace vell

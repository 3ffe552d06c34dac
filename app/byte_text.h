#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>
#include <vector>

namespace vell {

// Texts are bytes (files, the engine); the widgets show QString. Valid UTF-8
// is shown as such, sequence by sequence; every other byte is shown as its
// Windows-1252 character, the code page older variable files were written
// in. The five bytes Windows-1252 leaves out are shown as the C1 controls of
// the same value, as Windows maps them, so every byte has a character.
//
// With starts, starts[i] is the offset of the bytes of the character that
// holds the i-th UTF-16 unit of the result.
QString DecodeBytes(std::string_view bytes, std::vector<size_t>* starts = nullptr);

// True when the bytes are valid UTF-8 from end to end.
bool IsUtf8(std::string_view bytes);

enum class TextEncoding { kUtf8, kWindows1252 };

// UTF-8, or Windows-1252 where it has the character (UTF-8 for the rest, so
// nothing is lost). A lone half of a surrogate pair is written as U+FFFD.
std::string EncodeText(QStringView text, TextEncoding encoding = TextEncoding::kUtf8);

}  // namespace vell

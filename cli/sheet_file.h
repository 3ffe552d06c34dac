// Reading a variables file whole, whatever the path names.
#pragma once

#include <cstddef>
#include <string>

namespace vell::cli {

// A sheet larger than this is refused: the window's box would never hold it,
// and a device such as /dev/zero never ends.
constexpr std::size_t kMaxSheetBytes = std::size_t{256} << 20;

// The bytes of a file with white space trimmed at both ends, as the Variables
// box would hold them. False with a reason when it cannot be opened or read,
// is a folder, or holds more than kMaxSheetBytes bytes.
bool ReadSheetFile(const std::string& path, std::string& sheet, std::string& error);

}  // namespace vell::cli

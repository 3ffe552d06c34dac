#pragma once

#include <QString>
#include <string>

namespace vell {

// Reading and writing the Variables box's text as a file of bytes.

// What an open found: the text to show, and a message for the user when the
// file was refused or only partly loaded (empty when nothing is worth saying).
struct LoadedVariables {
  bool loaded = false;
  std::string bytes;
  QString message;
};

inline constexpr qint64 kMaxVariablesFileBytes = qint64{16} * 1024 * 1024;

// Reads a regular file of at most kMaxVariablesFileBytes. The text ends at
// its first NUL byte. A file that cannot be opened fails without a message.
LoadedVariables LoadVariablesFile(const QString& path);

// Replaces the file with bytes, atomically where the folder allows it. An
// empty result means saved; otherwise the message to show.
QString SaveVariablesFile(const QString& path, const std::string& bytes);

}  // namespace vell

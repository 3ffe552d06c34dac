#include "app/variables_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "app/app_texts.h"

namespace vell {

namespace {

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

}  // namespace

LoadedVariables LoadVariablesFile(const QString& path) {
  LoadedVariables result;
  // Opened without blocking and checked on the open descriptor: a FIFO with
  // no writer would otherwise hang the window for good.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return result;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    result.message = texts::Text(texts::kNotRegularFile).arg(Shown(path));
    return result;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return result;
  }
  if (info.st_size > kMaxVariablesFileBytes) {
    result.message = texts::Text(texts::kFileTooLarge).arg(Shown(path));
    return result;
  }
  QByteArray bytes = file.read(kMaxVariablesFileBytes);
  const qsizetype nul = bytes.indexOf('\0');
  if (nul >= 0) {
    // Keep the text before it, but say so: saving it back would drop the rest.
    bytes.truncate(nul);
    result.message = texts::Text(texts::kNulByte).arg(Shown(path)).arg(nul);
  }
  result.loaded = true;
  result.bytes = bytes.toStdString();
  return result;
}

QString SaveVariablesFile(const QString& path, const std::string& bytes) {
  // The new text goes to a temporary file that replaces the old one only once
  // it is complete. A folder the user may not add files to (a shared folder)
  // has no room for that: there, and only there, a file the user may write
  // is written in place.
  const QFileInfo target(path);
  const bool inPlace = target.isFile() && target.isWritable() && !QFileInfo(target.absolutePath()).isWritable();
  QSaveFile replacement(path);
  QFile original(path);
  QFileDevice& file = inPlace ? static_cast<QFileDevice&>(original) : replacement;
  // Unbuffered, so a failing write reports the system's reason at once.
  bool saved = file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
  QString reason = file.errorString();
  if (saved) {
    errno = 0;
    saved = file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    if (!saved) reason = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
  }
  if (!inPlace) {
    if (!saved) replacement.cancelWriting();
    if (saved && !replacement.commit()) {
      saved = false;
      reason = replacement.errorString();
    }
  }
  if (saved) return {};
  return texts::Text(texts::kNotSaved).arg(Shown(path), reason);
}

}  // namespace vell

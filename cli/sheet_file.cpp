#include "sheet_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "vell_engine.h"

namespace vell::cli {

namespace {

constexpr std::size_t kChunk = std::size_t{64} << 10;
const char kTooLarge[] = "larger than 256 MiB";

// Closes the file on every way out of ReadSheetFile.
class OpenFile {
 public:
  explicit OpenFile(int fd) : fd_(fd) {}
  ~OpenFile() { ::close(fd_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool Fail(int code, std::string& error) {
  error = std::strerror(code);
  return false;
}

// Reads to the end, at most one byte past the limit so that an endless file
// is noticed; false with errno set on a read error.
bool ReadAll(int fd, std::size_t sizeHint, std::string& bytes) {
  bytes.reserve(sizeHint + 1);
  char chunk[kChunk];
  while (bytes.size() <= kMaxSheetBytes) {
    const std::size_t room = std::min(kChunk, kMaxSheetBytes + 1 - bytes.size());
    const ssize_t count = ::read(fd, chunk, room);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(count));
  }
  return true;
}

}  // namespace

bool ReadSheetFile(const std::string& path, std::string& sheet, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Fail(errno, error);
  const OpenFile file(fd);
  struct stat info {};
  if (::fstat(file.fd(), &info) != 0) return Fail(errno, error);
  if (S_ISDIR(info.st_mode)) return Fail(EISDIR, error);
  // The size of a regular file is only a hint: files under /proc report 0,
  // and a file may grow while it is read.
  const bool sized = S_ISREG(info.st_mode) && info.st_size > 0;
  const std::uintmax_t size = sized ? static_cast<std::uintmax_t>(info.st_size) : 0;
  if (size > kMaxSheetBytes) {
    error = kTooLarge;
    return false;
  }
  std::string bytes;
  if (!ReadAll(file.fd(), static_cast<std::size_t>(size), bytes)) return Fail(errno, error);
  if (bytes.size() > kMaxSheetBytes) {
    error = kTooLarge;
    return false;
  }
  sheet = std::string(TrimWhiteSpace(bytes));
  return true;
}

}  // namespace vell::cli

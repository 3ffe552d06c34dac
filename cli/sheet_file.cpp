#include "sheet_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

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

// Reads to the end straight into bytes, at most one byte past the limit so
// that an endless file is noticed; false with errno set on a read error. The
// size hint is the whole reservation when it is right: the read that finds
// the end asks for the one byte reserved beyond it.
bool ReadAll(int fd, std::size_t sizeHint, std::string& bytes) {
  bytes.reserve(sizeHint + 1);
  std::size_t used = 0;
  while (used <= kMaxSheetBytes) {
    std::size_t room = std::min(kChunk, kMaxSheetBytes + 1 - used);
    if (bytes.capacity() > used) room = std::min(room, bytes.capacity() - used);
    bytes.resize(used + room);
    const ssize_t count = ::read(fd, &bytes[used], room);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      bytes.resize(used);
      return count == 0;
    }
    used += static_cast<std::size_t>(count);
  }
  bytes.resize(used);
  return true;
}

// Trims white space at both ends without a second copy of the text.
void TrimInPlace(std::string& text) {
  const std::string_view kept = TrimWhiteSpace(text);
  const std::size_t begin = static_cast<std::size_t>(kept.data() - text.data());
  const std::size_t size = kept.size();
  text.resize(begin + size);
  text.erase(0, begin);
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
  TrimInPlace(bytes);
  sheet = std::move(bytes);
  return true;
}

}  // namespace vell::cli

#include "output.h"

#include <unistd.h>

#include <cerrno>

namespace vell::cli {

Output::Output(int fd) : fd_(fd), buffer_(new char[kCapacity]) {}

bool Output::Flush() {
  const std::size_t size = used_;
  used_ = 0;
  WriteAll(buffer_.get(), size);
  return error_ == 0;
}

void Output::WriteSlow(std::string_view text) {
  Flush();
  if (text.size() >= kCapacity) return WriteAll(text.data(), text.size());
  std::memcpy(buffer_.get(), text.data(), text.size());
  used_ = text.size();
}

void Output::WriteLineSlow(std::string_view text) {
  Write(text);
  Write("\n");
}

void Output::WriteAll(const char* data, std::size_t size) {
  while (size > 0 && error_ == 0) {
    const ssize_t count = ::write(fd_, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      error_ = errno;
    } else {
      data += count;
      size -= static_cast<std::size_t>(count);
    }
  }
}

}  // namespace vell::cli

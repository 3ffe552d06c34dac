#include "line_reader.h"

#include <unistd.h>

#include <cerrno>

namespace vell::cli {

LineReader::LineReader(int fd) : fd_(fd), buffer_(new char[kFirstCapacity]) {}

bool LineReader::NextSlow(std::string_view& line) {
  // The unread bytes hold no line feed; only what arrives is searched, so a
  // long line costs no more than its length.
  while (!ended_) {
    if (begin_ > 0) {
      std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    if (end_ == capacity_) {
      std::unique_ptr<char[]> larger(new char[capacity_ * 2]);
      std::memcpy(larger.get(), buffer_.get(), end_);
      buffer_ = std::move(larger);
      capacity_ *= 2;
    }
    const ssize_t count = ::read(fd_, buffer_.get() + end_, capacity_ - end_);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      error_ = errno;
      ended_ = true;
      return false;
    }
    if (count == 0) {
      ended_ = true;
      break;
    }
    const std::size_t searched = end_;
    end_ += static_cast<std::size_t>(count);
    const void* feed = std::memchr(buffer_.get() + searched, '\n', end_ - searched);
    if (feed != nullptr) {
      Take(static_cast<const char*>(feed) - (buffer_.get() + begin_), 1, line);
      return true;
    }
  }
  if (begin_ == end_) return false;
  Take(end_ - begin_, 0, line);
  return true;
}

}  // namespace vell::cli

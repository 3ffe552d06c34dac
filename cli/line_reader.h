// The lines of a file descriptor, read with read(2) into one reusable buffer.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace vell::cli {

class LineReader {
 public:
  explicit LineReader(int fd);

  // The next line, without its line feed and a carriage return before it;
  // it stays valid until the next call. A last line without a line feed
  // counts. False at the end of the input or on a read error.
  bool Next(std::string_view& line) {
    const char* start = buffer_.get() + begin_;
    const void* feed = std::memchr(start, '\n', end_ - begin_);
    if (feed == nullptr) return NextSlow(line);
    Take(static_cast<const char*>(feed) - start, 1, line);
    return true;
  }
  // The errno of a failed read, 0 when none failed.
  int error() const { return error_; }

 private:
  static constexpr std::size_t kFirstCapacity = std::size_t{64} << 10;

  // Reads until a line feed arrives or the input ends.
  bool NextSlow(std::string_view& line);
  // The line of length bytes at begin_, then skips the separator.
  void Take(std::size_t length, std::size_t separator, std::string_view& line) {
    const char* start = buffer_.get() + begin_;
    begin_ += length + separator;
    if (length > 0 && start[length - 1] == '\r') --length;
    line = std::string_view(start, length);
  }

  int fd_;
  int error_ = 0;
  bool ended_ = false;
  std::size_t begin_ = 0;  // the unread bytes are [begin_, end_)
  std::size_t end_ = 0;
  std::size_t capacity_ = kFirstCapacity;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace vell::cli

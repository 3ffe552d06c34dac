// Standard output through one buffer, written with write(2) in large chunks.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace vell::cli {

class Output {
 public:
  explicit Output(int fd);

  void Write(std::string_view text) {
    if (text.size() > kCapacity - used_) return WriteSlow(text);
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
  }
  // The text and a line feed.
  void WriteLine(std::string_view text) {
    if (text.size() >= kCapacity - used_) return WriteLineSlow(text);
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
    buffer_[used_++] = '\n';
  }
  // Writes out what is buffered; false when this or any earlier write failed.
  bool Flush();
  // The errno of the first failed write, 0 when none failed. After a failure
  // the rest of the output is dropped.
  int error() const { return error_; }

 private:
  static constexpr std::size_t kCapacity = std::size_t{64} << 10;

  void WriteSlow(std::string_view text);
  void WriteLineSlow(std::string_view text);
  void WriteAll(const char* data, std::size_t size);

  int fd_;
  int error_ = 0;
  std::size_t used_ = 0;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace vell::cli

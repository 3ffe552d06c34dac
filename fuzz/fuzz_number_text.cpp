// FormatNumber, ReadNumber, ReadPlainNumeral and ParseDate on arbitrary
// input, each checked against a plain version built on the C library.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "number_text.h"
#include "simple_number_text.h"
#include "value_text.h"

namespace {

bool SameDouble(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

void CheckFormat(double x) {
  std::string out;
  vell::FormatNumber(x, out);
  const std::string expected = vell::fuzzing::SimpleFormatNumber(x);
  if (out != expected) {
    std::fprintf(stderr, "FormatNumber(%.17g): [%s], plain version [%s]\n", x, out.c_str(), expected.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  const double read = vell::ReadNumber(text);
  const double expectedRead = vell::fuzzing::SimpleReadNumber(text);
  if (!SameDouble(read, expectedRead)) {
    std::fprintf(stderr, "ReadNumber: %.17g, plain version %.17g\n", read, expectedRead);
    std::abort();
  }
  CheckFormat(read);

  double plainRead = 0;
  const bool plain = vell::ReadPlainNumeral(text, plainRead);
  const bool expectedPlain = !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
  if (plain != expectedPlain || (plain && !SameDouble(plainRead, expectedRead))) {
    std::fprintf(stderr, "ReadPlainNumeral: %d %.17g, plain version %d %.17g\n", plain, plainRead, expectedPlain,
                 expectedRead);
    std::abort();
  }
  if (size >= sizeof(double)) {
    double raw;
    std::memcpy(&raw, data, sizeof raw);
    CheckFormat(raw);
  }

  std::int32_t d = 0, m = 0, y = 0, ed = 0, em = 0, ey = 0;
  const bool isDate = vell::ParseDate(text, d, m, y);
  const bool expectedDate = vell::fuzzing::SimpleParseDate(text, ed, em, ey);
  if (isDate != expectedDate || (isDate && (d != ed || m != em || y != ey))) {
    std::fprintf(stderr, "ParseDate: %d %d-%d-%d, plain version %d %d-%d-%d\n", isDate, d, m, y, expectedDate, ed, em,
                 ey);
    std::abort();
  }
  return 0;
}

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "engine_internals.h"

namespace vell {
namespace {

std::string Trimmed(std::string s) {
  TrimTrailingZeros(s);
  return s;
}

TEST(TrimTrailingZeros, DisplayForms) {
  const std::string long300 = std::string(300, '7') + ".000000";
  const struct {
    std::string in, out;
  } cases[] = {
      // clang-format off
      {"3.000000", "3"},   {"3.500000", "3.5"}, {"100.000000", "100"}, {"0.000000", "0"},
      {"-0.000000", "-0"}, {"0012.5", "12.5"},  {"0.0005", "0.0005"},  {"100", "100"},
      {"007", "007"},      {".", "."},          {"0.", "0."},          {".0", "NIL"},
      {".000", "NIL"},     {"A.B0", "A.B"},     {"", ""},              {"2.50", "2.5"},
      {"1.5", "1.5"},      {"000.5", "0.5"},    {"10.0", "10"},        {"-2.500000", "-2.5"},
      {long300, std::string(300, '7')},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(Trimmed(c.in), c.out) << "input " << c.in;
}

TEST(IsNumeral, AcceptsDigitsPointsAndEdgeSigns) {
  const struct {
    const char* text;
    bool numeral;
  } cases[] = {
      // clang-format off
      {"", false},   {".", true},    {"-", true},     {"%", true},     {"5%", true},  {"%5", false},
      {"-5", true},  {"5-", false},  {"1,5", false},  {"1.2.3", true}, {"007", true}, {"1e5", false},
      {"1 2", false}, {"-%", true},  {"5%%", false},  {"+5", false},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(IsNumeral(c.text), c.numeral) << "text " << c.text;
}

TEST(IsLettersAndApplyPercent, Tables) {
  EXPECT_TRUE(IsLetters("AbZ"));
  for (const char* text : {"", "A1", "A_", "\xC3\xA9"}) EXPECT_FALSE(IsLetters(text)) << text;
  // A percent sign makes the hundredth; anything else stays as written.
  const struct {
    const char *in, *out;
  } cases[] = {{"12.5%", "0.125000"}, {"50%", "0.500000"}, {"12.5", "12.5"}, {"2.50", "2.50"}};
  for (const auto& c : cases) {
    std::string out;
    EXPECT_TRUE(ApplyPercent(c.in, out)) << c.in;
    EXPECT_EQ(out, c.out) << c.in;
  }
}

TEST(SplitTrailingNumber, FirstCharacterAlwaysInPrefix) {
  const struct {
    const char* text;
    const char* prefix;
    std::int32_t number;
  } cases[] = {
      // clang-format off
      {"A12", "A", 12},    {"AB", "AB", 0},  {"12", "1", 2},  {"", "", 0},
      {"X!A10", "X!A", 10}, {"A", "A", 0},   {"7", "7", 0},   {"A007", "A", 7},
      {"A99999999999999999999", "A", std::numeric_limits<std::int32_t>::max()},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string prefix = "junk";
    EXPECT_EQ(SplitTrailingNumber(c.text, prefix), c.number) << c.text;
    EXPECT_EQ(prefix, c.prefix) << c.text;
  }
}

TEST(ParseDate, FieldsAndYearWindow) {
  const struct {
    const char* text;
    bool ok;
    std::int32_t d, m, y;
  } cases[] = {
      // clang-format off
      {"1-2-2000", true, 1, 2, 2000},   {"1/2/37", true, 1, 2, 2037},   {"1/2/38", true, 1, 2, 1938},
      {"1-2-1899", true, 1, 2, 1899},   {"1-2-1900", true, 1, 2, 1900}, {"1-2-99", true, 1, 2, 1999},
      {"1-2-100", true, 1, 2, 2000},    {"1-2-999", true, 1, 2, 2899},  {"1-2-1000", true, 1, 2, 1000},
      {"1-2-0", true, 1, 2, 2000},      {"1-2--5", true, 1, 2, 1995},   {"31-2-2000", true, 31, 2, 2000},
      {"0-13-5", true, 0, 13, 2005},    {" 1- 2- 3xyz", true, 1, 2, 2003}, {"+1-+2-2000", true, 1, 2, 2000},
      {"1-2", false, 0, 0, 0},          {"-3.000000", false, 0, 0, 0},  {"3.000000", false, 0, 0, 0},
      {"1/2/2000-", false, 0, 0, 0},    {"1 -2-2000", false, 0, 0, 0},  {"a-b-c", false, 0, 0, 0},
      {"1--2000", false, 0, 0, 0},      {"", false, 0, 0, 0},
      {"99999999999-1-2000", true, 2147483647, 1, 2000},
      {"1-1--99999999999", true, 1, 1, -2147481648},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::int32_t d = 0, m = 0, y = 0;
    ASSERT_EQ(ParseDate(c.text, d, m, y), c.ok) << c.text;
    EXPECT_EQ(IsDate(c.text), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(d, c.d) << c.text;
    EXPECT_EQ(m, c.m) << c.text;
    EXPECT_EQ(y, c.y) << c.text;
  }
}

// The evaluator carries a step's number without its text; the number must
// be exactly what the text would read back as, at every magnitude.
TEST(FormatNumber, RoundAsWrittenIsWhatTheTextReadsAs) {
  std::mt19937_64 rng(99);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-12, 40);
  for (int i = 0; i < 200000; ++i) {
    double x = mantissa(rng) * std::pow(10.0, exponent(rng));
    if (i % 3 == 0) x = std::round(x * 1e6) / 1e6 + (i % 2 ? 5e-7 : -5e-7);  // near a cut
    if (i % 2) x = -x;
    std::string text;
    const double read = FormatNumberAndRead(x, text);
    ASSERT_EQ(std::signbit(RoundAsWritten(x)), std::signbit(read)) << text;
    ASSERT_EQ(RoundAsWritten(x), read) << text;
    ASSERT_EQ(read, ReadNumber(text)) << text;
  }
  // Not finite: written "E", which reads as 0.
  for (const double x : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
    std::string text;
    EXPECT_EQ(RoundAsWritten(x), FormatNumberAndRead(x, text));
    EXPECT_EQ(text, "E");
  }
}

TEST(FormatNumber, SixDecimalsFromSeventeenDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      // clang-format off
      {0.0078125, "0.007813"},  {-0.0078125, "-0.007813"}, {2.5, "2.500000"},   {3, "3.000000"},
      {-0.5, "-0.500000"},      {0.15, "0.150000"},        {0.0, "0.000000"},   {-0.0, "-0.000000"},
      {-1e-9, "-0.000000"},     {0.9999995, "1.000000"},   {1.0 / 3.0, "0.333333"}, {2.0 / 3.0, "0.666667"},
      {999999.9999995, "1000000.000000"},  {1e22, "10000000000000000000000.000000"},
      {std::ldexp(1.0, 70), "1180591620717411300000.000000"}, {123456789.123456789, "123456789.123457"},
      {1.5e-6, "0.000002"},     {4.9e-7, "0.000000"},      {HUGE_VAL, "E"},     {-HUGE_VAL, "E"},
      {std::nan(""), "E"},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string out;
    FormatNumber(c.value, out);
    EXPECT_EQ(out, c.text) << "value " << c.value;
  }
  std::string out;
  FormatNumber(std::numeric_limits<double>::max(), out);
  EXPECT_EQ(out.size(), 309u + 7u);
  EXPECT_EQ(out.substr(0, 17), "17976931348623157");
  EXPECT_EQ(out.substr(17, 292), std::string(292, '0'));
}

TEST(ReadNumber, LeadingDecimalNumberOnly) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      // clang-format off
      {"E", 0},        {"1-2-2000", 1},  {"12ABC", 12},    {"1E2", 100},     {"1D2", 100},    {"1d2", 100},
      {"2.5.1", 2.5},  {"", 0},          {"ABC", 0},       {"  -3.5", -3.5}, {"+4", 4},       {".5", 0.5},
      {"5.", 5},       {"1e", 1},        {"1e+", 1},       {"1e-2", 0.01},   {"0x1A", 0},     {"inf", 0},
      {"nan", 0},      {"-", 0},         {".", 0},         {"1,5", 1},       {"\t\n7", 7},    {"2.50", 2.5},
      {"1e-400", 0},   {"0.000e5", 0},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << "text " << c.text;
  EXPECT_TRUE(std::isinf(ReadNumber("1e400")));
  EXPECT_TRUE(std::isinf(ReadNumber("-1D999999999999")));
  EXPECT_LT(ReadNumber("-1e400"), 0);
  EXPECT_EQ(ReadNumber(std::string(400, '9') + "e-390"), 1e10);
}

// A plain numeral (digits and points only) read in one pass gives exactly
// ReadNumber's number; every other text is refused.
TEST(ReadNumber, PlainNumeralsInOnePass) {
  std::mt19937 rng(5);
  static constexpr std::string_view pieces = "00123456789...e- ";
  for (int round = 0; round < 200000; ++round) {
    std::string text(rng() % 22, '0');
    for (char& c : text) c = pieces[rng() % (round % 2 == 0 ? 13 : pieces.size())];
    const bool plain = !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
    double value = -1;
    ASSERT_EQ(ReadPlainNumeral(text, value), plain) << text;
    if (plain) {
      ASSERT_EQ(value, ReadNumber(text)) << text;
    }
  }
}

// Numbers are written and read the same way whatever the C locale says.
TEST(Locale, GermanLocaleChangesNothing) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale must be installed";
  std::string out;
  Engine engine;
  const bool ok = engine.EvaluateExpression("1.5*2", out);
  const double read = ReadNumber("2.25");
  std::string formatted;
  FormatNumber(0.5, formatted);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_TRUE(ok);
  EXPECT_EQ(out, "3.000000");
  EXPECT_EQ(read, 2.25);
  EXPECT_EQ(formatted, "0.500000");
}

}  // namespace
}  // namespace vell

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine_cases.h"
#include "engine_internals.h"

namespace vell {
namespace {

class DateFunctionsTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Define("D1", "25-12-1999");
    Define("D2", "1-1-2000");
  }
};

TEST_F(DateFunctionsTest, DateComparesCalendarDates) {
  ExpectCases({
      // clang-format off
      {"DATE(D1,<,D2)", true, "1.0"},         {"DATE(D1,>=,D2)", true, "0.0"},
      {"DATE(D1,ne,D2)", true, "1.0"},        {"DATE(D1, <, D2)", true, "0.0"},
      {"DATE(D1,<>,D2)", true, "0.0"},        {"DATE(D1,<=,D1)", true, "1.0"},
      {"DATE(D2,>,D1)", true, "1.0"},         {"DATE(D1,=,D1)", true, "1.0"},
      {"DATE(D1,NE,D1)", true, "0.0"},        {"DATE(25-12-1999,<,D2)", false, "0.0"},
      {"DATE(D1,<)", false, "0.0"},           {"DATE(D1,<,5)", false, "0.0"},
      {"DATE(\"32-1-2000\",=,\"1-2-2000\")", true, "1.0"},
      {"DATE(\"1-1-1950\",=,\"1-1-1960\")", true, "0.0"},
      {"DATE(\"1-1-1950\",<,\"1-1-1960\")", true, "1.0"},
      {"DATE(\"0-3-2000\",=,\"29-2-2000\")", true, "1.0"},
      {"DATE(\"1-13-1999\",=,\"1-1-2000\")", true, "1.0"},
      {"DATE(\"1-0-2000\",=,\"1-12-1999\")", true, "1.0"},
      {"DATE(\"-1-3-2001\",=,\"27-2-2001\")", true, "1.0"},
      {"DATE(X,<,D2)", false, "0.0"},
      // clang-format on
  });
}

TEST_F(DateFunctionsTest, Days360CountsCalendarDays) {
  ExpectCases({
      // clang-format off
      {"DAYS360(D1,D2)", true, "7"},                           {"DAYS360(D2,D1)", true, "-7"},
      {"DAYS360(\"1-1-2000\",\"1-1-2001\")", true, "366"},     {"DAYS360(\"1-1-2040\",\"1-1-2041\")", true, "366"},
      {"DAYS360(\"1-1-1900\",\"1-1-1901\")", true, "365"},     {"DAYS360(\"1-1-1600\",\"1-1-1601\")", true, "366"},
      {"DAYS360(\"25-3-2023\",\"27-3-2023\")", true, "2"},     {"DAYS360(\"28-10-2023\",\"30-10-2023\")", true, "2"},
      {"DAYS360(\"1-1-1970\",\"1-1-2970\")", true, "365243"},  {"DAYS360(D1)", false, "0.0"},
      {"DAYS360(D1,7)", false, "0.0"},                         {"days360(\"1/1/00\",\"1/3/00\")", true, "60"},
      {"DAYS360(\"1-1-1-1\",\"1-1-1-1\")", true, "0"},
      // clang-format on
  });
}

TEST_F(DateFunctionsTest, DayGivesTheDayField) {
  ExpectCases({
      // clang-format off
      {"DAY(D1)", true, "25"},      {"DAY(\"5/6/07\")", true, "5"},  {"DAY(\"31-2-2000\")", true, "31"},
      {"DAY(D1,D2)", false, "0.0"}, {"DAY()", false, "0.0"},         {"DAY(3)", false, "0.0"},
      {"DAY(\"-4-1-2000\")", true, "-4"},
      // clang-format on
  });
}

TEST(DateToTime, WholeDaysNormalisedLikeMktime) {
  EXPECT_EQ(DateToTime(1, 1, 1970), 0);
  EXPECT_EQ(DateToTime(2, 1, 1970), 86400);
  EXPECT_EQ(DateToTime(31, 12, 1969), -86400);
  EXPECT_EQ(DateToTime(1, -11, 2000), DateToTime(1, 1, 1999));
  EXPECT_EQ(DateToTime(19, 1, 2038) + 86400, DateToTime(20, 1, 2038));
  EXPECT_EQ(DateToTime(1, 1, 2000), 946684800);
  // Extreme fields stay exact in 64 bits.
  EXPECT_GT(DateToTime(2147483647, 2147483647, 2147483647), DateToTime(1, 1, 2147483647));
  EXPECT_LT(DateToTime(-2147483647 - 1, -2147483647 - 1, -2147483647 - 1), 0);
}

TEST_F(DateFunctionsTest, TimeZoneChangesNothing) {
  const char* saved = std::getenv("TZ");
  const std::string previous = saved ? saved : "";
  setenv("TZ", "America/New_York", 1);
  std::string out;
  Reset();
  const bool ok = EvaluateExpression("DAYS360(\"11-3-2023\",\"13-3-2023\")", out);
  if (saved) {
    setenv("TZ", previous.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  EXPECT_TRUE(ok);
  EXPECT_EQ(out, "2");
}

}  // namespace
}  // namespace vell

#include "date_functions.h"

#include <vector>

#include "evaluator.h"
#include "failure_note.h"
#include "number_text.h"
#include "term.h"
#include "value_text.h"

namespace vell {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days from 1970-01-01 to year-month-01, month in 1..12.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m) {
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct DateArguments {
  explicit DateArguments(EngineState& e) : engine(e) {}
  EngineState& engine;
  std::vector<std::string_view> items;
  bool ok = true;
};

// Splits the arguments of the call keyword(text) and checks their count;
// out starts as "0.0".
bool TakeArguments(std::string_view keyword, std::string_view text, std::size_t expected, DateArguments& args,
                   std::string& out) {
  out = "0.0";
  SplitArguments(args.engine, text, args.items);
  if (args.items.size() == expected) return true;
  NoteReason(args.engine, "wrong number of arguments in ", keyword, text, ")");
  return false;
}

// Evaluates one item and reads it as a date.
bool ReadDateItem(std::string_view item, DateArguments& args, std::int32_t& d, std::int32_t& m, std::int32_t& y) {
  std::string value;
  const bool evaluated = EvaluateExpression(args.engine, item, value);
  if (!evaluated) args.ok = false;
  if (ParseDate(value, d, m, y)) return true;
  // A failed item has its own reason; an empty one is named by the call.
  if (evaluated && !HasFailureReason(args.engine)) {
    TrimTrailingZeros(value);  // shown as the window would show it
    NoteReason(args.engine, "not a date: ", value.empty() ? item : std::string_view(value));
  }
  return false;
}

// Evaluates two items and converts both to times; false unless both are dates.
bool ReadTwoTimes(std::string_view first, std::string_view second, DateArguments& args, std::int64_t& t1,
                  std::int64_t& t2) {
  std::int32_t d1, m1, y1, d2, m2, y2;
  const bool firstIsDate = ReadDateItem(first, args, d1, m1, y1);
  const bool secondIsDate = ReadDateItem(second, args, d2, m2, y2);
  if (!firstIsDate || !secondIsDate) return false;
  t1 = DateToTime(d1, m1, y1);
  t2 = DateToTime(d2, m2, y2);
  return true;
}

}  // namespace

std::int64_t DateToTime(std::int32_t day, std::int32_t month, std::int32_t year) {
  const std::int64_t months = static_cast<std::int64_t>(month) - 1;
  const std::int64_t y = static_cast<std::int64_t>(year) + FloorDiv(months, 12);
  const std::int64_t m = months - FloorDiv(months, 12) * 12 + 1;
  const std::int64_t days = DaysFromCivil(y, m) + (static_cast<std::int64_t>(day) - 1);
  return days * 86400;
}

bool EvaluateDate(EngineState& engine, std::string_view text, std::string& out) {
  DateArguments args(engine);
  if (!TakeArguments("DATE(", text, 3, args, out)) return false;
  std::int64_t s1, s2;
  if (!ReadTwoTimes(args.items[0], args.items[2], args, s1, s2)) return false;
  const std::string_view op = args.items[1];
  bool holds = false;
  if (op == "<") {
    holds = s1 < s2;
  } else if (op == "<=") {
    holds = s1 <= s2;
  } else if (op == ">") {
    holds = s1 > s2;
  } else if (op == ">=") {
    holds = s1 >= s2;
  } else if (op == "=") {
    holds = s1 == s2;
  } else if (EqualsIgnoringCase(op, "NE")) {
    holds = s1 != s2;
  }
  out = holds ? "1.0" : "0.0";
  return args.ok;
}

bool EvaluateDays360(EngineState& engine, std::string_view text, std::string& out) {
  DateArguments args(engine);
  if (!TakeArguments("DAYS360(", text, 2, args, out)) return false;
  std::int64_t t1, t2;
  if (!ReadTwoTimes(args.items[0], args.items[1], args, t1, t2)) return false;
  const std::int64_t days = (t2 - t1) / 86400;
  out = IntegerText(days);
  return args.ok;
}

bool EvaluateDay(EngineState& engine, std::string_view text, std::string& out) {
  DateArguments args(engine);
  if (!TakeArguments("DAY(", text, 1, args, out)) return false;
  std::int32_t d, m, y;
  if (!ReadDateItem(args.items[0], args, d, m, y)) return false;
  out = IntegerText(d);
  return args.ok;
}

}  // namespace vell

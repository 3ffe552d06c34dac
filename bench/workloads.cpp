#include "workloads.h"

#include <random>

namespace vell::bench {

namespace {

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  int Below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  // 1 to maxDigits digits, no leading zero; a third of them with one or two decimals.
  std::string Number(int maxDigits) {
    const int digits = 1 + Below(maxDigits);
    std::string s(1, static_cast<char>('1' + Below(9)));
    for (int i = 1; i < digits; ++i) s.push_back(static_cast<char>('0' + Below(10)));
    if (Below(3) == 0) {
      s.push_back('.');
      const int decimals = 1 + Below(2);
      for (int i = 0; i < decimals; ++i) s.push_back(static_cast<char>('0' + Below(10)));
    }
    return s;
  }

  std::string Operand(int depth) {
    static const char* const functions[] = {"sin", "cos", "tan", "sqrt", "log", "exp"};
    std::string s;
    const int kind = depth < 3 ? Below(5) : 0;
    if (kind == 1) {
      s = std::string(functions[Below(6)]) + "(" + Expression(depth + 1, 1 + Below(3)) + ")";
    } else if (kind == 2) {
      s = "(" + Expression(depth + 1, 2 + Below(2)) + ")";
    } else {
      s = Number(6);
    }
    if (Below(6) == 0) s += "^" + std::to_string(1 + Below(4));
    return s;
  }

  std::string Expression(int depth, int terms) {
    static const char operators[] = {'+', '-', '*', '/'};
    std::string s = Operand(depth);
    for (int i = 1; i < terms; ++i) {
      s.push_back(operators[Below(4)]);
      s += Operand(depth);
    }
    return s;
  }

 private:
  std::mt19937 rng_;
};

}  // namespace

std::vector<std::string> ShortExpressions(int count) {
  Generator g(20240601);
  std::vector<std::string> all;
  all.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) all.push_back(g.Expression(0, 2 + g.Below(3)));
  return all;
}

std::vector<std::string> FlatSums(int count, int terms) {
  Generator g(20240602);
  std::vector<std::string> all;
  for (int i = 0; i < count; ++i) {
    std::string s = g.Number(3);
    for (int t = 1; t < terms; ++t) {
      s.push_back(g.Below(2) == 0 ? '+' : '-');
      s += g.Number(3);
    }
    all.push_back(std::move(s));
  }
  return all;
}

std::vector<std::string> NestedExpressions(int count, int depth) {
  static const char operators[] = {'+', '-', '*', '/'};
  Generator g(20240603);
  std::vector<std::string> all;
  for (int i = 0; i < count; ++i) {
    std::string s = g.Number(4);
    for (int d = 0; d < depth; ++d) {
      const char op = operators[g.Below(4)];
      if (g.Below(2) == 0) {
        s = std::string("(").append(g.Number(4)).append(1, op).append(s).append(")");
      } else {
        s = std::string("(").append(s).append(1, op).append(g.Number(4)).append(")");
      }
    }
    all.push_back(std::move(s));
  }
  return all;
}

}  // namespace vell::bench

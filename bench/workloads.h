// The expression workloads of the evaluation benchmarks, generated from a
// fixed seed so every run measures the same texts.
#pragma once

#include <string>
#include <vector>

namespace vell::bench {

// W1: short expressions such as "4.76-sin(7.9+0.6)": numbers of 1 to 6
// digits, some with decimals, + - * / and ^ with literal exponents,
// parentheses up to depth 3, sin cos tan sqrt log exp, 2 to 4 top-level terms.
std::vector<std::string> ShortExpressions(int count);

// W2: flat sums of terms numeric terms (kept under 20,000 characters for 3,000).
std::vector<std::string> FlatSums(int count, int terms);

// W3: expressions nested depth parentheses deep, an operator at every level.
std::vector<std::string> NestedExpressions(int count, int depth);

}  // namespace vell::bench

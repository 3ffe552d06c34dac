// Writes the evaluation workloads as files of one expression a line, for
// measuring vell-eval's batch mode (and the engine inside it) with callgrind:
//   write_workloads DIR   ->  DIR/w1.txt  DIR/w2.txt  DIR/w3.txt
#include <cstdio>
#include <string>
#include <vector>

#include "workloads.h"

namespace {

bool Write(const std::string& path, const std::vector<std::string>& lines) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  for (const std::string& line : lines) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fputc('\n', f);
  }
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_workloads DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  // Sizes that callgrind runs in seconds; the counts are per expression,
  // term and level, so they do not depend on them.
  const bool ok = Write(dir + "/w1.txt", vell::bench::ShortExpressions(10000)) &&
                  Write(dir + "/w2.txt", vell::bench::FlatSums(20, 3000)) &&
                  Write(dir + "/w3.txt", vell::bench::NestedExpressions(100, 200));
  if (!ok) std::perror(dir.c_str());
  return ok ? 0 : 1;
}

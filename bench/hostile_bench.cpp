// Hostile inputs for vell-eval. Each class below is a shape of input that
// can make an expression engine slow or large; for a series of growing sizes
// the program writes the input, runs the real vell-eval on it in a child
// process and prints the child's wall time and peak memory, one line per
// size, so that the growth from one size to the next can be read off.
//
//   hostile_bench [--vell-eval PATH] [--class NAME] [--max-seconds S] [--quick]
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#ifndef VELL_EVAL_PATH
#error "VELL_EVAL_PATH must name the vell-eval binary"
#endif

namespace vell::bench {

namespace {

constexpr double kDefaultMaxSeconds = 20.0;
// A runaway child then fails an allocation instead of pushing the machine into swap.
constexpr rlim_t kChildAddressSpace = rlim_t{4} << 30;

// ---------------------------------------------------------------------------
// Writing inputs

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

// A file written in pieces. The inputs reach tens of megabytes and must never
// sit whole in this process: a forked child starts with our resident pages,
// and they would count in its peak.
class OutFile {
 public:
  explicit OutFile(std::string path) : path_(std::move(path)), file_(std::fopen(path_.c_str(), "wb")) {
    if (file_ == nullptr) throw std::runtime_error(SystemError("cannot create " + path_));
  }
  ~OutFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  OutFile& operator<<(const std::string& text) {
    Put(text.data(), text.size());
    return *this;
  }
  OutFile& operator<<(const char* text) {
    Put(text, std::strlen(text));
    return *this;
  }
  OutFile& operator<<(long number) {
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%ld", number);
    Put(digits, static_cast<std::size_t>(length));
    return *this;
  }
  void Repeat(const char* text, long count) {
    const std::size_t length = std::strlen(text);
    for (long i = 0; i < count; ++i) Put(text, length);
  }
  void Close() {
    const bool failed = std::ferror(file_) != 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (failed || !closed) throw std::runtime_error(SystemError("cannot write " + path_));
  }

 private:
  void Put(const char* data, std::size_t size) {
    if (std::fwrite(data, 1, size, file_) != size) throw std::runtime_error(SystemError("cannot write " + path_));
  }

  std::string path_;
  std::FILE* file_;
};

template <typename Body>
std::string WriteFile(const std::string& dir, const char* name, Body body) {
  std::string path = dir + "/" + name;
  OutFile out(path);
  body(out);
  out.Close();
  return path;
}

// How vell-eval is started on one input: its arguments after the program name,
// and the file on its standard input.
struct Invocation {
  std::vector<std::string> args;
  std::string input;
};

// Every expression goes in as a line of standard input, even a short one:
// one path for all sizes keeps the sizes comparable, and the largest ones are
// past the limit of a single argument anyway.
template <typename Body>
Invocation Expression(const std::string& dir, Body body) {
  return {{}, WriteFile(dir, "expression", [&](OutFile& out) {
            body(out);
            out << "\n";
          })};
}

template <typename SheetBody, typename ExpressionBody>
Invocation SheetAndExpression(const std::string& dir, SheetBody sheet, ExpressionBody expression) {
  Invocation invocation = Expression(dir, expression);
  invocation.args = {"-f", WriteFile(dir, "sheet", sheet)};
  return invocation;
}

// a, b, ..., z, aa, ab, ...: short items that are all different.
std::string ItemName(long index) {
  std::string name;
  for (long n = index + 1; n > 0; n = (n - 1) / 26) name.insert(name.begin(), static_cast<char>('a' + (n - 1) % 26));
  return name;
}

// ---------------------------------------------------------------------------
// The classes

Invocation SignParen(const std::string& dir, long depth) {
  return Expression(dir, [&](OutFile& out) {
    out.Repeat("-(", depth);
    out << "1";
    out.Repeat(")", depth);
  });
}

Invocation SharedText(const std::string& dir, long copies) {
  return SheetAndExpression(
      dir,
      [&](OutFile& out) {
        out << "T=\"";
        out.Repeat("abcdefghij", 100000);
        out << "\"\n";
        for (long i = 1; i <= copies; ++i) out << "B" << i << "=T\n";
      },
      [](OutFile& out) { out << "B1"; });
}

Invocation RangeWake(const std::string& dir, long count) {
  return SheetAndExpression(
      dir,
      [&](OutFile& out) {
        for (long i = 1; i <= count; ++i) out << "B" << i << "=SUM(A1:A1000000)\n";
        for (long i = 1; i < count; ++i) out << "A" << i << "=A" << i + 1 << "\n";
        out << "A" << count << "=1\n";
      },
      [](OutFile& out) { out << "1"; });
}

Invocation ListLookup(const std::string& dir, long terms) {
  return SheetAndExpression(
      dir,
      [](OutFile& out) {
        out << "X=\"item5\"\nLIST(X)=\"item1";
        for (long i = 2; i <= 250000; ++i) out << ",item" << i;
        out << "\"\n";
      },
      [&](OutFile& out) {
        out << "X";
        out.Repeat("+X", terms - 1);
      });
}

Invocation NestedMinRange(const std::string& dir, long depth) {
  return SheetAndExpression(
      dir,
      [](OutFile& out) {
        out << "X=\"b\"\nLIST(X)=\"" << ItemName(0);
        for (long i = 1; i < 1000; ++i) out << "," << ItemName(i);
        out << "\"\n";
      },
      [&](OutFile& out) {
        out << "SUM(";
        out.Repeat("MIN(X,", depth);
        out << "B1:";
        out.Repeat("MIN(X,", depth);
        out << "B1000000";
        out.Repeat(")", depth);
        out << ")";
      });
}

Invocation CallRange(const std::string& dir, long depth, const char* call) {
  return Expression(dir, [&](OutFile& out) {
    out << "SUM(";
    out.Repeat(call, depth);
    out << "1:";
    out.Repeat(call, depth);
    out << "1000000)";
  });
}
Invocation CallRangeSin(const std::string& dir, long depth) { return CallRange(dir, depth, "SIN("); }
Invocation CallRangeMin(const std::string& dir, long depth) { return CallRange(dir, depth, "MIN(1,"); }

Invocation DeepCall(const std::string& dir, long depth, const char* call) {
  return Expression(dir, [&](OutFile& out) {
    out.Repeat(call, depth);
    out << "5";
    out.Repeat(",0)", depth);
  });
}
Invocation DeepIf(const std::string& dir, long depth) { return DeepCall(dir, depth, "IF(1,"); }
Invocation DeepRound(const std::string& dir, long depth) { return DeepCall(dir, depth, "ROUND("); }

Invocation RepeatedRange(const std::string& dir, long copies) {
  return SheetAndExpression(
      dir,
      [](OutFile& out) {
        for (long i = 1; i <= 1000000; ++i) out << "A" << i << "=1\n";
      },
      [&](OutFile& out) {
        out << "SUM(A1:A1000000)";
        out.Repeat("+SUM(A1:A1000000)", copies - 1);
      });
}

Invocation ForwardSheet(const std::string& dir, long count) {
  return SheetAndExpression(
      dir,
      [&](OutFile& out) {
        out << "V0=1\n";
        for (long i = 1; i < count; ++i) out << "V" << i << "=V" << i - 1 << "+1\n";
      },
      [&](OutFile& out) { out << "V" << count - 1; });
}

struct HostileClass {
  const char* name;         // "family/variant" when a family has more than one shape
  const char* sizeLabel;    // printed before "=size"; fixed parameters go in front
  std::vector<long> sizes;  // smallest first: --quick takes the first only
  Invocation (*write)(const std::string& dir, long size);
  const char* goal;
};

// N different million-member ranges of numeral members: MIN over a stem
// whose left side fails, and SUM over whole numbers.
Invocation DistinctRanges(const std::string& dir, long count) {
  return Expression(dir, [&](OutFile& out) {
    for (long k = 0; k < count; ++k) {
      if (k > 0) out << "+";
      if (k % 2 == 0) {
        out << "MIN(a+" << k << "+:a+" << k << "+999999)";
      } else {
        out << "SUM(" << k << "+:" << k << "+999999)";
      }
    }
  });
}

// Different ranges whose members each need arithmetic of their own: sums of
// fractions (added one by one, as rounding demands) and powers, most of
// which overflow. No shortcut applies, so the time grows with the members.
Invocation ComputedRanges(const std::string& dir, long count) {
  return Expression(dir, [&](OutFile& out) {
    for (long k = 0; k < count; ++k) {
      if (k > 0) out << "+";
      if (k % 2 == 0) {
        out << "SUM(0.1+" << k << "+:0.1+" << k << "+999999)";
      } else {
        out << "MIN(" << k + 1 << "^:" << k + 1 << "^999999)";
      }
    }
  });
}

const std::vector<HostileClass>& Classes() {
  static const std::vector<HostileClass> classes = {
      // clang-format off
      {"sign-paren", "D", {1000, 3000, 10000, 30000, 100000, 300000}, SignParen, "<64 MB, <0.3 s at D=30,000; E past 2,500 levels"},
      {"shared-text", "K=1MB N", {10, 100, 1000, 5000}, SharedText, "<64 MB at N=5,000 (values share their text)"},
      {"range-wake", "N", {100, 300, 1000}, RangeWake, "<0.5 s at N=1,000"},
      {"list-lookup", "K=250k R", {100, 1000, 10000}, ListLookup, "<0.5 s at R=10,000"},
      {"nested-min-range", "P", {10, 30, 100}, NestedMinRange, "<0.5 s at P=100"},
      {"call-range/sin", "P", {100, 300, 1000}, CallRangeSin, "<0.5 s"},
      {"call-range/min", "P", {100, 300, 1000}, CallRangeMin, "<0.5 s"},
      {"deep-if/if", "D", {10000, 100000, 1000000}, DeepIf, "E, time linear in input, <0.3 s at D=1,000,000"},
      {"deep-if/round", "D", {10000, 100000, 1000000}, DeepRound, "E, time linear in input, <0.3 s at D=1,000,000"},
      {"repeated-range", "L=1M R", {1, 10, 100}, RepeatedRange, "<2 s at R=100 (a range is not walked twice)"},
      {"forward-sheet", "N", {10000, 100000, 1000000}, ForwardSheet, "<0.7 s, <100 MB at N=1,000,000"},
      {"distinct-ranges", "N", {100, 1000, 2800}, DistinctRanges, "<2 s at N=2,800 (64 KB)"},
      {"computed-ranges", "N", {1, 10, 100}, ComputedRanges, "linear in N: each member computed"},
      // clang-format on
  };
  return classes;
}

// "call-range" picks both variants, "call-range/min" only the one.
bool Selected(const HostileClass& row, const std::vector<std::string>& wanted) {
  if (wanted.empty()) return true;
  const std::string name = row.name;
  const std::string family = name.substr(0, name.find('/'));
  for (const std::string& w : wanted)
    if (w == name || w == family) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Running the child

// Ctrl-C or a termination request while a child runs: the child is killed
// and the temporary folder removed before the program ends.
struct Interrupted {
  int signal;
};

// SIGCHLD is blocked so that sigtimedwait can wait for the child with a
// deadline; the ending signals are blocked so that they are taken only where
// the program can clean up.
sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int number : {SIGCHLD, SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, number);
  return set;
}

void TakeInterrupt() {
  sigset_t pending;
  sigpending(&pending);
  for (int number : {SIGINT, SIGTERM, SIGHUP})
    if (sigismember(&pending, number)) throw Interrupted{number};
}

struct Outcome {
  double seconds = 0;
  double peakMiB = 0;
  std::string status;
  std::string result;     // the first line the child printed (or its first error line)
  bool finished = false;  // exited with 0 or 1, the statuses of a completed evaluation, and printed a result
  bool timedOut = false;
};

std::string SignalName(int signal) {
  switch (signal) {
    case SIGKILL: return "killed";  // not by us: most likely the kernel's out-of-memory killer
    case SIGABRT: return "SIGABRT";
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    default: return "signal " + std::to_string(signal);
  }
}

std::string FirstLine(const std::string& path) {
  char buffer[64];
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "";
  const std::size_t count = std::fread(buffer, 1, sizeof buffer, file);
  std::fclose(file);
  std::string line(buffer, count);
  line = line.substr(0, line.find('\n'));
  constexpr std::size_t kShown = 16;
  if (line.size() > kShown) line = line.substr(0, kShown - 3) + "...";
  return line;
}

Outcome RunChild(const std::string& program, const Invocation& invocation, const std::string& dir, double maxSeconds) {
  // Everything the child needs is made before the fork: between fork and exec
  // only async-signal-safe calls are allowed.
  std::vector<std::string> args = invocation.args;
  args.insert(args.begin(), "vell-eval");
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string input = invocation.input.empty() ? "/dev/null" : invocation.input;
  const std::string outPath = dir + "/stdout", errPath = dir + "/stderr";
  sigset_t unblocked;
  sigemptyset(&unblocked);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error(SystemError("fork"));
  if (pid == 0) {
    const struct rlimit limit = {kChildAddressSpace, kChildAddressSpace};
    setrlimit(RLIMIT_AS, &limit);
    // A child that aborts at the memory limit would otherwise spend the time
    // limit writing gigabytes of core.
    const struct rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const int in = open(input.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }

  const sigset_t watched = WatchedSignals();
  const auto deadline = start + std::chrono::duration<double>(maxSeconds);
  Outcome outcome;
  int status = 0;
  struct rusage usage {};
  for (;;) {
    const pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) throw std::runtime_error(SystemError("wait4"));
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
      kill(pid, SIGKILL);
      while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
      }
      outcome.timedOut = true;
      break;
    }
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const struct timespec timeout = {static_cast<time_t>(nanoseconds / 1000000000),
                                     static_cast<long>(nanoseconds % 1000000000)};
    const int taken = sigtimedwait(&watched, nullptr, &timeout);
    if (taken == SIGINT || taken == SIGTERM || taken == SIGHUP) {
      kill(pid, SIGKILL);
      while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
      }
      throw Interrupted{taken};
    }
  }
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux gives KiB

  if (outcome.timedOut) {
    outcome.status = "timeout";
  } else if (WIFSIGNALED(status)) {
    outcome.status = SignalName(WTERMSIG(status));
  } else {
    const int code = WEXITSTATUS(status);
    if (code == 126 || code == 127)
      throw std::runtime_error("cannot start " + program + " (exit " + std::to_string(code) + ")");
    outcome.status = "exit " + std::to_string(code);
    outcome.finished = code == 0 || code == 1;
  }
  outcome.result = FirstLine(outPath);
  if (outcome.result.empty()) {
    outcome.finished = false;
    outcome.result = FirstLine(errPath);
  }
  return outcome;
}

// ---------------------------------------------------------------------------
// Files and folders

// The run folders hold only plain files, so one level is enough.
void RemoveFolder(const std::string& dir) {
  if (DIR* folder = opendir(dir.c_str())) {
    while (const dirent* entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") unlink((dir + "/").append(name).c_str());
    }
    closedir(folder);
  }
  rmdir(dir.c_str());
}

unsigned long long FolderBytes(const std::string& dir) {
  unsigned long long total = 0;
  if (DIR* folder = opendir(dir.c_str())) {
    while (const dirent* entry = readdir(folder)) {
      struct stat info {};
      if (stat((dir + "/" + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
        total += static_cast<unsigned long long>(info.st_size);
    }
    closedir(folder);
  }
  return total;
}

// ---------------------------------------------------------------------------
// The table

std::string Grouped(unsigned long long number) {
  std::string digits = std::to_string(number);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}

const char kRowFormat[] = "%-17s %-16s %12s %9s %9s %-8s %-16s %s\n";

void PrintRow(const HostileClass& row, long size, const std::string& bytes, const std::string& seconds,
              const std::string& peak, const std::string& status, const std::string& result) {
  const std::string label = std::string(row.sizeLabel) + "=" + Grouped(static_cast<unsigned long long>(size));
  std::printf(kRowFormat, row.name, label.c_str(), bytes.c_str(), seconds.c_str(), peak.c_str(), status.c_str(),
              result.c_str(), row.goal);
  std::fflush(stdout);
}

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// ---------------------------------------------------------------------------
// The command line

struct Options {
  std::string program = VELL_EVAL_PATH;
  std::vector<std::string> classes;
  double maxSeconds = kDefaultMaxSeconds;
  bool quick = false;
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "Usage: hostile_bench [--vell-eval PATH] [--class NAME]... [--max-seconds S] [--quick]\n"
               "Runs vell-eval on hostile inputs of growing size; prints wall time and peak memory.\n"
               "  --vell-eval PATH  the program to run (default %s)\n"
               "  --class NAME      only this class or family (may be given more than once)\n"
               "  --max-seconds S   kill a run after S seconds (default %.0f)\n"
               "  --quick           only the smallest size of each class\n"
               "Classes:",
               VELL_EVAL_PATH, kDefaultMaxSeconds);
  for (const HostileClass& row : Classes()) std::fprintf(out, " %s", row.name);
  std::fprintf(
      out,
      "\nExit status: 0 every run printed a result and ended with 0 or 1, 1 some did not, 2 usage or setup error.\n");
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--quick") {
      options.quick = true;
    } else if (arg == "--vell-eval" && hasValue) {
      options.program = argv[++i];
    } else if (arg == "--class" && hasValue) {
      options.classes.emplace_back(argv[++i]);
    } else if (arg == "--max-seconds" && hasValue) {
      char* end = nullptr;
      options.maxSeconds = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(options.maxSeconds > 0)) return false;
    } else {
      return false;
    }
  }
  for (const std::string& wanted : options.classes) {
    bool known = false;
    for (const HostileClass& row : Classes()) known = known || Selected(row, {wanted});
    if (!known) return false;
  }
  return true;
}

int Run(const Options& options, const std::string& root) {
  std::printf(kRowFormat, "class", "size", "input bytes", "seconds", "peak MiB", "status", "result", "goal");
  int runs = 0, unfinished = 0;
  for (const HostileClass& row : Classes()) {
    if (!Selected(row, options.classes)) continue;
    bool skipRest = false;
    for (std::size_t i = 0; i < (options.quick ? 1 : row.sizes.size()); ++i) {
      const long size = row.sizes[i];
      // A size that ran out of time says enough about the larger ones.
      if (skipRest) {
        PrintRow(row, size, "-", "-", "-", "skipped", "");
        continue;
      }
      const std::string dir = root + "/run";
      if (mkdir(dir.c_str(), 0700) != 0) throw std::runtime_error(SystemError("cannot create " + dir));
      const Invocation invocation = row.write(dir, size);
      const unsigned long long bytes = FolderBytes(dir);
      TakeInterrupt();
      const Outcome outcome = RunChild(options.program, invocation, dir, options.maxSeconds);
      RemoveFolder(dir);
      ++runs;
      if (!outcome.finished) ++unfinished;
      skipRest = outcome.timedOut;
      PrintRow(row, size, Grouped(bytes), Fixed(outcome.seconds, 3), Fixed(outcome.peakMiB, 1), outcome.status,
               outcome.result);
    }
  }
  std::printf("%d runs, %d did not end with a result and exit status 0 or 1\n", runs, unfinished);
  return unfinished == 0 ? 0 : 1;
}

}  // namespace

}  // namespace vell::bench

int main(int argc, char** argv) {
  using namespace vell::bench;
  Options options;
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    return 0;
  }
  if (!ParseOptions(argc, argv, options)) {
    PrintUsage(stderr);
    return 2;
  }
  if (access(options.program.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "hostile_bench: %s\n", SystemError("cannot run " + options.program).c_str());
    return 2;
  }

  signal(SIGCHLD, SIG_DFL);  // an inherited SIG_IGN would reap the children before wait4
  const sigset_t watched = WatchedSignals();
  sigprocmask(SIG_BLOCK, &watched, nullptr);

  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vell-hostile-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::fprintf(stderr, "hostile_bench: %s\n", SystemError("cannot create a folder like " + pattern).c_str());
    return 2;
  }
  const std::string root = pattern;

  int status = 2;
  try {
    status = Run(options, root);
  } catch (const Interrupted& interrupted) {
    std::fprintf(stderr, "hostile_bench: stopped by signal %d\n", interrupted.signal);
    status = 128 + interrupted.signal;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "hostile_bench: %s\n", error.what());
  }
  RemoveFolder(root + "/run");
  RemoveFolder(root);
  return status;
}

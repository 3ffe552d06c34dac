// The whole vell-eval process on one expression, against the start-up of
// /bin/true: fork, exec, wait, with the output going to /dev/null.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ratio_reporter.h"

#ifndef VELL_EVAL_PATH
#error "VELL_EVAL_PATH must name the vell-eval binary"
#endif

namespace {

bool RunProcess(const char* path, char* const argv[]) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    execv(path, argv);
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

void BM_Process_VellEval(benchmark::State& state) {
  char name[] = "vell-eval", expression[] = "sin(30)*(1+2)/4";
  char* const argv[] = {name, expression, nullptr};
  for (auto _ : state)
    if (!RunProcess(VELL_EVAL_PATH, argv)) state.SkipWithError("vell-eval did not run");
}

void BM_Process_True(benchmark::State& state) {
  char name[] = "true";
  char* const argv[] = {name, nullptr};
  for (auto _ : state)
    if (!RunProcess("/bin/true", argv)) state.SkipWithError("/bin/true did not run");
}

BENCHMARK(BM_Process_VellEval)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Process_True)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The ratio here is how many times as long vell-eval takes as /bin/true.
  return vell::bench::RunWithRatios(
      argc, argv, {{"/bin/true against vell-eval", {"BM_Process_True/real_time", "BM_Process_VellEval/real_time"}}});
}

// Runs one program and prints its wall seconds, peak resident kilobytes and
// user and system CPU seconds: measure_run <program> <args>... A small launcher of its own, since a child
// of a large process starts its peak at the size of its parent.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: measure_run <program> <args>...\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return 126;
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  std::printf("%.4f %ld %.4f %.4f\n", wall.count(), usage.ru_maxrss, seconds(usage.ru_utime), seconds(usage.ru_stime));
  return WIFEXITED(status) ? WEXITSTATUS(status) : 125;
}

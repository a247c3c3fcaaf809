// Running a built program as a caller would: in a folder of its own, with
// its output caught in files, and killed when it runs too long.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace rill::testing {

struct ProcessResult {
  bool started = false;   // the program could be executed
  bool timedOut = false;  // killed after the time allowed
  bool exited = false;    // ended normally; status is then valid
  int status = -1;
  int signal = 0;  // the signal that ended it, when it did not exit
};

// Runs argv[0] with the arguments argv[1..] (no shell) in the folder cwd, standard
// input from /dev/null, standard output and error into the two files. Kills it when
// it runs longer than timeoutSeconds.
inline ProcessResult RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                                const std::filesystem::path& stdoutFile, const std::filesystem::path& stderrFile,
                                double timeoutSeconds) {
  ProcessResult result;
  if (argv.empty()) return result;
  // Everything the child needs is prepared before fork: after it, only calls that
  // are safe in a child of a possibly multi-threaded process.
  std::vector<std::string> args = argv;
  std::vector<char*> cargs;
  for (auto& a : args) cargs.push_back(a.data());
  cargs.push_back(nullptr);
  const std::string dir = cwd.string();
  const std::string outPath = stdoutFile.string();
  const std::string errPath = stderrFile.string();

  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(125);
    if (dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(125);
    if (chdir(dir.c_str()) != 0) _exit(126);
    execv(cargs[0], cargs.data());
    _exit(127);
  }

  result.started = true;
  const auto deadline =
      std::chrono::steady_clock::now() +
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(timeoutSeconds));
  int wstatus = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &wstatus, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return result;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
      }
      result.timedOut = true;
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(wstatus)) {
    result.exited = true;
    result.status = WEXITSTATUS(wstatus);
  } else if (WIFSIGNALED(wstatus)) {
    result.signal = WTERMSIG(wstatus);
  }
  return result;
}

}  // namespace rill::testing

// Entry point outside Windows. `rillmark batch ...`, `--help` and
// `--version` take named options; anything else is a single run, whose
// command line is the program's arguments joined with single blanks.
#include <pthread.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <thread>

#include "cli/option_command_line.h"
#include "navigator/run_navigation.h"

namespace {

// A load builds and drops orders of a gigabyte on a national network, and
// every request of a batch builds and drops its own state: the memory freed
// stays in the process for the next of them, rather than going back to the
// system and coming back as fresh pages to be cleared (on a virtual machine
// that hands freed memory back to its host, each such page costs a trip
// through the host). The load gives its free pages back once the tables are
// sealed.
void KeepFreedMemory() {
#ifdef __GLIBC__
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}

// Ctrl-C (or a polite kill) asks a batch to stop after whole requests: the
// signals are taken by one thread with sigwait, so that no handler and no
// global flag are needed.
int RunStoppable(int argc, char** argv) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  std::thread watcher([&] {
    int signal = 0;
    while (sigwait(&signals, &signal) == 0) {
      if (finished.load()) return;
      stop.store(true);
    }
  });
  const int status = rill::RunOptionCommandLine(argc, argv, stop);
  finished.store(true);
  pthread_kill(watcher.native_handle(), SIGTERM);
  watcher.join();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // Past a file-size limit a write must fail and be reported, not kill the run.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  KeepFreedMemory();
  if (rill::IsOptionCommandLine(argc, argv)) return RunStoppable(argc, argv);
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine.push_back(' ');
    commandLine.append(argv[i]);
  }
  // Someone at a terminal is told in one line what the run did; a caller
  // whose standard error is a file or a pipe sees what it always saw.
  const bool atTerminal = isatty(STDERR_FILENO) == 1;
  rill::RunSummary summary;
  const int status = rill::RunNavigation(commandLine, std::cerr, {}, atTerminal ? &summary : nullptr);
  // Someone who typed the bare name is told where the rest is explained.
  if (argc == 1) std::cerr << "Run rillmark --help for the batch mode and every option.\n";
  if (atTerminal) {
    if (const std::string line = rill::RunSummaryLine(summary); !line.empty()) std::cerr << line << '\n';
  }
  return status;
}

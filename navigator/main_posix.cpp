// Entry point outside Windows: the command line is the program's arguments
// joined with single blanks.
#include <csignal>
#include <string>

#include "navigator/run_navigation.h"

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // Past a file-size limit a write must fail and be reported, not kill the run.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine.push_back(' ');
    commandLine.append(argv[i]);
  }
  return rill::RunNavigation(commandLine);
}

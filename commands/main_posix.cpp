// Entry point outside Windows: the command line is the program's arguments
// joined with single blanks, as the navigator takes it.
#include <iostream>
#include <string>

#include "commands/commands.h"

int main(int argc, char** argv) {
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine.push_back(' ');
    commandLine.append(argv[i]);
  }
  // A help request does nothing else.
  if (rill::commands::IsHelpRequest(commandLine)) {
    std::cout << rill::commands::kCommandsUsage;
    return 0;
  }
  return rill::commands::RunCommand(commandLine, std::cerr);
}

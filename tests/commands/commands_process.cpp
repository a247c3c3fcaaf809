#include "commands_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace rill::commands::testing {

ProcessResult RunCommandsProgram(const std::vector<std::string>& arguments,
                                 const std::filesystem::path& workingFolder,
                                 const std::filesystem::path& errorFile) {
  const std::string program = RILL_COMMANDS_EXE;
  std::vector<std::string> storage;
  storage.reserve(arguments.size() + 1);
  storage.push_back(program);
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());

  pid_t child = 0;
  const int spawned =
      posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + program);

  int wait = 0;
  if (waitpid(child, &wait, 0) != child) throw std::runtime_error("waitpid failed");

  ProcessResult result;
  result.exitStatus = WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
  std::ifstream in(errorFile, std::ios::binary);
  result.standardError.assign(std::istreambuf_iterator<char>(in),
                              std::istreambuf_iterator<char>());
  return result;
}

}  // namespace rill::commands::testing

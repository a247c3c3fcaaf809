#include "commands/md_command.h"

#include <cerrno>
#include <ostream>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

namespace rill::commands {
namespace {

// One level only; the platform's default permissions or security attributes.
int MakeFolder(const std::string& path) {
#ifdef _WIN32
  return _mkdir(path.c_str());
#else
  return mkdir(path.c_str(), 0777);
#endif
}

}  // namespace

std::vector<std::string_view> SplitCommandFields(std::string_view commandLine) {
  const std::size_t nul = commandLine.find('\0');
  if (nul != std::string_view::npos) commandLine = commandLine.substr(0, nul);

  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < commandLine.size()) {
    const std::size_t start = commandLine.find_first_not_of(',', pos);
    if (start == std::string_view::npos) break;
    std::size_t end = commandLine.find(',', start);
    if (end == std::string_view::npos) end = commandLine.size();
    fields.push_back(commandLine.substr(start, end - start));
    pos = end;
  }
  return fields;
}

bool IsHelpRequest(std::string_view commandLine) { return commandLine == "--help" || commandLine == "-h"; }

int RunCommand(std::string_view commandLine, std::ostream& err) {
  const std::vector<std::string_view> fields = SplitCommandFields(commandLine);
  // Without a command word or a folder name there is nothing to do.
  if (fields.size() < 2 || fields[0] != "md") return 0;

  const std::string path(fields[1]);
  if (MakeFolder(path) != 0) {
    const int error = errno;
    err << "The folder " << path << " could not be created: " << std::generic_category().message(error) << '\n';
    err.flush();
  }
  return 0;
}

}  // namespace rill::commands

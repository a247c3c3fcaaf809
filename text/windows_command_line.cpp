#include "text/windows_command_line.h"

#include <cstddef>

namespace rill {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitWindowsArguments(std::string_view line) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (true) {
    while (i < n && IsBlank(line[i])) ++i;
    if (i >= n) break;
    std::string argument;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(line[i]))) {
      if (line[i] == '\\') {
        std::size_t slashes = 0;
        while (i < n && line[i] == '\\') ++slashes, ++i;
        if (i < n && line[i] == '"') {
          argument.append(slashes / 2, '\\');
          if (slashes % 2 == 1) {
            argument.push_back('"');
            ++i;
          }
          // An even count leaves the quote to group below.
        } else {
          argument.append(slashes, '\\');
        }
        continue;
      }
      if (line[i] == '"') {
        if (quoted && i + 1 < n && line[i + 1] == '"') {
          argument.push_back('"');
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      argument.push_back(line[i++]);
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::string CommandLineFromWindows(std::string_view line) {
  std::size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) ++first;
  if (first >= line.size() || line[first] != '"') return std::string(line);
  const std::vector<std::string> arguments = SplitWindowsArguments(line);
  std::string joined;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    if (k > 0) joined.push_back(' ');
    joined.append(arguments[k]);
  }
  return joined;
}

}  // namespace rill

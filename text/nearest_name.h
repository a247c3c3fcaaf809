// The name a mistyped one was most likely meant to be, for the hint of a
// complaint about an unknown option ("--thread: did you mean --threads?").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rill {

// The name among `names` with the fewest single-character insertions,
// deletions and substitutions from `typed`, letter case ignored; the first
// such name on a tie. Empty when no name is within a third of the typed
// name's length, so that a wild guess is never offered.
std::string NearestName(std::string_view typed, const std::vector<std::string>& names);

// Single-character insertions, deletions and substitutions from one name to
// the other, letter case ignored.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The complaint about the first left-over argument of a parse that looks like
// an option, with the nearest option of `command` ("--geojsn is not an
// option; did you mean --geojson?"); empty when there is none. `App` is the
// option parser's command type (CLI::App), which this layer does not link.
template <typename App>
std::string UnknownOptionHint(const App& program, const App& command) {
  std::vector<std::string> names;
  for (const auto* option : command.get_options()) {
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    for (const std::string& name : option->get_snames()) names.push_back("-" + name);
  }
  for (const std::string& argument : program.remaining(true)) {
    if (argument.size() < 2 || argument[0] != '-') continue;
    const std::string typed = argument.substr(0, argument.find('='));
    const std::string nearest = NearestName(typed, names);
    return typed + " is not an option" + (nearest.empty() ? "" : "; did you mean " + nearest + "?");
  }
  return "";
}

}  // namespace rill

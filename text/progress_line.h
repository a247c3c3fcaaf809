#pragma once

#include <cstddef>
#include <ostream>
#include <string_view>

namespace rill {

// One line of progress on an error stream, rewritten in place as the work
// goes on; End() (or the destructor) closes it so that what follows starts
// on a line of its own.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& out) : out_(out) {}
  ~ProgressLine() { End(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(std::string_view text);
  void End();

 private:
  std::ostream& out_;
  std::size_t shownWidth_ = 0;
  bool shown_ = false;
};

}  // namespace rill

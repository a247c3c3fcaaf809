#pragma once

#include <cstddef>
#include <string_view>

namespace rill {

// Longest table line accepted, line feed not counted.
inline constexpr std::size_t kMaxLineLength = 199;

// One line of a table, copied with its line feed and a terminating zero so
// that it can be cut into fields in place.
struct LineFields {
  char text[kMaxLineLength + 2] = {};
  const char* field[6] = {};
  int count = 0;  // fields found, at most 6
};

// Cuts a line the way strtok would: runs of delimiters count as one, leading
// ones are skipped, so empty fields do not exist. The first fields are cut by
// ",", the last `lastCutByLineFeed` of the six by "\n" instead (the rest of
// the line). A zero byte ends the text. `line` excludes the line feed and is
// at most kMaxLineLength long.
void SplitLine(std::string_view line, bool lastCutByLineFeed, LineFields& out);

// Walks the lines of a whole file. A final line without a line feed is a line
// like any other.
class LineCursor {
 public:
  explicit LineCursor(std::string_view content) : rest_(content) {}
  // Gives the next line (without its line feed); false at the end.
  bool Next(std::string_view& line);
  int number() const { return number_; }

 private:
  std::string_view rest_;
  int number_ = 0;
};

}  // namespace rill

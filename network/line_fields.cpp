#include "network/line_fields.h"

#include <cstring>

namespace rill {

namespace {

// strtok's step over a zero-terminated text with a single delimiter, the
// position kept by the caller.
char* NextToken(char*& cursor, char delimiter) {
  char* p = cursor;
  while (*p == delimiter) ++p;
  if (*p == '\0') {
    cursor = p;
    return nullptr;
  }
  char* start = p;
  while (*p != '\0' && *p != delimiter) ++p;
  if (*p != '\0') {
    *p = '\0';
    ++p;
  }
  cursor = p;
  return start;
}

}  // namespace

void SplitLine(std::string_view line, bool lastCutByLineFeed, LineFields& out) {
  std::size_t n = line.size() < kMaxLineLength ? line.size() : kMaxLineLength;
  std::memcpy(out.text, line.data(), n);
  out.text[n] = '\n';
  out.text[n + 1] = '\0';
  out.count = 0;
  char* cursor = out.text;
  for (int i = 0; i < 6; ++i) {
    char* token = NextToken(cursor, (i == 5 && lastCutByLineFeed) ? '\n' : ',');
    if (token == nullptr) break;
    out.field[i] = token;
    out.count = i + 1;
  }
  for (int i = out.count; i < 6; ++i) out.field[i] = nullptr;
}

bool LineCursor::Next(std::string_view& line) {
  if (rest_.empty()) return false;
  std::size_t end = rest_.find('\n');
  if (end == std::string_view::npos) {
    line = rest_;
    rest_ = {};
  } else {
    line = rest_.substr(0, end);
    rest_.remove_prefix(end + 1);
  }
  ++number_;
  return true;
}

}  // namespace rill

#include "row_columns.h"

#include <stdexcept>

#include "navigation/navigation.h"

namespace rill::python {

namespace {

// Walks one printed line field by field. The codes and dates of the tables
// hold no comma (the loader splits on commas), so a quoted one ends at the
// first quote before a comma.
class LineFields {
 public:
  LineFields(std::string_view line, std::size_t at) : line_(line), at_(at) {}

  std::string_view Quoted() {
    if (at_ >= line_.size() || line_[at_] != '"') Fail();
    const std::size_t end = line_.find("\",", at_ + 1);
    if (end == std::string_view::npos) Fail();
    std::string_view text = line_.substr(at_ + 1, end - at_ - 1);
    at_ = end + 2;
    return text;
  }
  // The number's text runs to the next comma or the line end; the readers
  // stop there as they stop at the comma in the CSV.
  const char* Number() {
    const std::size_t end = line_.find(',', at_);
    const char* text = line_.data() + at_;
    at_ = end == std::string_view::npos ? line_.size() : end + 1;
    return text;
  }

 private:
  [[noreturn]] static void Fail() { throw std::runtime_error("a result line is not in the form of the result CSV"); }
  std::string_view line_;
  std::size_t at_;
};

}  // namespace

void ReadResultLines(std::string_view lines, std::size_t prefixLength, std::uint32_t request, RowColumns& c) {
  // Every line ends with a line feed; the last number of a line is read up
  // to it, and the text lies in a string whose end is a zero byte.
  std::size_t start = 0;
  while (start < lines.size()) {
    // The prefix (a request's id) may hold line ends of its own.
    std::size_t end = lines.find('\n', start + prefixLength);
    if (end == std::string_view::npos) end = lines.size();
    LineFields f(lines.substr(0, end), start + prefixLength);
    c.request.push_back(request);
    c.code.push_back(f.Quoted());
    c.comId.push_back(ReadWhole(f.Number()));
    c.date.push_back(f.Quoted());
    c.duuId.push_back(ReadWhole(f.Number()));
    c.from.push_back(ReadDecimal(f.Number()));
    c.to.push_back(ReadDecimal(f.Number()));
    c.distance.push_back(ReadDecimal(f.Number()));
    c.length.push_back(ReadDecimal(f.Number()));
    start = end + 1;
  }
}

std::string StatusMessage(std::string_view line, std::size_t prefixLength) {
  // Status, ccode (quoted digits, or nothing), then the message.
  std::size_t at = line.find(',', prefixLength);
  if (at == std::string_view::npos) return "";
  at = line.find(',', at + 1);
  if (at == std::string_view::npos || at + 1 >= line.size() || line[at + 1] != '"') return "";
  std::string message;
  for (std::size_t k = at + 2; k < line.size(); ++k) {
    if (line[k] == '"') {
      if (k + 1 < line.size() && line[k + 1] == '"') {
        message += '"';
        ++k;
        continue;
      }
      break;
    }
    message += line[k];
  }
  return message;
}

}  // namespace rill::python

// The rows of a navigation, or of a batch, as columns for a data frame,
// read back from the lines the result CSV prints, so that every number is
// the one a reader of the CSV gets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rill::python {

struct RowColumns {
  std::vector<std::uint32_t> request;  // which request of a batch the row belongs to
  std::vector<std::string_view> code;  // views into the lines read
  std::vector<std::string_view> date;
  std::vector<std::int64_t> comId;
  std::vector<std::int64_t> duuId;
  std::vector<double> from;
  std::vector<double> to;
  std::vector<double> distance;
  std::vector<double> length;

  std::size_t size() const { return code.size(); }
};

// Reads result lines as WriteResultLines prints them, each after a prefix
// of `prefixLength` bytes, as rows of request `request`. The views point
// into `lines`, which must outlive them. Throws std::runtime_error on a
// line not of that form.
void ReadResultLines(std::string_view lines, std::size_t prefixLength, std::uint32_t request, RowColumns& columns);

// The Message field of a STATUS line whose id field and comma take
// `prefixLength` bytes, its doubled quotes made single; empty when the line
// has none.
std::string StatusMessage(std::string_view line, std::size_t prefixLength);

}  // namespace rill::python

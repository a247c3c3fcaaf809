#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "navigator/nav_request.h"

namespace rill {

// The columns a requests table may have, found by name in its header.
enum class RequestColumn : std::size_t {
  Request,
  NavType,
  StartReach,
  StartMeasure,
  EndReach,
  EndMeasure,
  Direction,
  Distance,
  DistanceUnits,
  WholeReachStartMode,
  EndAtCUBoundary,
  Tables,
  Prefix,
  Count
};

// Where each column stands in a requests table's records.
class RequestColumns {
 public:
  // Reads the header record. Column names are matched ignoring letter case;
  // an unknown, repeated or missing required column gives the message that
  // stops the batch.
  static std::variant<RequestColumns, std::string> FromHeader(const std::vector<std::string>& header);

  std::size_t width() const { return width_; }
  bool Has(RequestColumn column) const { return at_[static_cast<std::size_t>(column)].has_value(); }
  // The column's field of a record; empty when the table has no such column.
  const std::string& Field(const std::vector<std::string>& record, RequestColumn column) const;

 private:
  std::array<std::optional<std::size_t>, static_cast<std::size_t>(RequestColumn::Count)> at_{};
  std::size_t width_ = 0;
};

// One request of a batch as a single run would take it: `request.WorkPath`
// holds the table folder with its separator, `request.FilePrefix` the prefix.
struct BatchRequest {
  std::string id;
  NavRequest request;
};

// Why a record cannot be a request.
struct RequestRefusal {
  std::string id;
  std::string reason;
};

// Converts one record; numbers are read as a single run reads its fields.
// `defaultTables` stands for a missing Tables column.
std::variant<BatchRequest, RequestRefusal> ReadRequest(const RequestColumns& columns,
                                                       const std::vector<std::string>& record,
                                                       const std::string& defaultTables);

}  // namespace rill

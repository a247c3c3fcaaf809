#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "navigation/navigation.h"

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
  StartComid,
  EndComid,
  Count
};

// Where each column stands in a requests table's records.
class RequestColumns {
 public:
  RequestColumns() = default;
  // Reads the header record. Column names are matched ignoring letter case;
  // other columns are passed over (see ignored()), except a near miss of a
  // known name, which gives the message that stops the batch, as a
  // repeated or missing required column does.
  // Fails (Unusable) with that message.
  static StatusOr<RequestColumns> FromHeader(const std::vector<std::string>& header);

  std::size_t width() const { return width_; }
  // The names of the columns passed over, in header order.
  const std::vector<std::string>& ignored() const { return ignored_; }
  bool Has(RequestColumn column) const { return at_[static_cast<std::size_t>(column)].has_value(); }
  // The column's field of a record; empty when the table has no such column.
  const std::string& Field(const std::vector<std::string>& record, RequestColumn column) const;
  // The field of a passed-over column Note (why rillgeo index could not
  // snap the site); empty when there is none.
  const std::string& Note(const std::vector<std::string>& record) const;

 private:
  std::array<std::optional<std::size_t>, static_cast<std::size_t>(RequestColumn::Count)> at_{};
  std::size_t width_ = 0;
  std::vector<std::string> ignored_;
  std::optional<std::size_t> note_;
};

// One request of a batch: the navigation, and the table folder (with its
// separator) and prefix its tables are read from.
struct BatchRequest {
  std::string id;
  NavigationRequest navigation;
  std::string workPath;
  std::string filePrefix;

  std::string PathOf(const std::string& name) const { return workPath + filePrefix + name; }
};

// Why a record cannot be a request.
struct RequestRefusal {
  std::string id;
  std::string reason;
};

// A table folder as a request's WorkPath: named without its trailing
// separator, it gets one.
std::string TableFolder(std::string folder);

// Converts one record; numbers are read as a single run reads its fields,
// units by their names (KM included; an unknown one refuses the record).
// `defaultTables` and `defaultPrefix` stand for a missing Tables or Prefix column.
std::variant<BatchRequest, RequestRefusal> ReadRequest(const RequestColumns& columns,
                                                       const std::vector<std::string>& record,
                                                       const std::string& defaultTables,
                                                       const std::string& defaultPrefix = "");

}  // namespace rill

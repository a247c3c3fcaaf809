// The STATUS file of a batch beside its RESULTS: how each request ended,
// for the index page of the per-request maps.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "text/status.h"

namespace rill::geo {

// One line of STATUS, its quotes removed.
struct RequestStatus {
  std::string id;
  std::string status;
  std::string ccode;
  std::string message;
};

// The STATUS path a batch gives RESULTS: its extension replaced by .status.csv.
std::string StatusPathOf(const std::string& resultsPath);

// The lines of the STATUS file at `path`, in order; none when it cannot be
// read or lacks a Request or Status column (results of a single run have no
// STATUS, and the index then goes without it).
std::vector<RequestStatus> ReadRequestStatus(const std::string& path);

// The Note of every request of a REQUESTS table that has one (rillgeo index
// says there why a site was not snapped), by request id; none when the table
// has no Note column. Fails (InputMissing) when it cannot be read or has no
// Request column.
StatusOr<std::unordered_map<std::string, std::string>> ReadRequestNotes(const std::string& path);

}  // namespace rill::geo

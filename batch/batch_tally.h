#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "batch/request_outcome.h"

namespace rill {

// How the requests of a batch ended: how many with each status, and among
// the navigated ones how many with each ccode other than 0000.
class BatchTally {
 public:
  void Add(RequestStatus status, std::string_view ccode);
  void Merge(const BatchTally& other);
  std::size_t requests() const { return requests_; }
  // Every request was refused or found no tables (and there was one).
  bool NoneNavigated() const;
  // "5000 requests: 4980 status 0 (12 with ccode 0010), 20 status 2".
  std::string Summary() const;

 private:
  std::size_t requests_ = 0;
  std::array<std::size_t, 4> byStatus_{};
  std::map<std::string, std::size_t> unusualCcodes_;
};

}  // namespace rill

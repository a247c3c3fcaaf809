#include "batch/batch_tally.h"

namespace rill {

void BatchTally::Add(RequestStatus status, std::string_view ccode) {
  ++requests_;
  ++byStatus_[static_cast<std::size_t>(status)];
  if (status == RequestStatus::Completed && !ccode.empty() && ccode != "0000") ++unusualCcodes_[std::string(ccode)];
}

void BatchTally::Merge(const BatchTally& other) {
  requests_ += other.requests_;
  for (std::size_t i = 0; i < byStatus_.size(); ++i) byStatus_[i] += other.byStatus_[i];
  for (const auto& [ccode, count] : other.unusualCcodes_) unusualCcodes_[ccode] += count;
}

bool BatchTally::NoneNavigated() const { return requests_ > 0 && byStatus_[1] + byStatus_[2] == requests_; }

std::string BatchTally::Summary() const {
  std::string text = std::to_string(requests_) + (requests_ == 1 ? " request" : " requests");
  const char* separator = ": ";
  for (std::size_t status = 0; status < byStatus_.size(); ++status) {
    if (byStatus_[status] == 0) continue;
    text += separator;
    text += std::to_string(byStatus_[status]) + " status " + std::to_string(status);
    if (status == 0 && !unusualCcodes_.empty()) {
      const char* inner = " (";
      for (const auto& [ccode, count] : unusualCcodes_) {
        text += inner + std::to_string(count) + " with ccode " + ccode;
        inner = ", ";
      }
      text += ")";
    }
    separator = ", ";
  }
  return text;
}

}  // namespace rill

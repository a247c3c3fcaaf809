#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "batch/request_columns.h"
#include "text/status.h"

namespace rill {

// A request as a source gives it: one to navigate, or why its record cannot be one.
using SourcedRequest = std::variant<BatchRequest, RequestRefusal>;

// What a request takes where its table has no column for it.
struct RequestDefaults {
  std::string tables;  // the table folder, without a Tables column
  std::string prefix;  // the tables' prefix, without a Prefix column
};

// The part of a table of requests one process navigates: positions (from
// 1) congruent to `index` modulo `count`.
struct Shard {
  std::size_t index = 1;
  std::size_t count = 1;
  bool Takes(std::size_t position) const { return position % count == index % count; }
};

// The requests of a batch, in request order.
class RequestSource {
 public:
  virtual ~RequestSource() = default;
  // The next request; false at the end, or when the requests could not be
  // read further (then status() says why).
  virtual bool Next(SourcedRequest& request) = 0;
  // Ok, or why the requests could not be read to their end.
  virtual Status status() const { return Status::Ok(); }
  // How many requests the source will give, when it can tell cheaply (0 when not).
  virtual std::size_t Count() const { return 0; }
  // The columns of the table that no request reads, in header order.
  virtual const std::vector<std::string>& ignoredColumns() const = 0;
};

// The requests of a CSV file. Fails (InputMissing) when it cannot be read,
// (Unusable) when its header cannot be used. With `countFirst`, Count()
// gives the number of this shard's requests, read through once.
StatusOr<std::unique_ptr<RequestSource>> OpenRequestsFile(const std::string& path, const RequestDefaults& defaults,
                                                          Shard shard, bool countFirst);

// Requests held as text in memory: a header and its records. Fails
// (Unusable) when the header cannot be used.
StatusOr<std::unique_ptr<RequestSource>> RequestsInMemory(std::vector<std::string> header,
                                                          std::vector<std::vector<std::string>> records,
                                                          const RequestDefaults& defaults);

}  // namespace rill

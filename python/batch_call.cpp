#include "batch_call.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace rill::python {

namespace {

// The tables of each request: the network's own, or those its Tables and
// Prefix columns name, loaded in request order on the calling thread as
// the batch loads them.
std::vector<std::shared_ptr<const LoadedTables>> TablesOf(
    const NetworkHandle& network, std::vector<std::variant<BatchRequest, RequestRefusal>>& requests,
    bool prefixColumn) {
  std::vector<std::shared_ptr<const LoadedTables>> tables(requests.size());
  TableCache others(4);
  TextWriter discard = TextWriter::Discarding();
  const std::string own = network.folder() + network.prefix();
  for (std::size_t i = 0; i < requests.size(); ++i) {
    auto* b = std::get_if<BatchRequest>(&requests[i]);
    if (b == nullptr) continue;
    if (!prefixColumn) b->filePrefix = network.prefix();
    bool fresh = false;
    tables[i] = b->PathOf("") == own ? network.loaded() : others.Get(b->PathOf(""), discard, fresh);
  }
  return tables;
}

}  // namespace

std::unique_ptr<BatchOutcomes> RunRequests(const NetworkHandle& network, const RequestsTable& table, unsigned threads) {
  auto header = RequestColumns::FromHeader(table.header);
  if (const auto* message = std::get_if<std::string>(&header)) throw std::invalid_argument("requests: " + *message);
  const RequestColumns& columns = std::get<RequestColumns>(header);

  const std::size_t count = table.records.size();
  std::vector<std::variant<BatchRequest, RequestRefusal>> requests;
  requests.reserve(count);
  for (const std::vector<std::string>& record : table.records)
    requests.push_back(ReadRequest(columns, record, network.folder()));
  const std::vector<std::shared_ptr<const LoadedTables>> tables =
      TablesOf(network, requests, columns.Has(RequestColumn::Prefix));

  auto out = std::make_unique<BatchOutcomes>();
  out->outcomes.resize(count);
  out->ids.resize(count);
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failureMutex;
  auto work = [&] {
    try {
      for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
        if (const auto* refusal = std::get_if<RequestRefusal>(&requests[i])) {
          out->ids[i] = refusal->id;
          out->outcomes[i] = RefusedOutcome(*refusal, false);
        } else {
          const BatchRequest& b = std::get<BatchRequest>(requests[i]);
          out->ids[i] = b.id;
          out->outcomes[i] = NavigateRequest(b, *tables[i], false);
        }
      }
    } catch (...) {
      // Memory ran out: the others stop at their next request.
      next.store(count);
      std::lock_guard<std::mutex> lock(failureMutex);
      if (!failure) failure = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> workers;
    for (unsigned t = 1; t < threads && t < count; ++t) workers.emplace_back(work);
    work();
  }
  if (failure) std::rethrow_exception(failure);

  out->messages.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t prefix = QuotedField(out->ids[i]).size() + 1;
    ReadResultLines(out->outcomes[i].rows, prefix, static_cast<std::uint32_t>(i), out->rows);
    out->messages[i] = StatusMessage(out->outcomes[i].statusLine, prefix);
  }
  return out;
}

}  // namespace rill::python

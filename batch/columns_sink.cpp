#include "batch/columns_sink.h"

#include <algorithm>

namespace rill {

namespace {

class ColumnsChunk : public OutcomeSink::Chunk {
 public:
  void Add(const RequestOutcome& outcome) override {
    const auto index = static_cast<std::uint32_t>(ids.size());
    ids.push_back(outcome.id);
    statuses.push_back(static_cast<std::int64_t>(outcome.status));
    ccodes.emplace_back(outcome.ccode());
    messages.push_back(outcome.message);
    for (const ResultRow& row : outcome.navigation.rows) rows.Add(row, index);
    if (!outcome.navigation.rows.empty() && (tables.empty() || tables.back() != outcome.tables))
      tables.push_back(outcome.tables);
  }
  void Clear() override {
    ids.clear();
    statuses.clear();
    ccodes.clear();
    messages.clear();
    rows.Clear();
    tables.clear();
  }

  std::vector<std::string> ids;
  std::vector<std::int64_t> statuses;
  std::vector<std::string> ccodes;
  std::vector<std::string> messages;
  RowColumns rows;
  std::vector<std::shared_ptr<const LoadedTables>> tables;
};

}  // namespace

std::unique_ptr<OutcomeSink::Chunk> ColumnsSink::NewChunk() { return std::make_unique<ColumnsChunk>(); }

Status ColumnsSink::Take(Chunk& chunk) {
  auto& c = static_cast<ColumnsChunk&>(chunk);
  const auto first = static_cast<std::uint32_t>(ids.size());
  std::move(c.ids.begin(), c.ids.end(), std::back_inserter(ids));
  statuses.insert(statuses.end(), c.statuses.begin(), c.statuses.end());
  std::move(c.ccodes.begin(), c.ccodes.end(), std::back_inserter(ccodes));
  std::move(c.messages.begin(), c.messages.end(), std::back_inserter(messages));
  rows.Append(c.rows, first);
  for (auto& t : c.tables)
    if (std::find(tables_.begin(), tables_.end(), t) == tables_.end()) tables_.push_back(std::move(t));
  return Status::Ok();
}

}  // namespace rill

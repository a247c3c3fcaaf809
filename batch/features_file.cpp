#include "batch/features_file.h"

#include <algorithm>

#include "navigation/result_text.h"
#include "text/format.h"

namespace rill {

namespace {

constexpr std::size_t kKeptTextBytes = std::size_t{1} << 20;

std::string_view TrimmedView(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The FEATURES lines of the requests of one chunk, found and formatted on its worker.
class FeatureLines : public OutcomeSink::Chunk {
 public:
  FeatureLines(SitePlacements& placements, FeatureMatch match) : placements_(placements), match_(match) {}

  void Add(const RequestOutcome& outcome) override {
    if (outcome.navigation.rows.empty() || !outcome.tables) return;
    std::shared_ptr<const PlacedSites> sites = placements_.On(outcome.tables);
    const std::vector<PassedSite> passed = SitesPassed(outcome.navigation, *sites, match_);
    if (used.empty() || used.back().first != sites) used.emplace_back(std::move(sites), outcome.tables->base);
    AppendFeatureLines(lines, outcome.id, outcome.navigation, passed, placements_.table());
  }
  void Clear() override {
    if (lines.capacity() > kKeptTextBytes)
      std::string().swap(lines);
    else
      lines.clear();
    used.clear();
  }

  std::string lines;
  // The placements the chunk's requests used, with their folder, in order.
  std::vector<std::pair<std::shared_ptr<const PlacedSites>, std::string>> used;

 private:
  SitePlacements& placements_;
  FeatureMatch match_;
};

struct PairChunk : OutcomeSink::Chunk {
  std::unique_ptr<Chunk> first;
  std::unique_ptr<Chunk> second;
  void Add(const RequestOutcome& outcome) override {
    first->Add(outcome);
    second->Add(outcome);
  }
  void Clear() override {
    first->Clear();
    second->Clear();
  }
};

}  // namespace

std::string FeaturesHeader(const SiteTable& table) {
  return "\"Request\",\"Feature\",\"Com_id\",\"Rch_code\",\"Measure\",\"Distance\"" + table.travelHeader + "\n";
}

void AppendFeatureLines(std::string& out, std::string_view requestId, const Navigation& navigation,
                        const std::vector<PassedSite>& passed, const SiteTable& table) {
  if (passed.empty()) return;
  const std::string prefix = QuotedField(requestId) + ",";
  for (const PassedSite& p : passed) {
    const SiteRow& site = table.rows[static_cast<std::size_t>(p.site->row)];
    const ResultRow& row = navigation.rows[p.row];
    out += prefix;
    out += QuotedField(site.id);
    AppendPrintf(out, ",%d,", row.comId);
    out += QuotedField(row.code());
    out += ',';
    if (p.site->hasMeasure) out += TrimmedView(site.measure);
    AppendPrintf(out, ",%20.4f", p.distance);
    out += site.travel;
    out += '\n';
  }
}

std::shared_ptr<const PlacedSites> SitePlacements::On(const std::shared_ptr<const LoadedTables>& tables) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (Entry& e : entries_)
    if (e.key == tables.get() && !e.tables.expired()) return e.sites;
  // Placements of tables let go are let go too.
  std::erase_if(entries_, [](const Entry& e) { return e.tables.expired(); });
  entries_.push_back(Entry{tables, tables.get(), std::make_shared<PlacedSites>(*table_, tables->tables)});
  return entries_.back().sites;
}

StatusOr<std::unique_ptr<FeaturesFile>> FeaturesFile::Create(const std::string& path,
                                                             std::shared_ptr<const SiteTable> table,
                                                             FeatureMatch match) {
  std::unique_ptr<FeaturesFile> file(new FeaturesFile(table, match));
  file->path_ = path;
  if (!file->out_.Open(path))
    return Status(Fault::OutputFailed, "The output file " + path + " could not be written", path);
  file->out_.Write(FeaturesHeader(*table));
  return file;
}

std::unique_ptr<OutcomeSink::Chunk> FeaturesFile::NewChunk() {
  return std::make_unique<FeatureLines>(placements_, match_);
}

Status FeaturesFile::Take(Chunk& chunk) {
  auto& lines = static_cast<FeatureLines&>(chunk);
  for (const auto& [sites, folder] : lines.used) {
    if (std::find(reported_.begin(), reported_.end(), sites) != reported_.end()) continue;
    reported_.push_back(sites);
    reports_.push_back(SitePlacementReport{folder, sites->placed(), sites->skipped(), sites->named()});
  }
  out_.Write(lines.lines);
  if (out_.Failed()) {
    failed_ = true;
    return Status(Fault::OutputFailed, "The output file " + path_ + " could not be written", path_);
  }
  return Status::Ok();
}

Status FeaturesFile::Close() {
  if (!out_.Close() && !failed_)
    return Status(Fault::OutputFailed, "The output file " + path_ + " could not be written", path_);
  return Status::Ok();
}

std::unique_ptr<OutcomeSink::Chunk> SinkPair::NewChunk() {
  auto chunk = std::make_unique<PairChunk>();
  chunk->first = first_.NewChunk();
  chunk->second = second_.NewChunk();
  return chunk;
}

Status SinkPair::Take(Chunk& chunk) {
  auto& pair = static_cast<PairChunk&>(chunk);
  if (Status s = first_.Take(*pair.first); !s.ok()) return s;
  return second_.Take(*pair.second);
}

}  // namespace rill

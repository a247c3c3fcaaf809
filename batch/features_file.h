// FEATURES: the sites each request of a batch passes, as a sink beside the
// batch's files. A site table is placed on each table folder the first time
// a request of that folder is written (once, whichever worker comes first),
// and the sites each request passes are found and formatted on the worker
// that navigated it.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "batch/outcome_sink.h"
#include "batch/site_table.h"
#include "batch/sites_passed.h"
#include "text/text_writer.h"

namespace rill {

// The header line of FEATURES for a site table, line end included.
std::string FeaturesHeader(const SiteTable& table);

// The lines of FEATURES for one request's sites passed, line end included.
void AppendFeatureLines(std::string& out, std::string_view requestId, const Navigation& navigation,
                        const std::vector<PassedSite>& passed, const SiteTable& table);

// The placements of one site table on the table folders of a batch, each
// made once, by whichever worker first needs it.
class SitePlacements {
 public:
  explicit SitePlacements(std::shared_ptr<const SiteTable> table) : table_(std::move(table)) {}

  const SiteTable& table() const { return *table_; }
  // The sites placed on `tables`, placed now if they were not yet.
  std::shared_ptr<const PlacedSites> On(const std::shared_ptr<const LoadedTables>& tables);

 private:
  struct Entry {
    std::weak_ptr<const LoadedTables> tables;
    const LoadedTables* key = nullptr;
    std::shared_ptr<const PlacedSites> sites;
  };
  std::shared_ptr<const SiteTable> table_;
  std::mutex mutex_;
  std::vector<Entry> entries_;
};

class FeaturesFile : public OutcomeSink {
 public:
  // Creates FEATURES at `path` and writes its header. Fails (OutputFailed)
  // when it cannot be created.
  static StatusOr<std::unique_ptr<FeaturesFile>> Create(const std::string& path, std::shared_ptr<const SiteTable> table,
                                                        FeatureMatch match);

  std::unique_ptr<Chunk> NewChunk() override;
  Status Take(Chunk& chunk) override;
  // Closes the file; fails when it could not be written completely.
  Status Close();
  // The placement on each table folder, in the order requests first used it.
  const std::vector<SitePlacementReport>& reports() const { return reports_; }

 private:
  FeaturesFile(std::shared_ptr<const SiteTable> table, FeatureMatch match)
      : placements_(std::move(table)), match_(match) {}
  SitePlacements placements_;
  FeatureMatch match_;
  TextWriter out_;
  std::string path_;
  bool failed_ = false;
  std::vector<std::shared_ptr<const PlacedSites>> reported_;
  std::vector<SitePlacementReport> reports_;
};

// Two sinks as one: each outcome goes to both, the first taking each chunk first.
class SinkPair : public OutcomeSink {
 public:
  SinkPair(OutcomeSink& first, OutcomeSink& second) : first_(first), second_(second) {}
  bool WantsLog() const override { return first_.WantsLog() || second_.WantsLog(); }
  std::unique_ptr<Chunk> NewChunk() override;
  Status Take(Chunk& chunk) override;

 private:
  OutcomeSink& first_;
  OutcomeSink& second_;
};

}  // namespace rill

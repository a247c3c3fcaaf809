#include "batch/run_batch.h"

#include <filesystem>
#include <memory>
#include <vector>

#include "batch/batch_files.h"
#include "batch/features_file.h"

namespace rill {

namespace {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
}

BatchSummary Stopped(Status status) {
  BatchSummary summary;
  summary.status = std::move(status);
  return summary;
}

}  // namespace

std::string DefaultStatusPath(const std::string& results) {
  return fs::path(results).replace_extension(".status.csv").string();
}

std::string DefaultFeaturesPath(const std::string& results) {
  return fs::path(results).replace_extension(".features.csv").string();
}

BatchSummary RunBatch(const BatchOptions& o, const std::atomic<bool>& stop, const ProgressReport& progress) {
  StatusOr<std::unique_ptr<RequestSource>> source =
      OpenRequestsFile(o.requests, RequestDefaults{o.tables, ""}, o.shard, false);
  if (!source.ok()) return Stopped(source.status());

  const std::string statusPath = o.status.empty() ? DefaultStatusPath(o.results) : o.status;
  std::vector<std::string> outputs = {o.results, statusPath};
  if (!o.log.empty()) outputs.push_back(o.log);
  std::shared_ptr<const SiteTable> sites;
  if (!o.features.empty()) {
    StatusOr<SiteTable> read = ReadSiteTable(o.features);
    if (!read.ok()) return Stopped(read.status());
    sites = std::make_shared<const SiteTable>(std::move(read).value());
    outputs.push_back(o.featuresOut.empty() ? DefaultFeaturesPath(o.results) : o.featuresOut);
  }
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (SameFile(outputs[i], o.requests))
      return Stopped(Status(Fault::Unusable, "The output file " + outputs[i] + " would overwrite the requests"));
    if (sites && SameFile(outputs[i], o.features))
      return Stopped(Status(Fault::Unusable, "The output file " + outputs[i] + " would overwrite the site table"));
    for (std::size_t j = 0; j < i; ++j)
      if (SameFile(outputs[i], outputs[j]))
        return Stopped(Status(Fault::Unusable, "The output file " + outputs[i] + " is named twice"));
  }
  // Counted only once the options are known to be usable.
  if (o.countRequests) {
    source = OpenRequestsFile(o.requests, RequestDefaults{o.tables, ""}, o.shard, true);
    if (!source.ok()) return Stopped(source.status());
  }
  StatusOr<std::unique_ptr<BatchFiles>> files = BatchFiles::Create(o.results, statusPath, o.log);
  if (!files.ok()) return Stopped(files.status());

  std::unique_ptr<FeaturesFile> features;
  if (sites) {
    StatusOr<std::unique_ptr<FeaturesFile>> made = FeaturesFile::Create(outputs.back(), sites, o.featureMatch);
    if (!made.ok()) return Stopped(made.status());
    features = std::move(made).value();
  }

  BatchEngine engine(EngineOptions{o.threads, o.maxTables, o.chunk});
  BatchSummary summary;
  if (features) {
    SinkPair both(**files, *features);
    summary = engine.Run(**source, both, stop, progress);
    summary.sites = features->reports();
  } else {
    summary = engine.Run(**source, **files, stop, progress);
  }
  Status closed = (*files)->Close();
  if (features) {
    const Status featuresClosed = features->Close();
    if (closed.ok()) closed = featuresClosed;
  }
  // A file that could not be closed complete outweighs how the batch ended.
  if (!closed.ok() && summary.status.fault() != Fault::OutputFailed) summary.status = closed;
  return summary;
}

}  // namespace rill

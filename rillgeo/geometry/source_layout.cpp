#include "rillgeo/geometry/source_layout.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "rillgeo/geometry/flowline_join.h"
#include "rillgeo/geometry/ogr_columns.h"
#include "rillgeo/geometry/source_chain.h"
#include "rillgeo/geometry/vaa_table.h"

namespace rill::geo {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The entry of `folder` called `name`, letter case ignored; empty when none.
fs::path EntryOf(const fs::path& folder, std::string_view name) {
  std::error_code error;
  const std::string wanted = Lower(std::string(name));
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (Lower(it->path().filename().string()) == wanted) return it->path();
  }
  return {};
}

// The file at `steps` below `folder`, each step's name matched without
// letter case; empty when one is missing.
fs::path Below(fs::path folder, std::initializer_list<std::string_view> steps) {
  for (std::string_view step : steps) {
    if (folder.empty()) return {};
    folder = EntryOf(folder, step);
  }
  return folder;
}

bool IsRegionFolder(const fs::path& folder) { return !Below(folder, {"NHDSnapshot"}).empty(); }

// A Version 2 region folder as given, or the region folders of a
// drainage-area folder in name order; none for any other path.
std::vector<fs::path> RegionFolders(const std::string& path) {
  std::error_code error;
  if (!fs::is_directory(path, error)) return {};
  if (IsRegionFolder(path)) return {fs::path(path)};
  std::vector<fs::path> regions;
  for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    if (it->is_directory(error) && IsRegionFolder(it->path())) regions.push_back(it->path());
  }
  std::sort(regions.begin(), regions.end(),
            [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });
  return regions;
}

OGRLayer* LayerNamed(GDALDataset& dataset, const std::string& name) {
  for (int i = 0; i < dataset.GetLayerCount(); ++i) {
    if (Lower(dataset.GetLayer(i)->GetName()) == Lower(name)) return dataset.GetLayer(i);
  }
  return nullptr;
}

}  // namespace

// Adds each source's datasets and layers to a FlowlineSources.
class SourceOpener {
 public:
  explicit SourceOpener(FlowlineSources& sources) : sources_(sources) {}

  Status Add(const std::string& path, const std::string& layer) {
    const std::vector<fs::path> regions = RegionFolders(path);
    for (const fs::path& region : regions) {
      if (Status added = AddRegion(region); !added.ok()) return added;
    }
    return regions.empty() ? AddDataset(path, layer) : Status::Ok();
  }

  void Finish() {
    if (sources_.parts_.size() == 1) {
      sources_.layer_ = sources_.parts_.front();
      return;
    }
    sources_.chain_ = std::make_unique<ChainedFlowlines>(sources_.parts_);
    sources_.layer_ = sources_.chain_.get();
  }

 private:
  StatusOr<GDALDataset*> Open(const std::string& path) {
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!dataset) return Status(Fault::InputMissing, path + " cannot be opened as a vector source", path);
    sources_.datasets_.push_back(std::move(dataset));
    return sources_.datasets_.back().get();
  }

  // A source GDAL opens: the layer asked for, joined with NHDPlusFlowlineVAA
  // where it is NHDFlowline and the source holds that table.
  Status AddDataset(const std::string& path, const std::string& layer) {
    StatusOr<GDALDataset*> opened = Open(path);
    if (!opened.ok()) return opened.status();
    GDALDataset& dataset = **opened;
    OGRLayer* attributes = LayerNamed(dataset, "NHDPlusFlowlineVAA");
    OGRLayer* lines = LayerNamed(dataset, layer.empty() ? "NHDFlowline" : layer);
    if (attributes != nullptr && lines != nullptr && Lower(lines->GetName()) == "nhdflowline") {
      return AddJoin(*lines, *attributes, path, path);
    }
    if (attributes == nullptr && lines != nullptr && Lower(lines->GetName()) == "nhdflowline" &&
        FindColumn(*lines->GetLayerDefn(), {"StreamLevel"}) < 0) {
      return Status(Fault::InputMissing,
                    "table NHDPlusFlowlineVAA is missing from " + path +
                        ", and its layer NHDFlowline holds no value-added attributes",
                    path);
    }
    if (!layer.empty() && lines == nullptr) {
      return Status(Fault::InputMissing, path + " has no layer " + layer, path);
    }
    const int count = dataset.GetLayerCount();
    for (int i = 0; i < count && lines == nullptr; ++i) {
      OGRLayer* candidate = dataset.GetLayer(i);
      if (count == 1 || Lower(candidate->GetName()).find("flowline") != std::string::npos) lines = candidate;
    }
    if (lines == nullptr) {
      return Status(
          Fault::InputMissing,
          path + " holds " + std::to_string(count) + " layers and none is named for flowlines; name one with --layer",
          path);
    }
    sources_.parts_.push_back(lines);
    return Status::Ok();
  }

  // A Version 2 region folder: its flowline shapefile and value-added table.
  Status AddRegion(const fs::path& region) {
    const fs::path linesFile = Below(region, {"NHDSnapshot", "Hydrography", "NHDFlowline.shp"});
    const fs::path tableFile = Below(region, {"NHDPlusAttributes", "PlusFlowlineVAA.dbf"});
    for (const auto& [file, named] : {std::pair{linesFile, "NHDSnapshot/Hydrography/NHDFlowline.shp"},
                                      std::pair{tableFile, "NHDPlusAttributes/PlusFlowlineVAA.dbf"}}) {
      if (file.empty()) {
        return Status(Fault::InputMissing, (region / named).string() + " is missing", (region / named).string());
      }
    }
    StatusOr<GDALDataset*> lines = Open(linesFile.string());
    if (!lines.ok()) return lines.status();
    StatusOr<GDALDataset*> table = Open(tableFile.string());
    if (!table.ok()) return table.status();
    if ((*lines)->GetLayerCount() < 1 || (*table)->GetLayerCount() < 1) {
      return Status(Fault::InputMissing, region.string() + " holds an empty flowline file", region.string());
    }
    return AddJoin(*(*lines)->GetLayer(0), *(*table)->GetLayer(0), linesFile.string(), tableFile.string());
  }

  Status AddJoin(OGRLayer& lines, OGRLayer& table, const std::string& linesFile, const std::string& file) {
    const int linesId = IdColumn(*lines.GetLayerDefn());
    if (linesId < 0) {
      return Status(
          Fault::InputMissing,
          std::string("column COMID or NHDPlusID is missing from layer ") + lines.GetName() + " of " + linesFile,
          linesFile);
    }
    StatusOr<VaaTable> attributes = VaaTable::Read(table, file, *lines.GetLayerDefn());
    if (!attributes.ok()) return attributes.status();
    sources_.joins_.push_back(std::make_unique<JoinedFlowlines>(lines, linesId, std::move(*attributes)));
    sources_.parts_.push_back(sources_.joins_.back().get());
    return Status::Ok();
  }

  FlowlineSources& sources_;
};

FlowlineSources::FlowlineSources() = default;
FlowlineSources::~FlowlineSources() = default;
FlowlineSources::FlowlineSources(FlowlineSources&&) noexcept = default;

std::size_t FlowlineSources::withoutAttributes() const {
  std::size_t count = 0;
  for (const auto& join : joins_) count += join->withoutAttributes();
  return count;
}

std::size_t FlowlineSources::heldTwice() const { return chain_ ? chain_->heldTwice() : 0; }

StatusOr<FlowlineSources> OpenFlowlineSources(const std::vector<std::string>& paths, const std::string& layer) {
  FlowlineSources sources;
  SourceOpener opener(sources);
  for (const std::string& path : paths) {
    if (Status added = opener.Add(path, layer); !added.ok()) return added;
  }
  opener.Finish();
  return sources;
}

}  // namespace rill::geo

#include "rillgeo/import/table_files.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "navigation/navigation.h"
#include "rillgeo/geometry/decimal_text.h"
#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

namespace fs = std::filesystem;

namespace {

template <typename... Fields>
void AppendLine(std::string& out, const Fields&... fields) {
  bool first = true;
  ((out += first ? "" : ",", out += fields, first = false), ...);
  out += '\n';
}

std::string Whole(std::int64_t value) { return std::to_string(value); }

void WriteWhole(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw GeoError(path + " could not be written");
}

// One file of the folder: its new text, or none when it must go.
struct TableFile {
  std::string name;
  std::optional<std::string> text;
};

// Replaces the files of `dir` all together or not at all. The new texts are
// written under temporary names and the old files kept under a second name
// (a hard link, or a copy) before anything is renamed; when a rename fails,
// those renamed so far are put back, so a failure leaves the old files as
// they were. Only a crash of the machine in the few microseconds of the
// renames could leave old and new files mixed.
void ReplaceTogether(const fs::path& dir, const std::vector<TableFile>& files) {
  std::vector<std::unique_ptr<PendingFile>> fresh;
  std::vector<fs::path> kept(files.size());  // the old files, to be put back on failure; empty where none was
  auto dropKept = [&] {
    for (const fs::path& k : kept) {
      std::error_code error;
      if (!k.empty()) fs::remove(k, error);
    }
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    const fs::path path = dir / files[i].name;
    fresh.push_back(std::make_unique<PendingFile>(path.string()));
    try {
      if (files[i].text) WriteWhole(fresh.back()->temporaryPath(), *files[i].text);
    } catch (const GeoError&) {
      dropKept();
      throw;
    }
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) continue;
    if (!fs::is_regular_file(status)) {
      dropKept();
      throw GeoError(path.string() + " is not a file: the tables cannot be replaced together");
    }
    kept[i] = dir / ("." + files[i].name + ".previous");
    fs::remove(kept[i], error);
    fs::create_hard_link(path, kept[i], error);
    if (error) fs::copy_file(path, kept[i], fs::copy_options::overwrite_existing, error);
    if (error) {
      kept[i].clear();
      dropKept();
      throw GeoError(path.string() + " could not be kept while it is replaced: " + error.message());
    }
  }
  std::size_t done = 0;
  std::string failure;
  for (; done < files.size() && failure.empty(); ++done) {
    std::error_code error;
    if (files[done].text) {
      if (!fresh[done]->Commit()) failure = fresh[done]->path() + " could not be written";
    } else if (!kept[done].empty()) {
      fs::remove(dir / files[done].name, error);
      if (error) failure = (dir / files[done].name).string() + " could not be removed: " + error.message();
    }
  }
  if (failure.empty()) {
    dropKept();
    return;
  }
  // Every file replaced so far gets its old content back; a file that was
  // new to the folder goes again.
  for (std::size_t i = 0; i < done; ++i) {
    std::error_code error;
    const fs::path path = dir / files[i].name;
    if (!kept[i].empty()) {
      fs::rename(kept[i], path, error);
      if (!error) kept[i].clear();
    } else {
      fs::remove(path, error);
    }
  }
  dropKept();
  throw GeoError(failure + "; the old tables were kept");
}

}  // namespace

std::string ReachTableText(const ImportedTables& tables) {
  std::string text;
  for (const ReachRow& r : tables.reaches) {
    AppendLine(text, Whole(r.comId), r.code, r.date, Whole(r.level), Whole(r.meters), Whole(r.duuId));
  }
  return text;
}

std::string FlowTableText(const ImportedTables& tables) {
  std::string text;
  std::int64_t number = 0;
  for (const FlowRow& f : tables.flows) {
    // A Dir 710 row names the reach entered first.
    const bool reversed = f.dir == 710;
    AppendLine(text, Whole(++number), Whole(reversed ? f.entering : f.leaving),
               Whole(reversed ? f.leaving : f.entering), Whole(f.sequence), Whole(f.dir), Whole(f.dLevel));
  }
  return text;
}

std::string SectionTableText(const ImportedTables& tables) {
  std::string text;
  for (const SectionRow& s : tables.sections) {
    AppendLine(text, ShortestText(s.fromMeas), ShortestText(s.toMeas), Whole(s.fromNode), Whole(s.toNode),
               Whole(s.comId), Whole(s.meters));
  }
  return text;
}

std::string IdMapText(const std::vector<RenumberedId>& renumbered) {
  std::string text = "Field,TableId,SourceId\n";
  for (const RenumberedId& id : renumbered) AppendLine(text, id.field, Whole(id.tableId), Whole(id.sourceId));
  return text;
}

void WriteTableFolder(const std::string& folder, const ImportedTables& tables,
                      const std::vector<RenumberedId>& renumbered) {
  const fs::path dir(folder);
  std::error_code error;
  fs::create_directories(dir, error);
  if (!fs::is_directory(dir)) throw GeoError(folder + " is not a folder that can be written");

  std::vector<TableFile> files = {{"rchdata.txt", ReachTableText(tables)},
                                  {"flowdata.txt", FlowTableText(tables)},
                                  {"secdata.txt", SectionTableText(tables)},
                                  {"idmap.csv", std::nullopt}};
  if (!renumbered.empty()) files.back().text = IdMapText(renumbered);
  ReplaceTogether(dir, files);
}

}  // namespace rill::geo

#include "rillgeo/table_files.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "rillgeo/decimal_text.h"
#include "rillgeo/geo_error.h"

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

void WriteWhole(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw GeoError(path.string() + " could not be written");
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

  std::vector<std::pair<std::string, std::string>> files = {{"rchdata.txt", ReachTableText(tables)},
                                                            {"flowdata.txt", FlowTableText(tables)},
                                                            {"secdata.txt", SectionTableText(tables)}};
  if (!renumbered.empty()) files.emplace_back("idmap.csv", IdMapText(renumbered));

  const auto temporary = [&](const std::string& name) { return dir / (name + ".rillgeo-partial"); };
  try {
    for (const auto& [name, text] : files) WriteWhole(temporary(name), text);
  } catch (const GeoError&) {
    for (const auto& file : files) fs::remove(temporary(file.first), error);
    throw;
  }
  for (const auto& file : files) {
    fs::rename(temporary(file.first), dir / file.first, error);
    if (error) throw GeoError((dir / file.first).string() + " could not be written: " + error.message());
  }
  if (renumbered.empty()) fs::remove(dir / "idmap.csv", error);
}

}  // namespace rill::geo

// A site table ("features"): gages, sampling points, intakes, outfalls,
// each with an id and a place on the tables (a reach's Com_id and,
// optionally, a measure along it). What `rillgeo index` writes is one as it
// stands. The table is read once; its sites are placed on each table folder
// once, through an index by reach that a navigation's rows look up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "network/network_tables.h"
#include "text/status.h"

namespace rill {

// One line of a site table, as read. Its place is checked only when it is
// placed on a folder's tables.
struct SiteRow {
  std::size_t line = 0;  // the record's number in the file, the header being 1
  std::string id;
  std::string comId;       // the Com_id field as written
  std::string measure;     // the measure field as written; empty: no measure
  std::string travel;      // the other columns, each as ",<quoted field>"
  std::string unreadable;  // set: why the record cannot be a site at all
};

struct SiteTable {
  std::string path;
  // The other columns' names, each as ",<quoted name>", renamed with the
  // prefix "Site" where FEATURES already has the name.
  std::string travelHeader;
  // Where the id, the place and the other columns stand in the header, and
  // the names the other columns take in FEATURES.
  std::size_t idColumn = 0;
  std::size_t comIdColumn = 0;
  std::optional<std::size_t> measureColumn;
  std::vector<std::size_t> travelColumns;
  std::vector<std::string> travelNames;
  std::vector<SiteRow> rows;
};

// Reads a site table with the one CSV reader. The id is the first of the
// columns Feature, Site, Request, id that the header has; the place is
// Com_id (or StartComid) and, optionally, Measure (or StartMeasure); names
// match ignoring letter case. Fails with InputMissing when the file cannot
// be read, with Unusable (naming the columns looked for) when it has no id
// or no Com_id column.
StatusOr<SiteTable> ReadSiteTable(const std::string& path);

// The same for a table in memory (a data frame's columns as text), named
// `name` in messages; a record's line is its position from 2.
StatusOr<SiteTable> SiteTableOf(const std::string& name, std::vector<std::string> header,
                                const std::vector<std::vector<std::string>>& records);

// A site placed on one folder's tables.
struct PlacedSite {
  std::int32_t row = 0;     // its row in the site table
  std::int32_t reach = -1;  // its reach's index in the loaded reach table
  bool hasMeasure = false;
  double measure = 0.0;
};

// A row of the site table that could not be placed, and why.
struct SkippedSite {
  std::size_t line = 0;
  std::string id;
  std::string reason;
};

// How the site table fared on one table folder: what the program reports.
struct SitePlacementReport {
  std::string folder;  // the tables' folder and prefix; empty for tables loaded by a caller
  std::size_t placed = 0;
  std::size_t skipped = 0;
  std::vector<SkippedSite> named;  // the first skipped rows, with their reason
};

// The sites of a table placed on one folder's tables: ordered by reach,
// then by their order in the table, with a mark per reach that has any,
// so that a row of a navigation finds its sites without a search.
class PlacedSites {
 public:
  static constexpr std::size_t kNamedSkips = 10;

  // Places every row of `table` on `tables`. A row whose Com_id is not a
  // reach of the tables, whose measure is not a number or lies outside its
  // reach's sections, or whose id is empty is skipped: counted, and the
  // first kNamedSkips named with their reason.
  PlacedSites(const SiteTable& table, const NetworkTables& tables);

  // The sites on the reach at `reach` in the loaded reach table.
  std::pair<const PlacedSite*, const PlacedSite*> On(std::int32_t reach) const;

  std::size_t placed() const { return sites_.size(); }
  std::size_t skipped() const { return skipped_; }
  const std::vector<SkippedSite>& named() const { return named_; }

 private:
  std::vector<PlacedSite> sites_;
  std::vector<bool> hasSites_;  // by reach index
  std::size_t skipped_ = 0;
  std::vector<SkippedSite> named_;
};

}  // namespace rill

#include "rillgeo/import/renumber_ids.h"

#include <algorithm>
#include <limits>

namespace rill::geo {

namespace {

// Renumbers the values behind `slots` (a 0 stays 0: it names no reach) when
// one of them does not fit 32 bits, recording each renumbered value.
void RenumberField(const std::string& field, const std::vector<std::int64_t*>& slots,
                   std::vector<RenumberedId>& renumbered) {
  const bool fits = std::all_of(slots.begin(), slots.end(), [](const std::int64_t* v) {
    return *v >= std::numeric_limits<std::int32_t>::min() && *v <= std::numeric_limits<std::int32_t>::max();
  });
  if (fits) return;
  std::vector<std::int64_t> values;
  values.reserve(slots.size());
  for (const std::int64_t* v : slots) {
    if (*v != 0) values.push_back(*v);
  }
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  for (std::size_t i = 0; i < values.size(); ++i) {
    renumbered.push_back({field, static_cast<std::int64_t>(i + 1), values[i]});
  }
  for (std::int64_t* v : slots) {
    if (*v != 0) *v = std::lower_bound(values.begin(), values.end(), *v) - values.begin() + 1;
  }
}

}  // namespace

std::vector<RenumberedId> RenumberToFit(ImportedTables& tables) {
  std::vector<std::int64_t*> comIds, nodes, hydroseqs;
  for (ReachRow& r : tables.reaches) {
    comIds.push_back(&r.comId);
    hydroseqs.push_back(&r.duuId);
  }
  for (SectionRow& s : tables.sections) {
    comIds.push_back(&s.comId);
    nodes.push_back(&s.fromNode);
    nodes.push_back(&s.toNode);
  }
  for (FlowRow& f : tables.flows) {
    comIds.push_back(&f.leaving);
    comIds.push_back(&f.entering);
  }
  std::vector<RenumberedId> renumbered;
  RenumberField("Com_id", comIds, renumbered);
  RenumberField("Node", nodes, renumbered);
  RenumberField("Hydroseq", hydroseqs, renumbered);
  return renumbered;
}

}  // namespace rill::geo

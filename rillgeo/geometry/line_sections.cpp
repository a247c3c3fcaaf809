#include "rillgeo/geometry/line_sections.h"

namespace rill::geo {

LineSections::LineSections(const NetworkTables& tables, const IdMap& ids) : tables_(tables), ids_(ids) {
  const std::vector<SectionRecord>& sections = tables.sections();
  byFromNode_.reserve(sections.size());
  for (std::size_t i = 0; i < sections.size(); ++i) {
    byFromNode_.emplace(ids.SourceNode(sections[i].Fnode), static_cast<std::int32_t>(i));
  }
}

const SectionRecord* LineSections::Of(const FlowlineLine& line) const {
  const std::vector<SectionRecord>& sections = tables_.sections();
  std::int32_t found = -1;
  const auto [first, last] = byFromNode_.equal_range(line.fromNode);
  for (auto it = first; it != last; ++it) {
    const SectionRecord& s = sections[it->second];
    if (ids_.SourceNode(s.Tnode) != line.toNode) continue;
    if (ids_.SourceComId(s.Com_id) == line.comId) return &s;
    if (found < 0 || it->second < found) found = it->second;
  }
  return found < 0 ? nullptr : &sections[found];
}

}  // namespace rill::geo

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "rillgeo/geometry/decimal_text.h"
#include "rillgeo/import/flowline_links.h"
#include "rillgeo/import/network_mapping.h"

namespace rill::geo {

namespace {

// The flowlines of one reach code, downstream first.
struct CodeRun {
  std::vector<std::size_t> members;
  std::size_t bottom() const { return members.front(); }
  std::size_t top() const { return members.back(); }
};

// The integer part of a junction measure, at least 1, so that the row reads
// as an interior junction.
std::int64_t InteriorSequence(double measure) {
  return std::max<std::int64_t>(1, static_cast<std::int64_t>(std::trunc(measure)));
}

}  // namespace

ImportedTables MapByReachCode(const std::vector<Flowline>& flowlines) {
  std::map<std::string, CodeRun> codes;
  for (std::size_t i = 0; i < flowlines.size(); ++i) codes[flowlines[i].reachCode].members.push_back(i);

  std::vector<const CodeRun*> runOf(flowlines.size());
  ImportedTables tables;
  for (auto& [code, run] : codes) {
    std::stable_sort(run.members.begin(), run.members.end(),
                     [&](std::size_t a, std::size_t b) { return flowlines[a].fromMeas < flowlines[b].fromMeas; });
    const Flowline& bottom = flowlines[run.bottom()];
    std::int64_t picoKm = 0;
    std::string date;
    for (std::size_t i : run.members) {
      runOf[i] = &run;
      picoKm += *ReadPicoUnits(flowlines[i].lengthKm);
      date = std::max(date, flowlines[i].date);
    }
    tables.reaches.push_back(
        {bottom.comId, code, date, bottom.streamLevel, MetersRoundedHalfUp(picoKm), bottom.hydroseq});
    for (std::size_t i : run.members) {
      const Flowline& f = flowlines[i];
      tables.sections.push_back({f.fromMeas, f.toMeas, f.fromNode, f.toNode, bottom.comId, MetersOf(f)});
    }
    if (flowlines[run.top()].headwater) tables.flows.push_back({0, bottom.comId, 0, 712, 0});
  }

  ForEachLink(flowlines, [&](std::size_t up, std::size_t down) {
    const CodeRun& from = *runOf[up];
    const CodeRun& into = *runOf[down];
    if (&from == &into) return;
    const Flowline& f = flowlines[up];
    const Flowline& g = flowlines[down];
    FlowRow row{flowlines[from.bottom()].comId, flowlines[into.bottom()].comId, 0, 709,
                f.levelPath == g.levelPath ? 0 : 1};
    if (up != from.bottom()) {
      // Water leaves the code inside it, at the foot of flowline f.
      row.dir = 710;
      row.sequence = InteriorSequence(f.fromMeas);
    } else if (down != into.top()) {
      // Water joins the other code inside it, at the head of flowline g.
      row.sequence = InteriorSequence(g.toMeas);
    } else if (g.coastline) {
      row.dir = 714;
    }
    tables.flows.push_back(row);
  });
  SortFlowRows(tables.flows);
  return tables;
}

}  // namespace rill::geo

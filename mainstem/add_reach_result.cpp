#include "mainstem/add_reach_result.h"

#include <cmath>

namespace rill {

namespace {

struct Passage {
  double from = 0.0;
  double to = 0.0;
  double length = 0.0;
  double travel = 0.0;
  bool keep = true;
  bool goOn = true;
};

bool IsUpstream(Direction direction) { return direction == Direction::Up; }

// Measures of a whole-reach passage: from the start point when the reach
// holds it, else from its top (down) or its bottom (up).
void SetReachMeasures(const PassageRequest& req, double s, std::int16_t branched, Passage& p) {
  double bottom = 0.0;
  double top = 100.0;
  if (branched == 1 && !IsMainstemKind(req.kind)) top = 200.0;
  if (branched == 2) {
    bottom = 100.0;
    top = 200.0;
  }
  bool holdsStart = s > -1.0;
  double start = holdsStart ? (s < bottom ? bottom : s) : 0.0;
  if (IsUpstream(req.direction)) {
    p.from = holdsStart ? start : bottom;
    p.to = top;
  } else {
    p.from = holdsStart ? start : top;
    p.to = 0.0;
  }
}

void Advance(NavState& state, Passage& p, double length) {
  state.dCumTravelDistance += length;
  p.travel = state.dCumTravelDistance;
  p.length = length;
}

// Cuts a passage of length L at the distance limit or the end point.
void ClipReachDistance(NavState& state, const PassageRequest& req, bool whole, double L, double e, Passage& p) {
  const bool up = IsUpstream(req.direction);
  double len = whole ? (up ? (p.to - p.from) / 100 * L : (p.from - p.to) / 100 * L) : L;
  switch (req.kind) {
    case NavKind::Mainstem:
    case NavKind::Network:
      Advance(state, p, len);
      return;
    case NavKind::MainstemToDistance:
    case NavKind::NetworkToDistance: {
      const double limit = req.distanceLimit;
      if (!(state.dCumTravelDistance + len > limit) && !(state.dCumTravelDistance < 0.0)) {
        Advance(state, p, len);
        return;
      }
      len = limit - state.dCumTravelDistance;
      p.length = len;
      if (state.dCumTravelDistance < 0.0) {
        p.keep = false;
        return;
      }
      if (L == 0.0) {
        // Nothing to interpolate on: the passage ends where it begins.
        p.to = p.from;
        p.length = 0.0;
      } else if (whole) {
        p.to = up ? p.from + len / L * 100 : p.from - len / L * 100;
      } else {
        p.to = up ? p.from + (p.to - p.from) * len / L : p.from - (p.from - p.to) * len / L;
      }
      p.travel = limit;
      state.dCumTravelDistance = kLimitMet;
      return;
    }
    case NavKind::PointToPoint:
      if (e == -1.0) {
        Advance(state, p, len);
        return;
      }
      if (whole) {
        p.to = e;
        len = std::fabs(p.from - e) / 100 * L;
        p.goOn = false;
      } else {
        for (int test = 0; test < 2; ++test) {
          bool endInside = test == 0 ? (p.to >= e && p.from <= e) : (p.to <= e && p.from >= e);
          if (!endInside) continue;
          if (p.from == p.to) {
            len = 0.0;  // a piece without extent: it ends where it begins
            p.to = p.from;
          } else {
            len = (p.from - e) * L / (p.from - p.to);
            p.to = e;
          }
          p.goOn = false;
        }
      }
      Advance(state, p, len);
      return;
    case NavKind::None:
      p.length = len;
      return;
  }
}

void AppendRecord(NavContext& ctx, const PassageRequest& req, std::int32_t id, std::int32_t reachIndex,
                  const ReachRecord& reach, const Passage& p) {
  ResultRecord r;
  r.reach = reachIndex;
  r.Com_id = reach.Com_id;
  r.FromMeasure = p.from;
  r.ToMeasure = p.to;
  r.TravelDistance = p.travel;
  r.RchLength = p.length;
  const double divisor = MetersPer(req.units);
  if (divisor != 1.0) {
    r.TravelDistance = r.TravelDistance / divisor;
    r.RchLength = r.RchLength / divisor;
  }
  ctx.state.results.Append(r);
  ctx.state.marks.MarkVisited(id);
  static constexpr LineFormat kOutput{
      "Output Com_id: %d, Rch_code: %s, From Measure: %10.2f, To Measure: %10.2f, TravelDistance: %20.5f, "
      "Reach Length: %10.5f\n"};
  ctx.log.Print(kOutput, reach.Com_id, reach.Code(), r.FromMeasure, r.ToMeasure, r.TravelDistance, r.RchLength);
}

void RaiseFlags(NavState& state, const PassageRequest& req, const ReachRecord& reach) {
  const bool mainstemType = IsMainstemKind(req.kind);
  if (reach.Branched == 2 && mainstemType && req.direction == Direction::Up) state.lakeNoMainpathSeen = 1;
  if (req.direction == Direction::Down && reach.Divergent == 1) {
    if (IsNetworkKind(req.kind) || req.kind == NavKind::PointToPoint) state.divergenceSeen = 1;
    if (mainstemType && reach.Branched == 2) state.divergenceSeen = 1;
  }
}

// Length of a branched reach's main range (measures 0 to 100).
double MainRangeMeters(const NetworkTables& tables, std::int32_t comId) {
  std::int64_t sum = 0;
  for (const SectionRecord& s : tables.SectionsOf(comId))
    if (!(s.F_meas < 0.0) && !(s.T_meas > 100.0)) sum += s.Meters;
  return static_cast<double>(sum);
}

}  // namespace

std::int16_t AddReachResult(NavContext& ctx, const PassageRequest& req, std::int32_t comId, std::int32_t id) {
  const std::int32_t reachIndex = ctx.tables.ReachAt(id);
  if (reachIndex < 0) return 0;
  const ReachRecord& reach = ctx.tables.reaches()[static_cast<std::size_t>(reachIndex)];
  NavState& state = ctx.state;
  RaiseFlags(state, req, reach);

  const double e = req.end.IsOn(reachIndex, reach) ? req.end.measure : -1.0;
  const std::int32_t first = state.specials.FindSpecialCase(comId);
  if (first < 0) {
    Passage p;
    double L = reach.Meters;
    SetReachMeasures(req, req.start.IsOn(reachIndex, reach) ? req.start.measure : -1.0, reach.Branched, p);
    if (IsMainstemKind(req.kind) && IsUpstream(req.direction) && reach.Branched == 1)
      L = MainRangeMeters(ctx.tables, comId);
    ClipReachDistance(state, req, true, L, e, p);
    if (reach.Branched == 2 && req.kind == NavKind::NetworkToDistance && IsUpstream(req.direction) && p.to != 200.0)
      state.lakeNoMainpathSeen = 1;
    if (!p.keep) return 0;
    AppendRecord(ctx, req, id, reachIndex, reach, p);
    return p.goOn ? 1 : 0;
  }

  // The reach is passed only in the recorded pieces that follow its first entry.
  bool goOn = true;
  bool keep = true;
  const SpecialCaseList& list = state.specials;
  for (std::int32_t i = first; i <= list.last() && list[i].Com_id == comId && goOn; ++i) {
    Passage p;
    p.from = list[i].f_meas;
    p.to = list[i].t_meas;
    p.keep = keep;
    ClipReachDistance(state, req, false, list[i].meters, e, p);
    keep = p.keep;
    goOn = p.goOn;
    if (keep) AppendRecord(ctx, req, id, reachIndex, reach, p);
  }
  return goOn ? 1 : 0;
}

}  // namespace rill

#include "navigation/navigate.h"

#include <utility>

#include "mainstem/mainstem.h"
#include "navigation/result_of_pass.h"
#include "navigation/start_rules.h"
#include "netwalk/netwalk.h"

namespace rill {

namespace {

// A point of the walk as Navigate moves it around: exchanged, restarted.
struct WalkPoint {
  std::int32_t reach = -1;
  std::string code;
  std::optional<std::int32_t> comId;  // named by its Com_id: this reach alone
  double measure = 0.0;

  ReachPoint View() const { return ReachPoint{reach, code, comId.has_value(), measure}; }
};

// Finds the reach a point names: by Com_id that reach alone, by code the
// first reach of the code.
WalkPoint Resolve(const NetworkTables& tables, const std::string& code, const std::optional<std::int32_t>& comId,
                  double measure) {
  WalkPoint p;
  p.measure = measure;
  p.comId = comId;
  if (comId) {
    p.reach = tables.FindReachByComId(*comId);
    if (p.reach >= 0) p.code = std::string(tables.reaches()[static_cast<std::size_t>(p.reach)].Code());
  } else {
    p.code = code;
    p.reach = tables.FindReachByRchCode(code);
  }
  return p;
}

// A code given beside a Com_id must be that reach's own.
std::optional<Refusal> Disagreement(RequestPoint point, const std::string& given,
                                    const std::optional<std::int32_t>& comId, const WalkPoint& p) {
  if (!comId || given.empty() || p.reach < 0 || given == p.code) return std::nullopt;
  const char* which = point == RequestPoint::Start ? "StartReach" : "EndReach";
  return Refusal{point, std::string(which) + " " + given + " is not the code of the reach with Com_id " +
                            std::to_string(*comId) + ", " + p.code};
}

// Requests that name no known reach or no direction cannot be walked: they
// end as a blocked start, with a line saying why.
bool CheckRequest(const NavigationRequest& r, const WalkPoint& start, const WalkPoint& end, TextWriter& log,
                  std::vector<std::string>& notes) {
  auto named = [](const WalkPoint& p) { return p.comId ? "with Com_id " + std::to_string(*p.comId) : p.code; };
  auto say = [&](std::string line) {
    log.Write(line + "\n");
    notes.push_back(std::move(line));
  };
  bool usable = true;
  if (start.reach < 0) {
    say("Start reach " + named(start) + " is not in the reach table");
    usable = false;
  }
  if (r.kind == NavKind::PointToPoint && end.reach < 0) {
    say("End reach " + named(end) + " is not in the reach table");
    usable = false;
  }
  if (r.direction == Direction::Other) {
    say("Direction " + r.directionText + " is neither U nor D");
    usable = false;
  }
  return usable;
}

double DistanceInMeters(const NavigationRequest& r) {
  if (!(r.distance > 0.0)) return r.distance;
  return r.distance * MetersPer(r.units);
}

void RunWalker(NavContext& ctx, WalkRequest walk, bool coastUp) {
  switch (walk.kind) {
    case NavKind::Mainstem:
    case NavKind::MainstemToDistance:
      if (coastUp) {
        // A coastline start is walked up as a network.
        walk.kind = walk.kind == NavKind::Mainstem ? NavKind::Network : NavKind::NetworkToDistance;
        WalkNetwork(ctx, walk);
      } else {
        WalkMainstem(ctx, walk);
      }
      break;
    case NavKind::Network:
    case NavKind::NetworkToDistance:
      WalkNetwork(ctx, walk);
      break;
    case NavKind::PointToPoint:
      WalkMainstem(ctx, walk);
      break;
    case NavKind::None:
      break;
  }
}

WalkRequest WalkOf(const NavigationRequest& r, Direction direction, const WalkPoint& start, const WalkPoint& end,
                   double meters) {
  WalkRequest walk;
  walk.kind = r.kind;
  walk.start = start.View();
  if (r.kind == NavKind::PointToPoint) walk.end = end.View();
  walk.direction = direction;
  walk.units = r.units;
  walk.startMode = r.startMode;
  // The mainstem walk to a distance and every point-to-point walk carry the
  // limit; the network walk carries it to a distance only.
  const bool carriesLimit = HasDistanceLimit(r.kind) || r.kind == NavKind::PointToPoint;
  walk.distanceLimit = carriesLimit ? meters : -1.0;
  return walk;
}

}  // namespace

Navigation Navigate(const NetworkTables& tables, const NavigationRequest& r, TextWriter& log, NavWorkspace* reuse) {
  if (r.kind == NavKind::None) return Navigation{};

  WalkPoint start = Resolve(tables, r.startReach, r.startComid, r.startMeasure);
  WalkPoint end = Resolve(tables, r.endReach, r.endComid, r.endMeasure);
  std::optional<Refusal> refusal = Disagreement(RequestPoint::Start, r.startReach, r.startComid, start);
  if (!refusal && r.kind == NavKind::PointToPoint)
    refusal = Disagreement(RequestPoint::End, r.endReach, r.endComid, end);
  if (refusal) {
    Navigation refused;
    refused.refusal = std::move(refusal);
    return refused;
  }

  NavState state;
  NavContext ctx{tables, state, log};
  if (reuse != nullptr) {
    state.marks = std::move(reuse->marks_);
    state.deadline = reuse->deadline_;
  }
  state.marks.Prepare(tables.idCount());
  Direction direction = r.direction;
  bool pointsSwapped = false;

  // A point-to-point request is always walked downstream.
  if (r.kind == NavKind::PointToPoint && direction == Direction::Up) {
    std::swap(start, end);
    direction = Direction::Down;
    pointsSwapped = true;
  }

  std::vector<std::string> notes;
  if (!CheckRequest(r, start, end, log, notes)) {
    state.startBlocked = 1;
  } else {
    const ReachRecord& startReach = tables.reaches()[static_cast<std::size_t>(start.reach)];
    if (TestCoastmain(tables, startReach.Com_id) && IsMainstemKind(r.kind)) {
      state.coastmain = 1;
      log.Write("Setting coastmain to true\n");
    }
    if (StartIsBlocked(startReach, r.kind, direction, r.startMode, start.measure)) state.startBlocked = 1;
  }
  const double meters = DistanceInMeters(r);
  if (state.startBlocked == 0) {
    const bool coastUp = state.coastmain == 1 && direction == Direction::Up;
    RunWalker(ctx, WalkOf(r, direction, start, end, meters), coastUp);
  }
  log.Write("Navigation Complete\n");

  if (r.kind == NavKind::PointToPoint && state.noNextReach == 1 && !state.deadline.passed()) {
    // The end was not met: walk once more with the points exchanged.
    log.Write("Restarting navigation with swapped begin and end points\n");
    WalkMarks marks = std::move(state.marks);
    marks.Reset();
    const WalkDeadline deadline = state.deadline;
    state = NavState{};
    state.marks = std::move(marks);
    state.deadline = deadline;
    std::swap(start.reach, end.reach);
    std::swap(start.code, end.code);
    std::swap(start.comId, end.comId);
    const double oldStart = start.measure;
    start.measure = end.measure == 0.0 ? 100.0 : end.measure;
    end.measure = oldStart == 100.0 ? 0.0 : oldStart;
    pointsSwapped = true;
    WalkMainstem(ctx, WalkOf(r, direction, start, end, meters));
    log.Write("New Navigation Complete\n");
  }
  PassEnding ending;
  ending.kind = r.kind;
  ending.pointsSwapped = pointsSwapped;
  ending.boundary = r.boundary;
  ending.boundaryCode = pointsSwapped ? end.code : start.code;
  ending.startCode = start.code;
  // The marks serve the walk only: given back, or let go with their memory.
  state.marks.Reset();
  if (reuse != nullptr) reuse->marks_ = std::move(state.marks);
  Navigation navigation = ResultOfPass(tables, state, ending, std::move(notes));
  navigation.stopped = state.deadline.passed();
  return navigation;
}

}  // namespace rill

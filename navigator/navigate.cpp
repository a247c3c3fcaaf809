#include "navigator/navigate.h"

#include <utility>

#include "mainstem/mainstem.h"
#include "navigator/start_rules.h"
#include "netwalk/netwalk.h"

namespace rill {

namespace {

// Requests that name no known reach or no direction cannot be walked: they
// end as a blocked start, with a line saying why.
bool CheckRequest(const NetworkTables& tables, const NavRequest& r, TextWriter& log) {
  bool usable = true;
  if (tables.FindReachByRchCode(r.StartReach) < 0) {
    log.Print("Start reach %s is not in the reach table\n", r.StartReach);
    usable = false;
  }
  if (r.NavType == 5 && tables.FindReachByRchCode(r.EndReach) < 0) {
    log.Print("End reach %s is not in the reach table\n", r.EndReach);
    usable = false;
  }
  if (r.Direction != "U" && r.Direction != "D") {
    log.Print("Direction %s is neither U nor D\n", r.Direction);
    usable = false;
  }
  return usable;
}

double DistanceInMeters(const NavRequest& r) {
  if (!(r.Distance > 0.0)) return r.Distance;
  if (r.DistanceUnits == "MI") return r.Distance * 1609.0;
  if (r.DistanceUnits == "FT") return r.Distance * 0.3048;
  return r.Distance;
}

void RunWalker(NavContext& ctx, const NavRequest& r, double meters) {
  const bool coastUp = ctx.state.coastmain == 1 && r.Direction == "U";
  switch (r.NavType) {
    case 1:
      if (coastUp)
        WalkNetwork(ctx, 2, r.StartReach, r.StartMeasure, r.Direction, -1.0, r.DistanceUnits, r.WholeReachStartMode);
      else
        WalkMainstem(ctx, 1, r.StartReach, r.StartMeasure, "", -1.0, r.Direction, -1.0, r.DistanceUnits,
                     r.WholeReachStartMode);
      break;
    case 3:
      if (coastUp)
        WalkNetwork(ctx, 4, r.StartReach, r.StartMeasure, r.Direction, meters, r.DistanceUnits, r.WholeReachStartMode);
      else
        WalkMainstem(ctx, 3, r.StartReach, r.StartMeasure, "", -1.0, r.Direction, meters, r.DistanceUnits,
                     r.WholeReachStartMode);
      break;
    case 2:
      WalkNetwork(ctx, 2, r.StartReach, r.StartMeasure, r.Direction, -1.0, r.DistanceUnits, r.WholeReachStartMode);
      break;
    case 4:
      WalkNetwork(ctx, 4, r.StartReach, r.StartMeasure, r.Direction, meters, r.DistanceUnits, r.WholeReachStartMode);
      break;
    case 5:
      WalkMainstem(ctx, 5, r.StartReach, r.StartMeasure, r.EndReach, r.EndMeasure, r.Direction, meters, r.DistanceUnits,
                   r.WholeReachStartMode);
      break;
    default:
      break;
  }
}

}  // namespace

Navigation Navigate(const NetworkTables& tables, NavRequest& r, TextWriter& log) {
  Navigation navigation;
  NavState& state = navigation.state;
  NavContext ctx{tables, state, log};
  bool& pointsSwapped = navigation.pointsSwapped;

  // A point-to-point request is always walked downstream.
  if (r.NavType == 5 && r.Direction == "U") {
    std::swap(r.StartReach, r.EndReach);
    std::swap(r.StartMeasure, r.EndMeasure);
    r.Direction = "D";
    pointsSwapped = true;
  }

  if (!CheckRequest(tables, r, log)) {
    state.startBlocked = 1;
  } else {
    const ReachRecord& start = tables.reaches()[static_cast<std::size_t>(tables.FindReachByRchCode(r.StartReach))];
    if (TestCoastmain(tables, start.Com_id) && (r.NavType == 1 || r.NavType == 3)) {
      state.coastmain = 1;
      log.Write("Setting coastmain to true\n");
    }
    if (StartIsBlocked(start, r)) state.startBlocked = 1;
  }
  const double meters = DistanceInMeters(r);
  if (state.startBlocked == 0) RunWalker(ctx, r, meters);
  log.Write("Navigation Complete\n");

  if (r.NavType == 5 && state.noNextReach == 1) {
    // The end was not met: walk once more with the points exchanged.
    log.Write("Restarting navigation with swapped begin and end points\n");
    state = NavState{};
    std::swap(r.StartReach, r.EndReach);
    const double oldStart = r.StartMeasure;
    r.StartMeasure = r.EndMeasure == 0.0 ? 100.0 : r.EndMeasure;
    r.EndMeasure = oldStart == 100.0 ? 0.0 : oldStart;
    pointsSwapped = true;
    WalkMainstem(ctx, 5, r.StartReach, r.StartMeasure, r.EndReach, r.EndMeasure, r.Direction, meters, r.DistanceUnits,
                 r.WholeReachStartMode);
    log.Write("New Navigation Complete\n");
  }
  return navigation;
}

}  // namespace rill

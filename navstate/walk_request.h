// What a walk is asked to do, in types: the kind of navigation, its
// direction, the start (and end) point resolved to a reach of the table, the
// distance limit in meters and the units the rows are given in.
#pragma once

#include <cstdint>
#include <string_view>

#include "network/network_tables.h"

namespace rill {

// The navigations; None stands for any number outside 1..5 (the tables are
// loaded and nothing is walked).
enum class NavKind : std::int32_t {
  None = 0,
  Mainstem = 1,
  Network = 2,
  MainstemToDistance = 3,
  NetworkToDistance = 4,
  PointToPoint = 5,
};

// The navigation a NavType number names.
inline NavKind NavKindOf(std::int32_t navType) {
  return navType >= 1 && navType <= 5 ? static_cast<NavKind>(navType) : NavKind::None;
}
inline std::int32_t NavTypeOf(NavKind kind) { return static_cast<std::int32_t>(kind); }
inline bool IsMainstemKind(NavKind k) { return k == NavKind::Mainstem || k == NavKind::MainstemToDistance; }
inline bool IsNetworkKind(NavKind k) { return k == NavKind::Network || k == NavKind::NetworkToDistance; }
inline bool HasDistanceLimit(NavKind k) { return k == NavKind::MainstemToDistance || k == NavKind::NetworkToDistance; }

// Up against the flow, down with it; Other is a direction text that is
// neither, which no walk is given.
enum class Direction { Up, Down, Other };

// Units of the rows' distances and lengths, and of a request's distance.
enum class DistanceUnit { Meters, Miles, Feet, Kilometers };

// Meters in one unit.
inline double MetersPer(DistanceUnit unit) {
  switch (unit) {
    case DistanceUnit::Miles:
      return 1609.0;
    case DistanceUnit::Feet:
      return 0.3048;
    case DistanceUnit::Kilometers:
      return 1000.0;
    case DistanceUnit::Meters:
      break;
  }
  return 1.0;
}

// How a branched or lake start reach is entered (WholeReachStartMode): from
// the start measure (0), whole (1), or, for any other value, by neither
// rule.
enum class StartReachMode { AtMeasure, Whole, Neither };

inline StartReachMode StartReachModeOf(std::int16_t wholeReachStartMode) {
  if (wholeReachStartMode == 0) return StartReachMode::AtMeasure;
  if (wholeReachStartMode == 1) return StartReachMode::Whole;
  return StartReachMode::Neither;
}

// A start or end point: a reach of the table and a measure on it. A point
// named by its code stands on every reach of that code; one named by its
// Com_id stands on that reach alone.
struct ReachPoint {
  std::int32_t reach = -1;  // index in the reach table of the reach found; -1 for none
  std::string_view code;    // the code the point was named by, or its reach's code
  bool onlyThisReach = false;
  double measure = 0.0;

  bool IsOn(std::int32_t reachIndex, const ReachRecord& r) const {
    return onlyThisReach ? reachIndex == reach : r.Code() == code;
  }
};

// A point on no reach at all: the end of a walk that is not point to point.
inline constexpr ReachPoint kNoPoint{-1, {}, true, 0.0};

// One walk, as the walkers take it. `end` is used by point to point only.
struct WalkRequest {
  NavKind kind = NavKind::None;
  ReachPoint start;
  ReachPoint end = kNoPoint;
  Direction direction = Direction::Down;
  double distanceLimit = -1.0;  // meters; exactly -1.0 without limit
  DistanceUnit units = DistanceUnit::Meters;
  StartReachMode startMode = StartReachMode::AtMeasure;

  bool upstream() const { return direction == Direction::Up; }
  bool downstream() const { return direction == Direction::Down; }
};

}  // namespace rill

#include "navigation/named_request.h"

#include "text/letter_case.h"

namespace rill {

namespace {

struct ModeWord {
  const char* word;
  NavKind kind;
  Direction direction;
};
constexpr ModeWord kModes[] = {{"UM", NavKind::Mainstem, Direction::Up},
                               {"UT", NavKind::Network, Direction::Up},
                               {"DM", NavKind::Mainstem, Direction::Down},
                               {"DD", NavKind::Network, Direction::Down},
                               {"PP", NavKind::PointToPoint, Direction::Down}};

Status Unusable(std::string message) { return Status(Fault::Unusable, std::move(message)); }

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

Status ApplyModeWord(std::string_view word, std::optional<Direction> direction, NavigationRequest& r) {
  for (const ModeWord& m : kModes) {
    if (!SameIgnoringCase(word, m.word)) continue;
    if (m.kind == NavKind::PointToPoint) {
      r.kind = m.kind;
      r.direction = direction.value_or(Direction::Down);
      return Status::Ok();
    }
    if (direction && *direction != m.direction)
      return Unusable(std::string("direction ") + (*direction == Direction::Up ? "U" : "D") + " contradicts mode " +
                      m.word);
    r.kind = m.kind;
    r.direction = m.direction;
    if (r.distance > 0.0)
      r.kind = r.kind == NavKind::Mainstem ? NavKind::MainstemToDistance : NavKind::NetworkToDistance;
    return Status::Ok();
  }
  return Unusable("mode \"" + std::string(word) + "\" is none of UM, UT, DM, DD, PP");
}

StatusOr<NavigationRequest> RequestOfNamed(const NamedRequest& a) {
  NavigationRequest r;
  r.distance = a.distance;
  std::optional<Direction> direction;
  if (a.direction) {
    direction = ReadDirection(Upper(*a.direction));
    if (*direction == Direction::Other) return Unusable("direction \"" + *a.direction + "\" is neither U nor D");
  }
  if (a.mode && a.navType) return Unusable("give mode or nav_type, not both");
  if (a.mode) {
    if (Status s = ApplyModeWord(*a.mode, direction, r); !s.ok()) return s;
  } else if (a.navType) {
    r.kind = *a.navType;
    if (!direction) return Unusable("nav_type needs a direction, U or D");
    r.direction = *direction;
  } else {
    return Unusable("give mode (UM, UT, DM, DD or PP) or nav_type with direction");
  }
  r.directionText = r.direction == Direction::Up ? "U" : "D";

  if (!a.startReach && !a.startComid) return Unusable("give start_reach or start_comid");
  r.startReach = a.startReach.value_or("");
  r.startComid = a.startComid;
  r.startMeasure = a.startMeasure;
  r.endReach = a.endReach.value_or("");
  r.endComid = a.endComid;
  r.endMeasure = a.endMeasure;
  const bool endGiven = a.endReach || a.endComid;
  if (r.kind == NavKind::PointToPoint && !endGiven) return Unusable("point to point needs end_reach or end_comid");
  if (r.kind != NavKind::PointToPoint && endGiven)
    return Unusable("end_reach and end_comid are for point to point only");

  const std::optional<DistanceUnit> unit = ReadNamedUnits(a.units);
  if (!unit) return Unusable("units \"" + a.units + "\" is none of MI, FT, M, KM");
  r.units = *unit;
  r.startMode = StartReachModeOf(a.wholeReachStart);
  r.boundary = UnitBoundaryOf(a.endAtCuBoundary);
  return r;
}

}  // namespace rill

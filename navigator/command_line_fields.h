#pragma once

#include <cstdint>
#include <string>

#include "navigation/navigation.h"

namespace rill {

// The 14 fields of a legacy command line, converted as the run log's header
// shows them; Request() gives the navigation they ask for.
struct CommandLineFields {
  std::int32_t NavType = 0;
  std::string StartReach;
  double StartMeasure = 0.0;
  std::string EndReach;
  double EndMeasure = 0.0;
  std::string Direction;
  double Distance = 0.0;
  std::string DistanceUnits;
  std::string TraversalOrder;
  std::string WorkPath;
  std::string OutFile;
  std::string FilePrefix;
  std::int16_t WholeReachStartMode = 0;
  std::int16_t EndAtCUBoundary = 0;

  // WorkPath + FilePrefix + name: the path of every file of the run.
  std::string PathOf(const std::string& name) const { return WorkPath + FilePrefix + name; }

  // The navigation: units by the legacy rule (MI, FT, anything else meters).
  NavigationRequest Request() const;
};

}  // namespace rill

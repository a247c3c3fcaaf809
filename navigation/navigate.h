#pragma once

#include "navigation/navigation_result.h"
#include "navigation/request.h"
#include "navstate/nav_state.h"
#include "navstate/walk_marks.h"
#include "network/network_tables.h"
#include "text/text_writer.h"

namespace rill {

// What a caller that navigates request after request keeps between them:
// the walk's marks, sized once for the tables and cleared only where a walk
// touched them, so that no request takes fresh memory for them.
class NavWorkspace {
 public:
  NavWorkspace() = default;

  // Walks after this give up at `at` (asked every few thousand steps) and
  // come back with `stopped` set; a service's time limit.
  void StopWalksAt(WalkDeadline::Clock::time_point at) { deadline_ = WalkDeadline(at); }
  // Walks after this run to their end.
  void NoDeadline() { deadline_ = WalkDeadline(); }

 private:
  friend Navigation Navigate(const NetworkTables&, const NavigationRequest&, TextWriter&, NavWorkspace*);
  WalkMarks marks_;
  WalkDeadline deadline_;
};

// Carries out one navigation of `request` on the loaded tables, writing its
// trace to `log` (a discarding writer formats nothing; the special-case
// block that closes a run log is the caller's, from the result's pieces). A
// request of no navigation kind returns at once with no digits. Writes no
// file and never changes the tables; throws only std::bad_alloc. With
// `reuse`, the walk works in its marks and gives them back cleared.
Navigation Navigate(const NetworkTables& tables, const NavigationRequest& request, TextWriter& log,
                    NavWorkspace* reuse = nullptr);

}  // namespace rill

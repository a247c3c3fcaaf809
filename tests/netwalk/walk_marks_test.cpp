// The marks a pass keeps by dense id, and their reuse from pass to pass.
#include "navstate/walk_marks.h"

#include <gtest/gtest.h>

namespace rill {
namespace {

TEST(WalkMarks, ResetClearsWhatThePassTouchedAndNothingStaysMarked) {
  WalkMarks marks;
  marks.Prepare(10);
  marks.MarkVisited(3);
  marks.MemoFor(3).upstream = 12;
  marks.MemoFor(7).downstream[1] = 4;  // remembered, not visited
  EXPECT_TRUE(marks.Visited(3));
  EXPECT_FALSE(marks.Visited(7));
  EXPECT_EQ(marks.MemoFor(3).upstream, 12);
  EXPECT_EQ(marks.MemoFor(7).downstream[1], 4);
  marks.Reset();
  for (std::int32_t id = 0; id < 10; ++id) {
    EXPECT_FALSE(marks.Visited(id)) << id;
    EXPECT_EQ(marks.MemoFor(id).upstream, NextRowMemo::kUnknown) << id;
    EXPECT_EQ(marks.MemoFor(id).downstream[1], NextRowMemo::kUnknown) << id;
  }
}

TEST(WalkMarks, IdsBeyondThePreparedRangeAreUnmarkedAndGrowTheArray) {
  WalkMarks marks;
  EXPECT_FALSE(marks.Visited(0));
  EXPECT_FALSE(marks.Visited(-1));
  marks.MarkVisited(100);
  EXPECT_TRUE(marks.Visited(100));
  EXPECT_FALSE(marks.Visited(99));
  marks.Prepare(4);  // never shrinks what is there
  EXPECT_TRUE(marks.Visited(100));
  marks.Reset();
  EXPECT_FALSE(marks.Visited(100));
}

}  // namespace
}  // namespace rill

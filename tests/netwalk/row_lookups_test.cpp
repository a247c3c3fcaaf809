// Finding a reach's block of flow rows, and what the downstream lookup
// records about the reach its first row leads to.
#include "netwalk/row_lookups.h"

#include <gtest/gtest.h>

#include "test_network.h"

namespace rill::netwalk_testing {
namespace {

struct Lookup {
  std::int32_t row;
  NavState state;
  std::string log;
};

template <typename Find>
Lookup RunLookup(const NetworkTables& tables, std::int32_t comId, Find find) {
  testing::Pass pass(tables);
  Lookup out;
  out.row = find(pass.ctx(), comId);
  out.log = pass.Log();
  out.state = std::move(pass.state());
  return out;
}

using testing::Pieces;
using testing::PiecesOf;

TEST(FirstUpstreamRow, AnswersTheFirstRowInFileOrderOfTheBlock) {
  TestNetwork net;
  net.Flow(5, 6).Flow(1, 2).Flow(7, 8).Flow(3, 2).Flow(4, 2);
  Lookup found = RunLookup(net.Build(), 2, FirstUpstreamRow);
  EXPECT_EQ(found.row, 1);
  EXPECT_EQ(found.state.noNextReach, 0);
  EXPECT_EQ(found.log, "");
}

TEST(FirstUpstreamRow, HeadwaterHasNoRowAndRaisesNoNextReach) {
  TestNetwork net;
  net.Flow(5, 6).Flow(1, 2);
  Lookup headwater = RunLookup(net.Build(), 1, FirstUpstreamRow);
  EXPECT_EQ(headwater.row, -1);
  EXPECT_EQ(headwater.state.noNextReach, 1);
}

TEST(FirstDownstreamRow, TerminalReachHasNoRowAndRaisesNoNextReach) {
  TestNetwork net;
  net.Flow(5, 6).Flow(1, 2);
  Lookup terminal = RunLookup(net.Build(), 2, FirstDownstreamRow);
  EXPECT_EQ(terminal.row, -1);
  EXPECT_EQ(terminal.state.noNextReach, 1);
}

TEST(FirstDownstreamRow, InteriorJunctionOfTheFirstRowOnlyIsRecorded) {
  TestNetwork net;
  net.Reach(1, "A", 1000).Reach(2, "B", 2000).Reach(3, "C", 3000);
  net.Flow(9, 8).Flow(1, 2, 35.0).Flow(1, 3, 60.0);
  Lookup found = RunLookup(net.Build(), 1, FirstDownstreamRow);
  EXPECT_EQ(found.row, 1);
  EXPECT_EQ(found.state.noNextReach, 0);
  EXPECT_EQ(found.log, "Reach 1 flows in to (or out of) the interior of reach 2\n");
  EXPECT_EQ(PiecesOf(found.state.specials), (Pieces{{2, 35.0, 0.0, 700.0}}));
}

TEST(FirstDownstreamRow, RowReadAsDir710RecordsNoInteriorJunction) {
  TestNetwork net;
  net.Reach(1, "A", 1000).Reach(2, "B", 2000);
  net.Flow(1, 2, 35.0, 709, 0, 1);
  Lookup found = RunLookup(net.Build(), 1, FirstDownstreamRow);
  EXPECT_EQ(found.row, 0);
  EXPECT_EQ(found.log, "");
  EXPECT_TRUE(found.state.specials.entries().empty());
}

TEST(FirstDownstreamRow, UnknownReceivingReachStillGetsTheTraceLine) {
  TestNetwork net;
  net.Reach(1, "A", 1000).Flow(1, 99, 35.0);
  Lookup found = RunLookup(net.Build(), 1, FirstDownstreamRow);
  EXPECT_EQ(found.row, 0);
  EXPECT_EQ(found.log, "Reach 1 flows in to (or out of) the interior of reach 99\n");
  EXPECT_TRUE(found.state.specials.entries().empty());
}

// Reach 1 ends at node 2, where branch (100, 150) of reach 2 begins; the
// branch leads to node 3, the top of reach 2's main range.
TestNetwork IntoBranchedReach() {
  TestNetwork net;
  net.Reach(1, "A", 1000).Reach(2, "B", 2300, 1).Reach(5, "E", 100);
  net.Section(1, 0, 100, 1000, 1, 2);
  net.Section(2, 100, 150, 300, 2, 3).Section(2, 0, 100, 2000, 3, 4);
  return net;
}

TEST(FirstDownstreamRow, BranchedReachIsEnteredThroughItsBranch) {
  TestNetwork net = IntoBranchedReach();
  net.Flow(1, 2);
  Lookup found = RunLookup(net.Build(), 1, FirstDownstreamRow);
  EXPECT_EQ(found.row, 0);
  EXPECT_EQ(found.log, "");
  EXPECT_EQ(PiecesOf(found.state.specials), (Pieces{{2, 150.0, 100.0, 300.0}, {2, 100.0, 0.0, 2000.0}}));
  EXPECT_EQ(found.state.branchFallbackUsed, 0);
}

TEST(FirstDownstreamRow, BranchedReachBehindALaterRowIsNotPrepared) {
  TestNetwork net = IntoBranchedReach();
  net.Flow(1, 5).Flow(1, 2);
  Lookup found = RunLookup(net.Build(), 1, FirstDownstreamRow);
  EXPECT_EQ(found.row, 0);
  EXPECT_TRUE(found.state.specials.entries().empty());
}

TEST(FirstDownstreamRow, LakeIsFollowedFromWhereTheReachEntersIt) {
  TestNetwork net;
  net.Reach(1, "A", 1000).Reach(2, "L", 700, 2);
  net.Section(1, 0, 100, 1000, 1, 2);
  net.Section(2, 150, 200, 400, 3, 5).Section(2, 100, 150, 300, 2, 3);
  net.Flow(1, 2);
  Lookup found = RunLookup(net.Build(), 1, FirstDownstreamRow);
  const auto& pieces = found.state.specials.entries();
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].f_meas, 150.0);
  EXPECT_EQ(pieces[0].t_meas, 100.0);
  EXPECT_EQ(pieces[1].f_meas, 200.0);
  EXPECT_EQ(pieces[1].t_meas, 150.0);
  EXPECT_EQ(found.log, "");
}

}  // namespace
}  // namespace rill::netwalk_testing

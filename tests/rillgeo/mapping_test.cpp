// The two mappings, exact lengths and renumbering on a small made-up
// network whose every row is worked out by hand.
#include <gtest/gtest.h>

#include "rillgeo/geometry/decimal_text.h"
#include "rillgeo/import/network_mapping.h"
#include "rillgeo/import/renumber_ids.h"
#include "rillgeo/import/table_files.h"

namespace rill::geo {
namespace {

// Reach code A has three flowlines (a1 at the bottom); B joins A inside it,
// just above measure 0.5; C leaves A inside it at measure 60; A ends on the
// coastline D.
std::vector<Flowline> SmallNetwork() {
  const auto line = [](std::int64_t id, const char* code, const char* km, std::int64_t from, std::int64_t to,
                       std::int64_t levelPath, double fromMeas, double toMeas, bool head, const char* date) {
    Flowline f;
    f.comId = id;
    f.reachCode = code;
    f.lengthKm = km;
    f.fromNode = from;
    f.toNode = to;
    f.levelPath = levelPath;
    f.fromMeas = fromMeas;
    f.toMeas = toMeas;
    f.headwater = head;
    f.date = date;
    f.streamLevel = id / 10;
    f.hydroseq = id + 100;
    return f;
  };
  std::vector<Flowline> network = {
      line(12, "A", "1.5", 1, 6, 1, 60, 100, true, "20000101"),
      line(20, "B", "2", 4, 2, 2, 0, 100, true, "20000101"),
      line(10, "A", "0.0004", 2, 3, 1, 0, 0.5, false, "19990101"),
      line(30, "C", "0.25", 6, 5, 3, 0, 100, false, "20000101"),
      line(11, "A", "0.0001", 6, 2, 1, 0.5, 60, false, "20010101"),
      line(40, "D", "3.0005", 3, 7, 1, 0, 100, false, "20000101"),
  };
  network.back().coastline = true;
  return network;
}

TEST(MappingTest, FlowRowsOfBothMappings) {
  const struct {
    Mapping mapping;
    const char* flows;
  } cases[] = {
      {Mapping::ByFlowline,
       "1,10,40,0,714,0\n2,0,12,0,712,0\n3,0,20,0,712,0\n4,11,10,0,709,0\n5,12,11,0,709,0\n6,12,30,0,709,1\n"
       "7,20,10,0,709,1\n"},
      // B joins A at the top of a1 (ToMeas 0.5: Sequence at least 1); C
      // leaves A at the foot of a3 (FromMeas 60), a 710 row naming C first.
      {Mapping::ByReachCode, "1,10,40,0,714,0\n2,0,10,0,712,0\n3,0,20,0,712,0\n4,30,10,60,710,1\n5,20,10,1,709,1\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mapping == Mapping::ByFlowline ? "by flowline" : "by reach code");
    EXPECT_EQ(FlowTableText(MapFlowlines(SmallNetwork(), c.mapping)), c.flows);
  }
}

TEST(MappingTest, ReachCodeRowsSumLengthsBeforeRounding) {
  const ImportedTables tables = MapByReachCode(SmallNetwork());
  // 0.0004 + 0.0001 + 1.5 km is 1500.5 m, rounded up once; the date is the
  // latest; Com_id, Level and Duu_id are the bottom flowline's.
  EXPECT_EQ(ReachTableText(tables),
            "10,A,20010101,1,1501,110\n20,B,20000101,2,2000,120\n30,C,20000101,3,250,130\n40,D,20000101,4,3001,140\n");
  EXPECT_EQ(SectionTableText(tables),
            "0,0.5,2,3,10,0\n0.5,60,6,2,10,0\n60,100,1,6,10,1500\n0,100,4,2,20,2000\n0,100,6,5,30,250\n"
            "0,100,3,7,40,3001\n");
}

TEST(MappingTest, ExactDecimals) {
  const struct {
    const char* km;
    std::int64_t meters;  // -1: not a length
  } lengths[] = {{"1.5065", 1507},
                 {"0.0005", 1},
                 {"0.0004999", 0},
                 {"12", 12000},
                 {".5", 500},
                 {"2.0004999999990", 2000},
                 {"1e3", -1},
                 {"-1", -1},
                 {"", -1},
                 {"1.2.3", -1},
                 {"0.30000000000000004", 300}};
  for (const auto& c : lengths) {
    SCOPED_TRACE(c.km);
    const auto pico = ReadPicoUnits(c.km);
    EXPECT_EQ(pico ? MetersRoundedHalfUp(*pico) : -1, c.meters);
  }
  const struct {
    double value;
    const char* text;
  } measures[] = {
      {0.0, "0"},          {-0.0, "0"}, {100.0, "100"}, {45.12345, "45.12345"}, {93.54405212, "93.54405212"},
      {1e-7, "0.0000001"}, {8.3, "8.3"}};
  for (const auto& c : measures) EXPECT_EQ(ShortestText(c.value), c.text);
}

TEST(MappingTest, RenumberingOnlyTheFieldsThatDoNotFit) {
  ImportedTables tables;
  tables.reaches = {{15000500000009, "A", "20000101", 1, 10, 7}, {15000500000002, "B", "20000101", 1, 10, 8}};
  tables.sections = {{0, 100, 3, 4, 15000500000009, 10}, {0, 100, 4, 5, 15000500000002, 10}};
  tables.flows = {{0, 15000500000009, 0, 712, 0}, {15000500000009, 15000500000002, 0, 709, 0}};
  const std::vector<RenumberedId> renumbered = RenumberToFit(tables);
  // Ascending source ids keep their order; a headwater row's 0 stays 0.
  EXPECT_EQ(IdMapText(renumbered), "Field,TableId,SourceId\nCom_id,1,15000500000002\nCom_id,2,15000500000009\n");
  EXPECT_EQ(ReachTableText(tables), "2,A,20000101,1,10,7\n1,B,20000101,1,10,8\n");
  EXPECT_EQ(SectionTableText(tables), "0,100,3,4,2,10\n0,100,4,5,1,10\n");
  EXPECT_EQ(FlowTableText(tables), "1,0,2,0,712,0\n2,2,1,0,709,0\n");
}

}  // namespace
}  // namespace rill::geo

// Loading the three tables from text: the dump, lines outside the format,
// duplicates, Dir 710 rows and junction measures.
#include <gtest/gtest.h>

#include <string>

#include "network/classify.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::LoadNet;

TEST(TableLoading, DumpsWhatWasKeptAndSaysWhichLinesWereSkipped) {
  const std::string sections =
      "0,100,5,7,10,500\n"
      "0,60,7,3,20,600\r\n"
      "\n"  // empty: skipped without a word
      "60,100,9,7,20,400\n"
      "0,100,1,2,10,999\n"  // same reach and measures as line 1: dropped
      "0,100,5,7,11,300\n"  // same measures on another reach: kept
      "1,2,3\n"
      "\r\n"  // only a carriage return: skipped without a word
      "0,100,5,6,30,100\n"
      "0,30,8,9,40,300\n"
      "30,70,11,5,40,400\n"
      "70,100,12,11,40,300\n"
      "nan,5,1,2,12,10\n"
      "nan,5,1,2,12,10";  // NaN measures are never equal; last line without line feed
  const std::string flows =
      "1,10,20,5,709,0\n"  // 10 ends at node 7, where 20's section 0-60 begins: 60
      "2,10,20,0,714,0\n"
      "3,20,50,-3,709,1\n"  // not positive: kept as read
      "1,30,40,7,709,0\n"   // Rel_com_Id 1 again: dropped before any junction is placed
      "4,30,40,9,710,0\n"   // 30 begins at node 5, where 40's section 30-70 ends: 30
      "5,100,200,0,710,0\r\n"
      "6,60,61,4,709,0\n"     // neither reach has a section
      ",,,\n"                 // one field: the line feed
      "7,20,10,12.7,709,1\n"  // 12 as a whole number; no section of 10 begins at node 3: first section, 100
      "8,10,11,0,709,0,extra\n"
      "9,11,10,0,709,";  // the line feed that is not there still counts as the sixth field
  const std::string reaches =
      "10,A1,20080101,1,1000,77\n"
      "20,B2,20080101,1,2000,78\n"
      "10,DUP,20080101,1,5,5\n"
      "30,ABCDEFGHIJKLMNO,2008,1,1,1\n"
      "30,ABCDEFGHIJKLMN,123456789,1,1,1\n"
      "30,ABCDEFGHIJKLMN,12345678,-4,300,0\r\n" +
      std::string("60,F6,20080101,1,100,7") + std::string(178, 'x') + "\n" +  // 200 characters
      std::string("50,E5,20080101,1,100,7") + std::string(177, 'x') + "\n" +  // 199 characters
      "40,C3,20080101,1,400,9";

  auto net = LoadNet(sections, flows, reaches);
  ASSERT_TRUE(net->status.ok());
  EXPECT_EQ(net->loadLog,
            "Rchdata: W/rchdata.txt\n"
            "Flowdata: W/flowdata.txt\n"
            "Secdata: W/secdata.txt\n"
            "Line 7 of W/secdata.txt was skipped: it has 3 of the 6 fields\n"
            "\n"
            "Subscript: 0, F_meas:    0.00000, T_meas:  100.00000, Fnode: 5, Tnode: 7,Com_id: 10, Meters: 500\n"
            "Subscript: 1, F_meas:    0.00000, T_meas:   60.00000, Fnode: 7, Tnode: 3,Com_id: 20, Meters: 600\n"
            "Subscript: 2, F_meas:   60.00000, T_meas:  100.00000, Fnode: 9, Tnode: 7,Com_id: 20, Meters: 400\n"
            "Subscript: 3, F_meas:    0.00000, T_meas:  100.00000, Fnode: 5, Tnode: 7,Com_id: 11, Meters: 300\n"
            "Subscript: 4, F_meas:    0.00000, T_meas:  100.00000, Fnode: 5, Tnode: 6,Com_id: 30, Meters: 100\n"
            "Subscript: 5, F_meas:    0.00000, T_meas:   30.00000, Fnode: 8, Tnode: 9,Com_id: 40, Meters: 300\n"
            "Subscript: 6, F_meas:   30.00000, T_meas:   70.00000, Fnode: 11, Tnode: 5,Com_id: 40, Meters: 400\n"
            "Subscript: 7, F_meas:   70.00000, T_meas:  100.00000, Fnode: 12, Tnode: 11,Com_id: 40, Meters: 300\n"
            "Subscript: 8, F_meas:        nan, T_meas:    5.00000, Fnode: 1, Tnode: 2,Com_id: 12, Meters: 10\n"
            "Subscript: 9, F_meas:        nan, T_meas:    5.00000, Fnode: 1, Tnode: 2,Com_id: 12, Meters: 10\n"
            "\n"
            "Successfully read 10 records from W/secdata.txt file\n"
            "Subscripts range from 0 to 9\n"
            "Flow 6: no sections to place the junction, Sequence set to 0\n"
            "Line 8 of W/flowdata.txt was skipped: it has 1 of the 6 fields\n"
            "\n"
            "Subscript: 0, Rel_com_Id:          1, Com_id1:         10, Com_id2:         20, Sequence:   60.00000, "
            "Dir: 709, DLevel: 0, Orig 710? 0\n"
            "Subscript: 1, Rel_com_Id:          2, Com_id1:         10, Com_id2:         20, Sequence:    0.00000, "
            "Dir: 714, DLevel: 0, Orig 710? 0\n"
            "Subscript: 2, Rel_com_Id:          3, Com_id1:         20, Com_id2:         50, Sequence:   -3.00000, "
            "Dir: 709, DLevel: 1, Orig 710? 0\n"
            "Subscript: 3, Rel_com_Id:          4, Com_id1:         40, Com_id2:         30, Sequence:   30.00000, "
            "Dir: 709, DLevel: 0, Orig 710? 1\n"
            "Subscript: 4, Rel_com_Id:          5, Com_id1:        200, Com_id2:        100, Sequence:    0.00000, "
            "Dir: 709, DLevel: 0, Orig 710? 1\n"
            "Subscript: 5, Rel_com_Id:          6, Com_id1:         60, Com_id2:         61, Sequence:    0.00000, "
            "Dir: 709, DLevel: 0, Orig 710? 0\n"
            "Subscript: 6, Rel_com_Id:          7, Com_id1:         20, Com_id2:         10, Sequence:  100.00000, "
            "Dir: 709, DLevel: 1, Orig 710? 0\n"
            "Subscript: 7, Rel_com_Id:          8, Com_id1:         10, Com_id2:         11, Sequence:    0.00000, "
            "Dir: 709, DLevel: 0, Orig 710? 0\n"
            "Subscript: 8, Rel_com_Id:          9, Com_id1:         11, Com_id2:         10, Sequence:    0.00000, "
            "Dir: 709, DLevel: 0, Orig 710? 0\n"
            "\n"
            "Successfully read 9 records from W/flowdata.txt file\n"
            "Subscripts range from 0 to 8\n"
            "Line 4 of W/rchdata.txt was skipped: its Rch_code is longer than 14 characters\n"
            "Line 5 of W/rchdata.txt was skipped: its Rch_date is longer than 8 characters\n"
            "Line 7 of W/rchdata.txt was skipped: it is longer than 199 characters\n"
            "\n"
            "Subscript: 0, Com_id:         10, Rch_code: A1, Rch_date: 20080101, Level: 1, Meters: 1000, Duu_id: 77, "
            "Branched: 0, Divergent: 0\n"
            "Subscript: 1, Com_id:         20, Rch_code: B2, Rch_date: 20080101, Level: 1, Meters: 2000, Duu_id: 78, "
            "Branched: 0, Divergent: 0\n"
            "Subscript: 2, Com_id:         30, Rch_code: ABCDEFGHIJKLMN, Rch_date: 12345678, Level: -4, Meters: 300, "
            "Duu_id: 0, Branched: 0, Divergent: 0\n"
            "Subscript: 3, Com_id:         50, Rch_code: E5, Rch_date: 20080101, Level: 1, Meters: 100, Duu_id: 7, "
            "Branched: 0, Divergent: 0\n"
            "Subscript: 4, Com_id:         40, Rch_code: C3, Rch_date: 20080101, Level: 1, Meters: 400, Duu_id: 9, "
            "Branched: 0, Divergent: 0\n"
            "\n"
            "Successfully read 5 records from W/rchdata.txt file\n"
            "Subscripts range from 0 to 4\n");

  // The first of two rows with one key is the one kept, with its own values.
  const NetworkTables& t = net->tables;
  const ReachRecord* r10 = t.ReachByComId(10);
  ASSERT_NE(r10, nullptr);
  EXPECT_EQ(r10->Code(), "A1");
  EXPECT_EQ(r10->Meters, 1000);
  EXPECT_EQ(t.flows()[0].Com_id1, 10);  // Rel_com_Id 1 from the first row
  EXPECT_EQ(t.FirstSectionOf(10), 0);
  EXPECT_EQ(t.SectionsOf(10).size(), 1u);
  EXPECT_EQ(t.SectionsOf(10)[0].Meters, 500);
  EXPECT_EQ(t.SectionsOf(12).size(), 2u);
}

TEST(TableLoading, ZeroBytesCarriageReturnsAndTheLengthLimit) {
  std::string sections;
  sections += "0,100,1,2,10,500\n";                               // line 1
  sections += std::string("\0\n", 2);                             // line 2: a zero byte is not an empty line
  sections += std::string("0,50,1,2\0,11,500\n", 17);             // line 3: the zero byte ends the split text
  sections += "\r\n";                                             // line 4: nothing but a carriage return
  sections += "0,100,1,2,12,5" + std::string(184, 'x') + "\r\n";  // line 5: 199 with the carriage return
  sections += "0,100,1,2,13,5" + std::string(185, 'x') + "\r\n";  // line 6: 200 with the carriage return
  sections += std::string("0,100,1,2,14,5\0", 15) + std::string(185, 'x') + "\n";  // line 7: 200 bytes
  sections += "\n";                                                                // line 8
  sections += " \n";               // line 9: one field, a blank and the line feed
  sections += "0,100,1,2,15,7\r";  // line 10: last, no line feed
  auto net = LoadNet(sections, "", "");
  ASSERT_TRUE(net->status.ok());
  const std::string& log = net->loadLog;
  const std::string expectedMessages =
      "Secdata: W/secdata.txt\n"
      "Line 2 of W/secdata.txt was skipped: it has 0 of the 6 fields\n"
      "Line 3 of W/secdata.txt was skipped: it has 4 of the 6 fields\n"
      "Line 6 of W/secdata.txt was skipped: it is longer than 199 characters\n"
      "Line 7 of W/secdata.txt was skipped: it is longer than 199 characters\n"
      "Line 9 of W/secdata.txt was skipped: it has 1 of the 6 fields\n"
      "\n"
      "Subscript: 0, F_meas:    0.00000, T_meas:  100.00000, Fnode: 1, Tnode: 2,Com_id: 10, Meters: 500\n"
      "Subscript: 1, F_meas:    0.00000, T_meas:  100.00000, Fnode: 1, Tnode: 2,Com_id: 12, Meters: 5\n"
      "Subscript: 2, F_meas:    0.00000, T_meas:  100.00000, Fnode: 1, Tnode: 2,Com_id: 15, Meters: 7\n"
      "\n"
      "Successfully read 3 records from W/secdata.txt file\n"
      "Subscripts range from 0 to 2\n"
      "\n"
      "\n"
      "Successfully read 0 records from W/flowdata.txt file\n"
      "Subscripts range from 0 to -1\n"
      "\n"
      "\n"
      "Successfully read 0 records from W/rchdata.txt file\n"
      "Subscripts range from 0 to -1\n";
  EXPECT_NE(log.find(expectedMessages), std::string::npos) << log;
  EXPECT_EQ(net->tables.sections().size(), 3u);
  EXPECT_EQ(net->tables.FindReachByRchCode("A"), -1);  // empty reach table
  EXPECT_EQ(net->tables.FindReachByComId(10), -1);
  EXPECT_EQ(net->tables.FirstSectionOf(11), -1);
}

TEST(TableLoading, LastLinesAndSkippedLinesAreNeitherCountedNorDuplicates) {
  // A skipped line holds no key: the valid row after it with the same key is kept.
  auto net =
      LoadNet("", "1,2,3\n1,5,6,0,709,0\n2,5,7,0,709,0", "5,ABCDEFGHIJKLMNOP,1,1,1,1\n5,OK,1,1,100,1\n6,LAST,1,1,1,2");
  const NetworkTables& t = net->tables;
  ASSERT_EQ(t.flows().size(), 2u);
  EXPECT_EQ(t.flows()[0].Rel_com_Id, 1);
  EXPECT_EQ(t.flows()[0].Com_id2, 6);
  EXPECT_EQ(t.flows()[1].Rel_com_Id, 2);  // the last line, without line feed, is loaded
  ASSERT_EQ(t.reaches().size(), 2u);
  EXPECT_EQ(t.reaches()[0].Code(), "OK");
  EXPECT_EQ(t.reaches()[1].Code(), "LAST");
  EXPECT_EQ(t.reaches()[1].Duu_id, 2);
  EXPECT_NE(net->loadLog.find("Line 1 of W/flowdata.txt was skipped: it has 3 of the 6 fields\n"), std::string::npos);
  EXPECT_NE(net->loadLog.find("Successfully read 2 records from W/flowdata.txt file\n"), std::string::npos);
  EXPECT_NE(net->loadLog.find("Line 1 of W/rchdata.txt was skipped: its Rch_code is longer than 14 characters\n"),
            std::string::npos);
  // The caller's report names the same lines, in the log's order.
  ASSERT_EQ(net->report.skipped.size(), 2u);
  EXPECT_EQ(net->report.skipped[0].path + " " + net->report.skipped[0].reason,
            "W/flowdata.txt it has 3 of the 6 fields");
  EXPECT_EQ(net->report.skipped[1].line, 1);
  EXPECT_EQ(net->report.skipped[1].reason, "its Rch_code is longer than 14 characters");
  EXPECT_TRUE(LoadNet("", "", "")->status.ok());

  // A reach line of five fields: the line feed ends the fifth, nothing is left for the sixth.
  auto shortReach = LoadNet("", "", "7,C,D,1,2\n7,C,D,1,2,\n");
  EXPECT_NE(shortReach->loadLog.find("Line 1 of W/rchdata.txt was skipped: it has 5 of the 6 fields\n"),
            std::string::npos);
  EXPECT_NE(shortReach->loadLog.find("Line 2 of W/rchdata.txt was skipped: it has 5 of the 6 fields\n"),
            std::string::npos);
  EXPECT_TRUE(shortReach->tables.reaches().empty());
}

TEST(TableLoading, InputThatCannotBeReadStopsTheLoad) {
  testing::LogFile log;
  NetworkTables tables;
  const TablePaths paths = testing::MemoryPaths();
  const Status status = LoadNetworkTables(
      paths,
      [&](const std::string& path) -> std::optional<std::string> {
        if (path == paths.section) return std::string("0,100,1,2,10,500\n");
        return std::nullopt;
      },
      log.writer(), tables);
  EXPECT_EQ(status.fault(), Fault::InputMissing);
  EXPECT_EQ(status.message(), "The input file W/flowdata.txt was not opened");
  EXPECT_EQ(status.path(), "W/flowdata.txt");
  const std::string text = log.Text();
  const std::string tail =
      "Subscripts range from 0 to 0\n"
      "The input file W/flowdata.txt was not opened\n"
      "The file flowdata.txt was not opened.\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(JunctionMeasures, NodesOfTheTwoReachesPlaceTheJunction) {
  // Reach 10: 0-100, ends at node 7. Reach 20: 0-60 begins at 7 (Fnode 7), 60-100 ends at 7.
  // Reach 30: 0-100 with Fnode 5 at its top. Reach 40: 30-70 ends at node 5 (Tnode 5).
  const std::string sections =
      "0,100,5,7,10,500\n"
      "60,100,9,7,20,400\n"
      "0,60,7,3,20,600\n"
      "0,100,5,6,30,100\n"
      "70,100,12,11,40,300\n"
      "30,70,11,5,40,400\n"
      "0,30,8,9,40,300\n";
  auto net = LoadNet(sections,
                     "1,10,20,3,709,0\n"    // 60.0
                     "2,30,40,1,710,2\n"    // 30.0, stored reversed
                     "3,20,10,4,714,0\n"    // 20's section from 0 ends at node 3; no section of 10 begins there: 100
                     "4,10,20,0,709,0\n"    // 0 stays 0
                     "5,10,20,-3,709,0\n",  // -3 stays -3
                     "10,A,1,1,500,1\n20,B,1,1,1000,1\n30,C,1,1,100,1\n40,D,1,1,1000,1\n");
  const auto& f = net->tables.flows();
  ASSERT_EQ(f.size(), 5u);
  EXPECT_EQ(f[0].Sequence, 60.0);
  EXPECT_EQ(f[0].Orig710, 0);
  EXPECT_EQ(f[1].Rel_com_Id, 2);
  EXPECT_EQ(f[1].Com_id1, 40);
  EXPECT_EQ(f[1].Com_id2, 30);
  EXPECT_EQ(f[1].Sequence, 30.0);
  EXPECT_EQ(f[1].Dir, 709);
  EXPECT_EQ(f[1].DLevel, 2);
  EXPECT_EQ(f[1].Orig710, 1);
  EXPECT_EQ(f[2].Sequence, 100.0);
  EXPECT_EQ(f[2].Dir, 714);
  EXPECT_EQ(f[3].Sequence, 0.0);
  EXPECT_EQ(f[4].Sequence, -3.0);

  // A Dir 710 row read as 5,100,200,0,710,0 without a junction to place.
  auto plain = LoadNet("", "5,100,200,0,710,0\n", "");
  const FlowRecord& p = plain->tables.flows().at(0);
  EXPECT_EQ(p.Rel_com_Id, 5);
  EXPECT_EQ(p.Com_id1, 200);
  EXPECT_EQ(p.Com_id2, 100);
  EXPECT_EQ(p.Sequence, 0.0);
  EXPECT_EQ(p.Dir, 709);
  EXPECT_EQ(p.DLevel, 0);
  EXPECT_EQ(p.Orig710, 1);
}

TEST(JunctionMeasures, ReachesWithoutSectionsGetSequenceZeroWithALine) {
  auto net = LoadNet("0,100,1,2,10,100\n",
                     "1,10,20,5,709,0\n"  // 20 has no section
                     "2,30,10,5,710,0\n"  // 30 has no section
                     "3,10,20,5,709,0\n"
                     "3,30,40,5,709,0\n",  // Rel_com_Id 3 again: dropped, no line
                     "");
  const std::string& log = net->loadLog;
  EXPECT_NE(log.find("Subscripts range from 0 to 0\n"
                     "Flow 1: no sections to place the junction, Sequence set to 0\n"
                     "Flow 2: no sections to place the junction, Sequence set to 0\n"
                     "Flow 3: no sections to place the junction, Sequence set to 0\n"
                     "\n"
                     "Subscript: 0,"),
            std::string::npos)
      << log;
  for (const FlowRecord& f : net->tables.flows()) EXPECT_EQ(f.Sequence, 0.0);
  EXPECT_EQ(net->tables.flows().size(), 3u);
}

TEST(JunctionMeasures, Reach918IsTracedEvenOnTheFallback) {
  // 918 ends at node 12 (its section from 0); reach 30 has no section beginning at 12,
  // so its first section is taken: Fnode 99, 0-100, result 100.
  // Row 2 enters 918: reach 30 ends at node 98, where 918's 50-100 section begins.
  // Row 3 has Sequence 0: nothing is placed and nothing is traced.
  // Row 4 is a Dir 710 row from 918: its top section (50-100) begins at node 98,
  // where reach 30's section 0-100 ends: F_meas 0, so Sequence 0.
  auto net = LoadNet(
      "50,100,98,11,918,500\n"
      "0,50,11,12,918,500\n"
      "0,100,99,98,30,1000\n",
      "1,918,30,5,709,0\n"
      "2,30,918,5,709,0\n"
      "3,918,30,0,709,0\n"
      "4,918,30,5,710,0\n",
      "");
  const std::string trace =
      "Subscripts range from 0 to 2\n"
      "   Currrent: 918,  Receiving: 30\n"
      "   TNODE (FNODE-710) where fmeas = 0 (100-710) for current reach is 12\n"
      "   FNODE for receiving reach is 99\n"
      "   f_meas:    0.00000, t_meas:  100.00000\n"
      "   Currrent: 30,  Receiving: 918\n"
      "   TNODE (FNODE-710) where fmeas = 0 (100-710) for current reach is 98\n"
      "   FNODE for receiving reach is 98\n"
      "   f_meas:   50.00000, t_meas:  100.00000\n"
      "   Currrent: 918,  Receiving: 30\n"
      "   TNODE (FNODE-710) where fmeas = 0 (100-710) for current reach is 98\n"
      "   FNODE for receiving reach is 99\n"
      "   f_meas:    0.00000, t_meas:  100.00000\n"
      "\n"
      "Subscript: 0, Rel_com_Id:          1,";
  EXPECT_NE(net->loadLog.find(trace), std::string::npos) << net->loadLog;
  const auto& f = net->tables.flows();
  EXPECT_EQ(f[0].Sequence, 100.0);
  EXPECT_EQ(f[1].Sequence, 100.0);
  EXPECT_EQ(f[2].Sequence, 0.0);
  EXPECT_EQ(f[3].Sequence, 0.0);
  EXPECT_EQ(f[3].Com_id1, 30);
}

}  // namespace
}  // namespace rill

// The orders a load builds (sections by reach and node, rows by reach, the
// reach of each Com_id) checked against plain searches of the tables as the
// files give them, on random tables: reaches of one section beside reaches
// of many, repeated sections and rows, reversed rows; loaded on one thread
// and on two.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "network/classify.h"
#include "tests/support/net_fixture.h"
#include "text/text_writer.h"

namespace rill {
namespace {

using testing::LoadNet;

struct Section {
  int from, to, fnode, tnode, comId, meters;
};
struct Row {
  int id, com1, com2, dir;
};

TEST(LoadedOrders, EveryLookupIsTheFirstInFileOrder) {
  std::mt19937 random(27);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  std::vector<Section> sections;  // as kept: a repeat of an earlier one is not
  std::string secText, flowText, reachText;
  for (int i = 0; i < 400; ++i) {
    // Com_ids 1..40 have several sections, 41..200 one each (most of them).
    const bool many = pick(0, 3) == 0;
    Section s{pick(0, 9) * 10, 0, pick(1, 6), pick(1, 6), many ? pick(1, 40) : 40 + i, pick(1, 999)};
    s.to = s.from + 10;
    if (!sections.empty() && pick(0, 9) == 0) s = sections[static_cast<std::size_t>(pick(0, int(sections.size()) - 1))];
    secText += std::to_string(s.from) + "," + std::to_string(s.to) + "," + std::to_string(s.fnode) + "," +
               std::to_string(s.tnode) + "," + std::to_string(s.comId) + "," + std::to_string(s.meters) + "\n";
    bool repeat = false;
    for (const Section& k : sections) repeat |= k.comId == s.comId && k.from == s.from && k.to == s.to;
    if (!repeat) sections.push_back(s);
  }
  std::vector<Row> rows;
  for (int i = 0; i < 300; ++i) {
    const Row r{pick(1, 280), pick(1, 460), pick(1, 460), pick(0, 4) == 0 ? 710 : 709};
    flowText += std::to_string(r.id) + "," + std::to_string(r.com1) + "," + std::to_string(r.com2) + ",0," +
                std::to_string(r.dir) + ",1\n";
    bool repeat = false;
    for (const Row& k : rows) repeat |= k.id == r.id;
    if (!repeat) rows.push_back(r.dir == 710 ? Row{r.id, r.com2, r.com1, 709} : r);
  }
  for (int c = 1; c <= 460; c += pick(1, 3))
    reachText += std::to_string(c) + ",R" + std::to_string(c) + ",20200101,1,100,0\n";

  for (const bool concurrent : {false, true}) {
    auto net = LoadNet(secText, flowText, reachText, concurrent);
    ASSERT_TRUE(net->status.ok());
    const NetworkTables& t = net->tables;
    for (int c = 0; c <= 461; ++c) {
      std::int64_t below50 = 0;
      for (const Section& s : sections)
        if (s.comId == c && s.from < 50) below50 += s.meters;
      EXPECT_EQ(t.MetersBelow(c, 50.0), below50) << c;
      for (int node = 0; node <= 7; ++node) {
        for (int other = 0; other <= 7; ++other) {
          // other 0 stands for none.
          const Section* from = nullptr;
          const Section* to = nullptr;
          for (const Section& s : sections) {
            if (s.comId != c) continue;
            if (!from && s.fnode == node && (other == 0 || s.tnode != other)) from = &s;
            if (!to && s.tnode == node && (other == 0 || s.fnode != other)) to = &s;
          }
          const SectionRecord* gotFrom = other == 0 ? t.FirstSectionFrom(c, node) : t.FirstSectionFrom(c, node, other);
          const SectionRecord* gotTo = other == 0 ? t.FirstSectionTo(c, node) : t.FirstSectionTo(c, node, other);
          EXPECT_EQ(gotFrom ? gotFrom->Meters : -1, from ? from->meters : -1) << c << " " << node << " " << other;
          EXPECT_EQ(gotTo ? gotTo->Meters : -1, to ? to->meters : -1) << c << " " << node << " " << other;
        }
      }
      std::vector<int> leaving, entering;
      for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].com1 == c) leaving.push_back(rows[i].id);
        if (rows[i].com2 == c) entering.push_back(rows[i].id);
      }
      std::vector<int> gotLeaving, gotEntering;
      for (std::int32_t r : t.RowsFrom(c)) gotLeaving.push_back(t.flows()[static_cast<std::size_t>(r)].Rel_com_Id);
      for (std::int32_t r : t.RowsInto(c)) gotEntering.push_back(t.flows()[static_cast<std::size_t>(r)].Rel_com_Id);
      EXPECT_EQ(gotLeaving, leaving) << c;
      EXPECT_EQ(gotEntering, entering) << c;
      // The rows carry the dense ids of their ends.
      for (std::int32_t r : t.RowsFrom(c)) EXPECT_EQ(t.flows()[static_cast<std::size_t>(r)].id1, t.IdOf(c));
      for (std::int32_t r : t.RowsInto(c)) EXPECT_EQ(t.flows()[static_cast<std::size_t>(r)].id2, t.IdOf(c));
      const std::int32_t reach = t.FindReachByComId(c);
      if (reach >= 0) {
        EXPECT_EQ(t.reaches()[static_cast<std::size_t>(reach)].Com_id, c);
      }
    }
  }
}

TEST(LoadedOrders, JunctionMeasuresAreThoseOfTheRowsInFileOrder) {
  // More junction rows than one thread works alone; repeated rows, rows of
  // reaches without sections and rows of the traced reach 918 among them.
  std::mt19937 random(11);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  std::string secText;
  for (int c = 1; c <= 3000; ++c)
    for (int k = 0; k < 1 + (c % 3 == 0); ++k)
      secText += std::to_string(k * 50) + "," + std::to_string(k * 50 + 50) + "," + std::to_string(pick(1, 9)) + "," +
                 std::to_string(pick(1, 9)) + "," + std::to_string(c) + ",100\n";
  std::string flowText;
  std::vector<Row> rows;  // as read, repeated ids included
  for (int i = 0; i < 9000; ++i) {
    const Row r{pick(1, 8800), pick(1, 3100), pick(0, 200) == 0 ? 918 : pick(1, 3100), pick(0, 3) == 0 ? 710 : 709};
    rows.push_back(r);
    flowText += std::to_string(r.id) + "," + std::to_string(r.com1) + "," + std::to_string(r.com2) + "," +
                std::to_string(pick(1, 99)) + "," + std::to_string(r.dir) + ",0\n";
  }
  auto serial = LoadNet(secText, flowText, "", false);
  auto concurrent = LoadNet(secText, flowText, "", true);
  ASSERT_TRUE(serial->status.ok());
  ASSERT_TRUE(concurrent->status.ok());
  EXPECT_EQ(concurrent->loadLog, serial->loadLog);
  const NetworkTables& t = concurrent->tables;
  ASSERT_EQ(t.flows().size(), serial->tables.flows().size());
  TextWriter silent = TextWriter::Discarding();
  std::vector<bool> seen(8801, false);
  std::size_t kept = 0;
  for (const Row& r : rows) {
    if (seen[static_cast<std::size_t>(r.id)]) continue;
    seen[static_cast<std::size_t>(r.id)] = true;
    const FlowRecord& f = t.flows()[kept++];
    ASSERT_EQ(f.Rel_com_Id, r.id);
    const bool placed = !t.SectionsOf(r.com1).empty() && !t.SectionsOf(r.com2).empty();
    const double expected = placed ? JunctionMeasure(t, r.com1, r.com2, r.dir, silent) : 0.0;
    EXPECT_EQ(f.Sequence, expected) << r.id;
    EXPECT_EQ(serial->tables.flows()[kept - 1].Sequence, expected) << r.id;
  }
  EXPECT_NE(serial->loadLog.find("no sections to place the junction"), std::string::npos);
  EXPECT_NE(serial->loadLog.find("Receiving: 918"), std::string::npos);
}

TEST(LoadedOrders, EveryRowCarriesTheIdsOfItsReachesOnALargeTable) {
  // Rows over several windows of the rows' ids, in no order of their reaches.
  std::mt19937 random(5);
  std::string flowText;
  for (int i = 1; i <= 200000; ++i)
    flowText += std::to_string(i) + "," + std::to_string(static_cast<int>(random() % 150000) + 1) + "," +
                std::to_string(static_cast<int>(random() % 150000) + 1) + ",0,709,0\n";
  for (const bool concurrent : {false, true}) {
    auto net = LoadNet("", flowText, "", concurrent);
    ASSERT_TRUE(net->status.ok());
    const NetworkTables& t = net->tables;
    ASSERT_EQ(t.flows().size(), 200000u);
    std::size_t wrong = 0;
    for (const FlowRecord& f : t.flows()) wrong += f.id1 != t.IdOf(f.Com_id1) || f.id2 != t.IdOf(f.Com_id2);
    EXPECT_EQ(wrong, 0u) << concurrent;
  }
}

}  // namespace
}  // namespace rill

// Requests that name their start (and end) reach by Com_id: that reach alone,
// as a single run would navigate it on tables in which the reach had a code
// of its own, with the real code printed in every row.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "tests/batch/batch_runs.h"

namespace rill::testing {
namespace {

const fs::path kOswego = fs::path(RILL_DATA_DIR) / "oswego";

struct Reach {
  std::string comId;
  std::string code;
};

// The reaches of a reach table in file order.
std::vector<Reach> ReachesOf(const std::string& table) {
  std::vector<Reach> reaches;
  std::istringstream in(table);
  for (std::string line; std::getline(in, line);) {
    const std::size_t comma = line.find(',');
    reaches.push_back({line.substr(0, comma), line.substr(comma + 1, line.find(',', comma + 1) - comma - 1)});
  }
  return reaches;
}

// The reach table with the code of `comId` replaced by a code of its own
// that keeps the first eight characters.
std::string WithOwnCode(std::string table, const Reach& reach, const std::string& own) {
  const std::string from = "\n" + reach.comId + "," + reach.code + ",";
  const std::size_t at = ("\n" + table).find(from);
  return table.replace(at + reach.comId.size() + 1, reach.code.size(), own);
}

class ComidRequests : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"rchdata.txt", "flowdata.txt", "secdata.txt"}) {
      fs::create_directories(dir_.path() / "tables");
      fs::copy(kOswego / name, dir_.path() / "tables" / name);
    }
    reachTable_ = ReadAll(kOswego / "rchdata.txt");
    std::map<std::string, int> count;
    for (const Reach& r : ReachesOf(reachTable_)) ++count[r.code];
    for (const Reach& r : ReachesOf(reachTable_)) {
      if (count[r.code] == 1 && alone_.code.empty()) alone_ = r;
      if (count[r.code] > 1 && firstShared_.code.empty()) firstShared_ = r;
    }
    for (const Reach& r : ReachesOf(reachTable_))
      if (r.code == firstShared_.code && r.comId != firstShared_.comId) laterShared_ = r;
  }

  // The rows of one batch request, by its columns.
  std::string Batch(const std::string& header, const std::string& line) {
    WriteAll(dir_.path() / "requests.csv", header + "\n" + line + "\n");
    EXPECT_EQ(RunBatch(dir_.path(), {"requests.csv", "--tables", "tables", "--out", "out.csv", "--quiet"}), 0);
    const std::string out = ReadAll(dir_.path() / "out.csv");
    const std::string rows = out.substr(out.find('\n') + 1);
    EXPECT_NE(rows, "") << line;  // every start reach is passed
    return rows;
  }

  // The rows of a single run on the tables where `reaches` got codes of
  // their own, with their real codes put back.
  std::string SingleWithOwnCodes(const std::string& fields, const std::vector<std::pair<Reach, std::string>>& reaches) {
    const fs::path work = dir_.path() / "own";
    fs::create_directories(work);
    for (const char* name : {"flowdata.txt", "secdata.txt"})
      fs::copy_file(kOswego / name, work / name, fs::copy_options::overwrite_existing);
    std::string table = reachTable_;
    for (const auto& [reach, own] : reaches) table = WithOwnCode(table, reach, own);
    WriteAll(work / "rchdata.txt", table);
    std::string rows = RunSingle("r", fields + "|0,0", work).rows;
    for (const auto& [reach, own] : reaches)
      for (std::size_t at = rows.find("\"" + own + "\""); at != std::string::npos; at = rows.find("\"" + own + "\""))
        rows.replace(at + 1, own.size(), reach.code);
    return rows;
  }

  ScratchDir dir_{"rill-comid"};
  std::string reachTable_;
  Reach alone_, firstShared_, laterShared_;
};

TEST_F(ComidRequests, StartOnTheNamedReachAlone) {
  ASSERT_FALSE(alone_.code.empty());
  ASSERT_FALSE(laterShared_.code.empty());
  const std::string header = "Request,NavType,StartComid,StartMeasure,Direction";
  for (const char* type : {"1", "2"}) {
    for (const char* dir : {"U", "D"}) {
      SCOPED_TRACE(std::string("type ") + type + " " + dir);
      // The only reach of its code: by Com_id and by code alike.
      EXPECT_EQ(Batch(header, std::string("r,") + type + "," + alone_.comId + ",40," + dir),
                Batch("Request,NavType,StartReach,StartMeasure,Direction",
                      std::string("r,") + type + "," + alone_.code + ",40," + dir));
      // Reaches sharing a code, the first in the table and a later one: as
      // if each had a code of its own.
      for (const Reach& shared : {firstShared_, laterShared_}) {
        const std::string own = shared.code.substr(0, 8) + "999999";
        EXPECT_EQ(Batch(header, std::string("r,") + type + "," + shared.comId + ",40," + dir),
                  SingleWithOwnCodes(std::string(type) + "," + own + ",40,X,0," + dir + ",0,M,1", {{shared, own}}))
            << shared.comId;
      }
    }
  }
}

TEST_F(ComidRequests, PointToPointEndsOnTheNamedReach) {
  // From the later reach of a shared code down to a reach two rows below it.
  const std::string flows = ReadAll(kOswego / "flowdata.txt");
  std::map<std::string, std::string> down;
  std::istringstream in(flows);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string x; std::getline(fields, x, ',');) f.push_back(x);
    if (f.size() >= 3 && f[2] != "0" && !down.count(f[1])) down[f[1]] = f[2];
  }
  ASSERT_TRUE(down.count(laterShared_.comId));
  const std::string next = down[laterShared_.comId];
  const std::string end = down.count(next) ? down[next] : next;
  Reach endReach;
  for (const Reach& r : ReachesOf(reachTable_))
    if (r.comId == end) endReach = r;
  const std::string startOwn = laterShared_.code.substr(0, 8) + "999998";
  const std::string endOwn = endReach.code.substr(0, 8) + "999997";
  for (const char* dir : {"D", "U"}) {
    SCOPED_TRACE(dir);
    EXPECT_EQ(Batch("Request,NavType,StartComid,StartMeasure,EndComid,EndMeasure,Direction",
                    "r,5," + laterShared_.comId + ",60," + end + ",30," + dir),
              SingleWithOwnCodes("5," + startOwn + ",60," + endOwn + ",30," + dir + ",0,M,1",
                                 {{laterShared_, startOwn}, {endReach, endOwn}}));
  }
}

}  // namespace
}  // namespace rill::testing

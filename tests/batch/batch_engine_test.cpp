// The batch engine itself, with requests and a sink in memory: outcomes in
// request order whatever the chunks and threads, a stop in the middle,
// table folders loaded and let go as the cache's limit says, and requests
// that fail beside those that succeed.
#include <gtest/gtest.h>

#include <atomic>

#include "batch/batch.h"
#include "tests/batch/batch_runs.h"

namespace rill::testing {
namespace {

const fs::path kExamples = fs::path(RILL_SOURCE_DIR) / "examples";

// What the sink saw of each request, in the order it took them.
struct Seen {
  std::string id;
  RequestStatus status;
  std::string ccode;
  std::string message;
  std::string rows;
  bool loadedTables;  // its log opens with a load dump
};

class RecordingSink : public OutcomeSink {
 public:
  explicit RecordingSink(std::atomic<bool>* stopAfterFirst = nullptr) : stop_(stopAfterFirst) {}

  bool WantsLog() const override { return true; }
  std::unique_ptr<Chunk> NewChunk() override { return std::make_unique<Entries>(); }
  Status Take(Chunk& chunk) override {
    for (Seen& s : static_cast<Entries&>(chunk).seen) seen.push_back(std::move(s));
    if (stop_ != nullptr) stop_->store(true);
    return Status::Ok();
  }

  std::vector<Seen> seen;

 private:
  struct Entries : Chunk {
    void Add(const RequestOutcome& o) override {
      std::string rows;
      for (const ResultRow& row : o.navigation.rows) AppendResultLine(rows, row);
      seen.push_back({o.id, o.status, std::string(o.ccode()), o.message, rows, o.log.rfind("Rchdata: ", 0) == 0});
    }
    void Clear() override { seen.clear(); }
    std::vector<Seen> seen;
  };
  std::atomic<bool>* stop_;
};

std::unique_ptr<RequestSource> Source(const std::vector<std::string>& header,
                                      std::vector<std::vector<std::string>> records,
                                      const std::string& tables = kExamples.string()) {
  auto source = RequestsInMemory(header, std::move(records), RequestDefaults{tables, ""});
  EXPECT_TRUE(source.ok()) << source.status().message();
  return std::move(source).value();
}

std::unique_ptr<RequestSource> Mixed(int count) {
  const std::vector<std::string> header = {"Request",    "NavType",   "StartReach", "StartMeasure", "EndReach",
                                           "EndMeasure", "Direction", "Distance",   "DistanceUnits"};
  std::vector<std::vector<std::string>> records;
  for (const MixedRequest& r : MixedRequests(kExamples, count, 7)) {
    std::vector<std::string>& record = records.emplace_back();
    for (const std::string& column : header) {
      const auto it = r.fields.find(column);
      record.push_back(it == r.fields.end() ? "" : it->second);
    }
  }
  return Source(header, std::move(records));
}

std::string Joined(const std::vector<Seen>& seen) {
  std::string text;
  for (const Seen& s : seen)
    text += s.id + " " + std::to_string(static_cast<int>(s.status)) + " " + s.ccode + " " + s.message + "\n" + s.rows;
  return text;
}

TEST(BatchEngine, OutcomesInRequestOrderForAnyChunksAndThreads) {
  const std::atomic<bool> stop{false};
  auto run = [&](unsigned threads, std::size_t chunk) {
    BatchEngine engine(EngineOptions{threads, 4, chunk});
    RecordingSink sink;
    const BatchSummary summary = engine.Run(*Mixed(211), sink, stop);
    EXPECT_TRUE(summary.status.ok()) << summary.status.message();
    EXPECT_EQ(summary.requests, 211u);
    return sink.seen;
  };
  const std::vector<Seen> alone = run(1, 1);
  ASSERT_EQ(alone.size(), 211u);
  for (std::size_t i = 0; i < alone.size(); ++i) ASSERT_EQ(alone[i].id, "r" + std::to_string(i + 1));
  for (unsigned threads : {2u, 5u})
    for (std::size_t chunk : {3u, 64u, 0u})
      EXPECT_EQ(Joined(run(threads, chunk)), Joined(alone)) << threads << "x" << chunk;
}

TEST(BatchEngine, AStopInTheMiddleKeepsEveryRequestTakenBeforeIt) {
  std::atomic<bool> stop{false};
  BatchEngine engine(EngineOptions{2, 4, 5});
  RecordingSink sink(&stop);
  const BatchSummary summary = engine.Run(*Mixed(400), sink, stop);
  EXPECT_EQ(summary.status.fault(), Fault::Interrupted);
  EXPECT_EQ(summary.status.message(), "Stopped after " + std::to_string(summary.requests) + " requests");
  ASSERT_EQ(sink.seen.size(), summary.requests);
  EXPECT_GE(summary.requests, 5u);
  EXPECT_LT(summary.requests, 400u);
  for (std::size_t i = 0; i < sink.seen.size(); ++i) EXPECT_EQ(sink.seen[i].id, "r" + std::to_string(i + 1));
}

TEST(BatchEngine, TableFoldersLoadedOnceWhileTheLimitKeepsThem) {
  ScratchDir dir("rill-engine");
  for (const char* name : {"a", "b", "c"}) {
    fs::create_directories(dir.path() / name);
    for (const char* table : {"rchdata.txt", "flowdata.txt", "secdata.txt"})
      fs::copy_file(kExamples / table, dir.path() / name / table);
  }
  const std::vector<std::string> header = {"Request", "NavType", "StartReach", "Direction", "Tables"};
  const std::string folders = "abacaab";
  auto loads = [&](std::size_t maxTables, bool keepA) {
    std::vector<std::vector<std::string>> records;
    for (char f : folders)
      records.push_back({std::string(1, f), "1", "41020003000006", "D", (dir.path() / std::string(1, f)).string()});
    BatchEngine engine(EngineOptions{2, maxTables, 2});
    if (keepA) {
      auto kept = std::make_shared<LoadedTables>();
      TextWriter discard = TextWriter::Discarding();
      kept->status =
          LoadNetworkTables(TablePathsFor((dir.path() / "a/").string(), ""), ReadWholeFile, discard, kept->tables);
      engine.Keep((dir.path() / "a/").string(), kept);
    }
    RecordingSink sink;
    const std::atomic<bool> stop{false};
    EXPECT_TRUE(engine.Run(*Source(header, records), sink, stop).status.ok());
    std::string loaded;
    for (const Seen& s : sink.seen) {
      EXPECT_EQ(s.status, RequestStatus::Completed) << s.message;
      if (s.loadedTables) loaded += s.id;
    }
    return loaded;
  };
  EXPECT_EQ(loads(3, false), "abc");
  EXPECT_EQ(loads(2, false), "abcb");    // c let b go; a, used since, stayed
  EXPECT_EQ(loads(1, false), "abacab");  // one folder at a time
  EXPECT_EQ(loads(1, true), "bcb");      // the caller's own tables never go
}

TEST(BatchEngine, RequestsThatFailStandBesideThoseThatSucceed) {
  const std::vector<std::string> header = {"Request", "NavType", "StartReach", "StartComid", "Direction", "Tables"};
  const std::string good = kExamples.string();
  const std::vector<std::vector<std::string>> records = {
      {"ok1", "1", "41020003000006", "", "D", good},
      {"no-tables", "1", "41020003000006", "", "D", "/nonexistent/rill"},
      {"short", "1", "41020003000006", "", "D"},
      {"disagree", "1", "41020003000006", "4100011", "D", good},
      {"unknown", "1", "00000000000000", "", "D", good},
      {"ok2", "2", "41020003000001", "", "U", good},
  };
  BatchEngine engine(EngineOptions{2, 4, 2});
  RecordingSink sink;
  const std::atomic<bool> stop{false};
  const BatchSummary summary = engine.Run(*Source(header, records), sink, stop);
  EXPECT_TRUE(summary.status.ok());
  ASSERT_EQ(sink.seen.size(), records.size());
  const std::vector<std::pair<RequestStatus, std::string>> expected = {
      {RequestStatus::Completed, "0000"}, {RequestStatus::InputMissing, ""},  {RequestStatus::Unusable, ""},
      {RequestStatus::Unusable, ""},      {RequestStatus::Completed, "0010"}, {RequestStatus::Completed, "0000"}};
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(sink.seen[i].id, records[i][0]);
    EXPECT_EQ(sink.seen[i].status, expected[i].first) << records[i][0];
    EXPECT_EQ(sink.seen[i].ccode, expected[i].second) << records[i][0];
  }
  EXPECT_FALSE(sink.seen[0].rows.empty());
  EXPECT_TRUE(sink.seen[1].rows.empty());
  EXPECT_EQ(sink.seen[1].message, "The input file /nonexistent/rill/secdata.txt was not opened");
  EXPECT_EQ(sink.seen[3].message.rfind("StartReach 41020003000006 is not the code of the reach with Com_id 4100011", 0),
            0u);
  EXPECT_EQ(summary.tally.Summary(), "6 requests: 3 status 0 (1 with ccode 0010), 1 status 1, 2 status 2");
}

TEST(BatchEngine, ASinkThatCannotTakeStopsTheBatchWithItsStatus) {
  struct Refusing : RecordingSink {
    Status Take(Chunk& chunk) override {
      EXPECT_TRUE(RecordingSink::Take(chunk).ok());
      return Status(Fault::OutputFailed, "The output file out.csv could not be written", "out.csv");
    }
  };
  BatchEngine engine(EngineOptions{2, 4, 4});
  Refusing sink;
  const std::atomic<bool> stop{false};
  const BatchSummary summary = engine.Run(*Mixed(100), sink, stop);
  EXPECT_EQ(summary.status.fault(), Fault::OutputFailed);
  EXPECT_EQ(summary.status.path(), "out.csv");
  // Nothing is handed on after the chunk the sink could not take.
  EXPECT_EQ(summary.requests, 4u);
  EXPECT_EQ(sink.seen.size(), 4u);
}

}  // namespace
}  // namespace rill::testing

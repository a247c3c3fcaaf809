// Where the requests of a batch come from: a file or columns in memory,
// and each way a table of requests cannot be used, as the Status the
// programs map to their exit statuses.
#include <gtest/gtest.h>

#include "batch/batch.h"
#include "tests/support/files.h"

namespace rill::testing {
namespace {

std::vector<std::string> Ids(RequestSource& source) {
  std::vector<std::string> ids;
  SourcedRequest request;
  while (source.Next(request)) {
    if (const auto* b = std::get_if<BatchRequest>(&request))
      ids.push_back(b->id);
    else
      ids.push_back("refused:" + std::get<RequestRefusal>(request).id + ":" + std::get<RequestRefusal>(request).reason);
  }
  return ids;
}

TEST(RequestSources, TablesThatCannotBeUsedSayWhy) {
  ScratchDir dir("rill-sources");
  struct Case {
    const char* name;
    const char* text;  // nullptr: no such file
    Fault fault;
    std::string message;
  } cases[] = {
      {"missing.csv", nullptr, Fault::InputMissing, "The requests file {} cannot be read"},
      {"empty.csv", "", Fault::Unusable, "The requests file {} has no header line"},
      {"twice.csv", "Request,NavType,StartReach,Direction,navtype\n", Fault::Unusable,
       "The requests table has the column NavType twice"},
      {"near.csv", "Request,NavTyp,StartReach,Direction\n", Fault::Unusable,
       "unknown column \"NavTyp\": did you mean NavType?"},
      {"nostart.csv", "Request,NavType,Direction\n", Fault::Unusable,
       "The requests table has no column StartReach (nor StartComid)"},
  };
  for (const Case& c : cases) {
    const std::string path = (dir.path() / c.name).string();
    if (c.text != nullptr) WriteAll(path, c.text);
    const auto source = OpenRequestsFile(path, RequestDefaults{}, Shard{}, false);
    ASSERT_FALSE(source.ok()) << c.name;
    EXPECT_EQ(source.status().fault(), c.fault) << c.name;
    std::string expected = c.message;
    if (const std::size_t at = expected.find("{}"); at != std::string::npos) expected.replace(at, 2, path);
    EXPECT_EQ(source.status().message(), expected) << c.name;
  }
  const auto inMemory = RequestsInMemory({"Request", "NavType"}, {}, RequestDefaults{});
  EXPECT_EQ(inMemory.status().fault(), Fault::Unusable);
  EXPECT_EQ(inMemory.status().message(), "The requests table has no column Direction");
}

TEST(RequestSources, AShardTakesItsPositionsAndCountsThem) {
  ScratchDir dir("rill-sources");
  const std::string path = (dir.path() / "requests.csv").string();
  WriteAll(path, "Request,NavType,StartReach,Direction,Extra\na,1,X,D,\nb,1,X,D,\nc,1,X,D,\nd,1,X,D,\ne,1,X,D,\"open");
  auto second = OpenRequestsFile(path, RequestDefaults{"t", ""}, Shard{2, 2}, true);
  ASSERT_TRUE(second.ok());
  EXPECT_EQ((*second)->Count(), 2u);
  EXPECT_EQ((*second)->ignoredColumns(), std::vector<std::string>{"Extra"});
  EXPECT_EQ(Ids(**second), (std::vector<std::string>{"b", "d"}));
  // The last request ends inside a quoted field: refused, not read as it stands.
  auto first = OpenRequestsFile(path, RequestDefaults{"t", ""}, Shard{1, 2}, false);
  ASSERT_TRUE(first.ok());
  EXPECT_EQ(Ids(**first),
            (std::vector<std::string>{"a", "c", "refused:e:A quoted field is not closed before the end of the file"}));
}

TEST(RequestSources, ColumnsInMemoryTakeTheCallersFolderAndPrefix) {
  auto source = RequestsInMemory({"Request", "NavType", "StartReach", "Direction"}, {{"a", "1", "X", "D"}},
                                 RequestDefaults{"nets/one", "p_"});
  ASSERT_TRUE(source.ok());
  SourcedRequest request;
  ASSERT_TRUE((*source)->Next(request));
  const BatchRequest& b = std::get<BatchRequest>(request);
  EXPECT_EQ(b.PathOf("rchdata.txt"), "nets/one/p_rchdata.txt");
  EXPECT_FALSE((*source)->Next(request));
}

}  // namespace
}  // namespace rill::testing

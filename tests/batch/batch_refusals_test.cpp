// What a batch does with requests, tables and options it cannot use: a line
// is reported in STATUS and the batch goes on; a table header, an option or
// a file that cannot be used stops it with its own status.
#include <gtest/gtest.h>

#include "tests/batch/batch_runs.h"

namespace rill::testing {
namespace {

const std::string kSample = std::string(RILL_SOURCE_DIR) + "/examples";
const std::string kCoast = std::string(RILL_DATA_DIR) + "/coastal_ca";
const std::string kStatusHeader = "\"Request\",\"Status\",\"ccode\",\"Message\"\n";

struct Case {
  const char* name;
  std::string requests;
  std::vector<std::string> options;
  int exit;
  std::string status;    // the whole STATUS file; empty when nothing may be written
  std::string err = "";  // the whole standard error, when it is given
};

std::vector<Case> Cases() {
  const std::string h = "Request,NavType,StartReach,Direction,Tables,Prefix\n";
  const std::string longPrefix(440, 'p');
  return {
      {"NearMissColumn",
       "Request,NavType,StartReech,Direction\n",
       {},
       2,
       "",
       "rillmark batch: unknown column \"StartReech\": did you mean StartReach?\n"},
      {"NearMissSpelling",
       "Request,NavType,start_reach,Direction\n",
       {},
       2,
       "",
       "rillmark batch: unknown column \"start_reach\": did you mean StartReach?\n"},
      // Columns of the caller's own are passed over; with no table folder at
      // all, no request can be navigated.
      {"NothingNavigated",
       "Request,NavType,StartReach,Direction,Colour,HUC 8\na,1,X,U,red,04140201\n",
       {"--tables", "/no/such/folder"},
       4,
       kStatusHeader + "\"a\",1,,\"The input file /no/such/folder/secdata.txt was not opened\"\n",
       "rillmark batch: columns passed over: Colour HUC 8\nrillmark batch: 1 request: 1 status 1\n"
       "rillmark batch: no request could be navigated\n"},
      {"Units",
       "Request,NavType,StartReach,Direction,Distance,DistanceUnits\n"
       "a,3,41020003000006,D,1,km\nb,3,41020003000006,D,1,KMS\nc,3,41020003000006,D,1,Meters\n",
       {"--tables", kSample},
       0,
       kStatusHeader + "\"a\",0,\"0000\",\n\"b\",2,,\"DistanceUnits \"\"KMS\"\" is none of MI, FT, M, KM\"\n"
                       "\"c\",0,\"0000\",\n",
       "rillmark batch: 3 requests: 2 status 0, 1 status 2\n"},
      {"StartByComid",
       "Request,NavType,StartComid,StartReach,Direction\n"
       "a,1,918,,U\nb,1,9999,,U\nc,1,x,,U\nd,1,918,41020003000006,U\n",
       {"--tables", kSample},
       0,
       kStatusHeader +
           "\"a\",0,\"0000\",\n"
           "\"b\",0,\"0010\",\"Start reach with Com_id 9999 is not in the reach table\"\n"
           "\"c\",2,,\"The field StartComid \"\"x\"\" is not a Com_id\"\n"
           "\"d\",2,,\"StartReach 41020003000006 is not the code of the reach with Com_id 918, 41020003000003\"\n"},
      {"MissingColumn", "request,navtype,DIRECTION\n", {}, 2, ""},
      {"NoHeader", "", {}, 2, ""},
      {"NoRequestsFile", "", {"--out", "out.csv", "--threads", "2"}, 1, ""},
      {"UnwritableOutput", h, {"--out", "no/such/out.csv"}, 3, ""},
      {"BadShard", h, {"--shard", "0/3"}, 2, ""},
      {"UnknownOption", h, {"--colour"}, 2, ""},
      {"LinesAndFolders",
       h + "a,1,41020003000001,U," + kSample + ",\n" + "b,1,,U," + kSample + ",\n" + "c,1,41020003000001,U," + kSample +
           ",,extra\n" + "d,1,41020003000001,U,/no/such/folder,\n" + "e,1,41020003000001,U," + kSample + "," +
           longPrefix + "\n" + "f,2,18010107000001,D," + kCoast + ",\n" + "\r\n" + "g,0,41020003000001,U," + kSample +
           ",./\n" + "\"h\"\"\",3,41020003000001,D," + kSample + "/,\n" + "i,1,x,U,\"" + kSample,
       {"--max-tables", "1"},
       0,
       kStatusHeader + "\"a\",0,\"0000\",\n\"b\",2,,\"The field StartReach is empty\"\n" +
           "\"c\",2,,\"The line has 7 fields; the header has 6\"\n" +
           "\"d\",1,,\"The input file /no/such/folder/secdata.txt was not opened\"\n" + "\"e\",2,,\"The path " +
           kSample + "/" + longPrefix + "rchdata.txt is longer than 449 characters\"\n" + "\"f\",0,\"0000\",\n" +
           "\"g\",0,,\n\"h\"\"\",0,\"1000\",\"The walk came to a reach with no way on before the distance was met\"\n" +
           "\"i\",2,,\"A quoted field is not closed before the end of the file\"\n"},
  };
}

// Test names and failures show the case by its name.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class BatchRefusals : public ::testing::TestWithParam<Case> {};

TEST_P(BatchRefusals, StatusesAndOutputs) {
  const Case& c = GetParam();
  ScratchDir dir("rill-batch");
  std::vector<std::string> args = {"requests.csv"};
  if (c.exit != 1) WriteAll(dir.path() / "requests.csv", c.requests);
  if (std::find(c.options.begin(), c.options.end(), "--out") == c.options.end())
    args.insert(args.end(), {"--out", "out.csv"});
  args.insert(args.end(), c.options.begin(), c.options.end());
  EXPECT_EQ(RunBatch(dir.path(), args), c.exit);
  const std::string err = ReadAll(dir.path() / "stderr.txt");
  if (!c.err.empty()) {
    EXPECT_EQ(err, c.err);
  } else if (c.exit != 0) {
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  if (c.status.empty()) {
    EXPECT_FALSE(fs::exists(dir.path() / "out.csv"));
    EXPECT_FALSE(fs::exists(dir.path() / "out.status.csv"));
  } else {
    EXPECT_EQ(ReadAll(dir.path() / "out.status.csv"), c.status);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BatchRefusals, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace rill::testing

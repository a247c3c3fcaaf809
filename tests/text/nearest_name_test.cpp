// The hint for a mistyped option: the nearest name, or none when every
// name is far.
#include "text/nearest_name.h"

#include <gtest/gtest.h>

namespace rill {
namespace {

struct NearCase {
  const char* typed;
  const char* nearest;
};

TEST(NearestName, PicksTheFewestEditsOrNothing) {
  const std::vector<std::string> names{"--out",     "--status", "--log",        "--tables",
                                       "--threads", "--shard",  "--max-tables", "--no-progress"};
  const NearCase cases[] = {
      {"--thread", "--threads"},        // one letter missing
      {"--THREADS", "--threads"},       // letter case ignored
      {"--tabels", "--tables"},         // two letters swapped
      {"--maxtables", "--max-tables"},  // the hyphen missing
      {"--shrad", "--shard"},
      {"--no-progres", "--no-progress"},
      {"--colour", ""},  // four edits from --out: a guess, not a hint
      {"-x", ""},
      {"", ""},
  };
  for (const NearCase& c : cases) EXPECT_EQ(NearestName(c.typed, names), c.nearest) << c.typed;
  EXPECT_EQ(NearestName("--out", {}), "");
  // On a tie the first name wins.
  EXPECT_EQ(NearestName("--lag", {"--log", "--lug"}), "--log");
}

}  // namespace
}  // namespace rill

// Running rillgeo and rillmark on the real samples, in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"

namespace rill::testing {

inline const fs::path kData = RILL_DATA_DIR;

struct RunOutcome {
  int status = -1;
  std::string out;
  std::string err;
};

class RillgeoTest : public ::testing::Test {
 protected:
  // Runs a program with these arguments in the scratch folder.
  RunOutcome Run(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProcessResult result =
        RunProcess(argv, scratch_.path(), scratch_.path() / "stdout", scratch_.path() / "stderr", 120);
    EXPECT_TRUE(result.exited) << argv[0];
    return {result.status, ReadAll(scratch_.path() / "stdout"), ReadAll(scratch_.path() / "stderr")};
  }
  RunOutcome Rillgeo(const std::vector<std::string>& args) { return Run(RILL_RILLGEO_EXE, args); }

  // Runs `request` (the first nine fields) on the tables in `folder` and
  // gives the result CSV.
  std::string Navigate(const fs::path& folder, const std::string& request) {
    const RunOutcome run = Run(RILL_RILLMARK_EXE, {request + "," + folder.string() + "/,out.csv,./,0,0"});
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadAll(folder / "out.csv");
  }

  fs::path Scratch(const std::string& name) const { return scratch_.path() / name; }

 private:
  ScratchDir scratch_{"rillgeo-test"};
};

}  // namespace rill::testing

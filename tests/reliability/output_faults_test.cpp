// Outputs that cannot be written: a work folder where nothing can be
// created, result files that are folders, a full device, a file-size limit
// reached in the middle of a write, and memory that runs out. The run must
// say so, end with status 3 and never leave a ccode.txt beside a broken CSV.
// The tests run as root, whom file permissions do not stop, so they use
// paths through a regular file, a read-only bind mount in a private mount
// namespace, /dev/full and resource limits instead.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "reliability_support.h"

namespace rill::reliability {
namespace {

namespace fs = std::filesystem;

std::string Unwritten(const std::string& path) { return "The output file " + path + " could not be written\n"; }

class OutputFaults : public ::testing::Test {
 protected:
  TempFolder work;
  void SetUp() override { WriteTables(work.path(), kChainSections, kChainFlows, kChainReaches); }
  std::string P(const char* name) const { return work / ("./" + std::string(name)); }
  Request Base() const {
    Request r;
    r.workPath = work.path();
    return r;
  }
  std::string Log() const { return ReadFile(work / "message.out").value_or(""); }
};

// --- message.out cannot be created ------------------------------------------

TEST_F(OutputFaults, AWorkPathThroughARegularFileWritesNothing) {
  WriteFile(work / "plain", "keep me\n");
  Request request = Base();
  request.workPath = work / "plain/";
  RunResult run = RunRillmark(request.Line());
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(run.err.find("The work folder " + (work / "plain/") + " is not a folder"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(work / "plain"), "keep me\n");
  EXPECT_EQ(Entries(work.path()), (std::vector<std::string>{"flowdata.txt", "plain", "rchdata.txt", "secdata.txt"}));
}

TEST_F(OutputFaults, AWorkPathUnderProcWritesNothing) {
  Request request = Base();
  request.workPath = "/proc/";
  RunResult run = RunRillmark(request.Line());
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(run.err.find("/proc/./message.out"), std::string::npos) << run.err;
}

TEST_F(OutputFaults, AReadOnlyWorkFolderWritesNothing) {
  const std::string folder = work.path();
  RunOptions options;
  // Only the child's private view of the folder is read-only.
  options.inChild = [folder] {
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
  };
  RunResult run = RunRillmark(Base().Line(), options);
  if (run.setupFailed) GTEST_SKIP() << "no private read-only bind mount on this machine";
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(run.err.find(P("message.out")), std::string::npos) << run.err;
  EXPECT_EQ(Entries(work.path()), (std::vector<std::string>{"flowdata.txt", "rchdata.txt", "secdata.txt"}));
}

// --- Result files that cannot be created --------------------------------------

TEST_F(OutputFaults, AnOutFileThatIsAFolderLeavesNoStatusBehind) {
  fs::create_directory(work / "out.csv");
  WriteFile(work / "ccode.txt", "0000\n");  // from an earlier run
  RunResult run = RunRillmark(Base().Line());
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(Log().find(Unwritten(P("out.csv"))), std::string::npos) << Log();
  EXPECT_NE(run.err.find(Unwritten(P("out.csv"))), std::string::npos) << run.err;
  EXPECT_FALSE(Exists(work / "ccode.txt"));
}

TEST_F(OutputFaults, ACcodeThatIsAFolderStaysAndIsReported) {
  // A folder where the status goes is never removed, empty or not, with or
  // without a name prefix; the CSV is written and the status counts as lost.
  struct Case {
    const char* prefix;
    const char* folder;
  };
  for (const Case& c : {Case{"./", "ccode.txt/inside"}, Case{"./", "ccode.txt"}, Case{"run1_", "run1_ccode.txt"}}) {
    TempFolder scratch;
    WriteTables(scratch.path() + c.prefix, kChainSections, kChainFlows, kChainReaches);
    fs::create_directories(scratch / c.folder);
    Request request = Base();
    request.workPath = scratch.path();
    request.prefix = c.prefix;
    RunResult run = RunRillmark(request.Line());
    const std::string code = scratch / (std::string(c.prefix) + "ccode.txt");
    const std::string log = ReadFile(scratch / (std::string(c.prefix) + "message.out")).value_or("");
    EXPECT_EQ(run.exitStatus, 3) << c.folder << run.Describe();
    EXPECT_EQ(ReadFile(scratch / (std::string(c.prefix) + "out.csv")), ChainDownCsv()) << c.folder;
    EXPECT_NE(log.find(Unwritten(code)), std::string::npos) << c.folder << log;
    EXPECT_NE(run.err.find(Unwritten(code)), std::string::npos) << c.folder << run.err;
    EXPECT_TRUE(fs::is_directory(scratch / c.folder)) << c.folder;
  }
}

// --- A full device --------------------------------------------------------------

TEST_F(OutputFaults, ACsvOnAFullDeviceLeavesNoStatusBehind) {
  fs::create_symlink("/dev/full", work / "out.csv");
  WriteFile(work / "ccode.txt", "0000\n");
  RunResult run = RunRillmark(Base().Line());
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(Log().find(Unwritten(P("out.csv"))), std::string::npos) << Log();
  EXPECT_NE(run.err.find(Unwritten(P("out.csv"))), std::string::npos) << run.err;
  EXPECT_FALSE(Exists(work / "ccode.txt"));
}

TEST_F(OutputFaults, ARunLogOnAFullDeviceIsReported) {
  fs::create_symlink("/dev/full", work / "message.out");
  RunResult run = RunRillmark(Base().Line());
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(run.err.find(Unwritten(P("message.out"))), std::string::npos) << run.err;
  // The CSV and its status are whole.
  EXPECT_EQ(ReadFile(work / "out.csv"), ChainDownCsv());
  EXPECT_EQ(ReadFile(work / "ccode.txt"), "0000\n");
}

// --- A file-size limit reached in the middle of a write ---------------------------

class FileSizeLimit : public ::testing::Test {
 protected:
  TempFolder work;
  void SetUp() override {
    const std::string data = std::string(RILL_DATA_DIR) + "/oswego/";
    if (!Exists(data + "rchdata.txt")) GTEST_SKIP() << "no network in " << data;
    for (const char* name : {"rchdata.txt", "flowdata.txt", "secdata.txt"})
      fs::create_symlink(data + name, work / name);
  }
  std::string P(const char* name) const { return work / ("./" + std::string(name)); }
};

TEST_F(FileSizeLimit, ACsvCutShortLeavesNoStatusBehind) {
  // Upstream over the whole basin from its outlet: some 6,000 CSV lines.
  Request request;
  request.navType = "2";
  request.startReach = "04140203000132";
  request.startMeasure = "0";
  request.direction = "U";
  request.workPath = work.path();
  WriteFile(work / "ccode.txt", "0000\n");
  const rlim_t limit = 256 * 1024;
  RunResult run = RunRillmark(request.Line(), FileSizeLimited(limit));
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(run.err.find(Unwritten(P("out.csv"))), std::string::npos) << run.err;
  EXPECT_FALSE(Exists(work / "ccode.txt"));
  const std::string csv = ReadFile(work / "out.csv").value_or("");
  EXPECT_GT(csv.size(), 0u);
  EXPECT_LE(csv.size(), limit);
}

TEST_F(FileSizeLimit, ARunLogCutShortLeavesWholeResults) {
  // Down the main path from a headwater: a short CSV beside a long log.
  Request request;
  request.startReach = "04130003000350";
  request.workPath = work.path();
  TempFolder unlimited;
  for (const char* name : {"rchdata.txt", "flowdata.txt", "secdata.txt"})
    fs::create_symlink(fs::read_symlink(work / name), unlimited / name);
  Request free = request;
  free.workPath = unlimited.path();
  RunResult reference = RunRillmark(free.Line());
  ASSERT_EQ(reference.exitStatus, 0) << reference.Describe();
  const std::string csv = ReadFile(unlimited / "out.csv").value_or("");
  ASSERT_GT(csv.size(), kCsvHeader.size());

  const rlim_t limit = 1024 * 1024;
  ASSERT_LT(csv.size(), limit);
  RunResult run = RunRillmark(request.Line(), FileSizeLimited(limit));
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(run.err.find(Unwritten(P("message.out"))), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(work / "out.csv"), csv);
  EXPECT_EQ(ReadFile(work / "ccode.txt"), ReadFile(unlimited / "ccode.txt"));
}

// --- Memory that runs out ------------------------------------------------------

TEST_F(OutputFaults, RunningOutOfMemoryEndsWithStatus3AndAMessage) {
  if (BuiltWithAddressSanitizer()) GTEST_SKIP() << "an address-space limit cannot work under AddressSanitizer";
  // A 256 MiB secdata.txt (a sparse file: no disk is used) under a 64 MiB
  // address space.
  { std::ofstream big(work / "secdata.txt", std::ios::binary | std::ios::trunc); }
  fs::resize_file(work / "secdata.txt", 256u * 1024 * 1024);
  RunResult run = RunRillmark(Base().Line(), AddressSpaceLimited(64u * 1024 * 1024));
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(run.err.find("memory"), std::string::npos) << run.err;
  EXPECT_NE(Log().find("memory"), std::string::npos) << Log().substr(0, 2000);
  EXPECT_FALSE(Exists(work / "out.csv"));
  EXPECT_FALSE(Exists(work / "ccode.txt"));
}

TEST_F(OutputFaults, ATableWithoutEndRunsOutOfMemoryInsteadOfHanging) {
  if (BuiltWithAddressSanitizer()) GTEST_SKIP() << "an address-space limit cannot work under AddressSanitizer";
  fs::remove(work / "rchdata.txt");
  fs::create_symlink("/dev/zero", work / "rchdata.txt");
  RunResult run = RunRillmark(Base().Line(), AddressSpaceLimited(256u * 1024 * 1024));
  EXPECT_EQ(run.exitStatus, 3) << run.Describe();
  EXPECT_NE(run.err.find("memory"), std::string::npos) << run.err;
  EXPECT_FALSE(Exists(work / "out.csv"));
  EXPECT_FALSE(Exists(work / "ccode.txt"));
}

}  // namespace
}  // namespace rill::reliability

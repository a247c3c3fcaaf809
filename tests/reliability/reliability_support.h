// Running the built navigator as a caller would, under a time limit and
// optional resource limits, and the files around it.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rill::reliability {

struct RunOptions {
  std::chrono::seconds timeout{60};
  std::optional<rlim_t> fileSizeLimit;      // RLIMIT_FSIZE of the child
  std::optional<rlim_t> addressSpaceLimit;  // RLIMIT_AS of the child
  std::string workingFolder;                // empty: a fresh empty folder
  std::vector<std::string> environment;     // added as NAME=value
  // Runs in the child just before exec (after the limits are set); false
  // means the machine cannot provide what the test needs.
  std::function<bool()> inChild;
};

inline RunOptions Within(std::chrono::seconds timeout) {
  RunOptions o;
  o.timeout = timeout;
  return o;
}
inline RunOptions InFolder(std::string folder) {
  RunOptions o;
  o.workingFolder = std::move(folder);
  return o;
}
inline RunOptions FileSizeLimited(rlim_t bytes) {
  RunOptions o;
  o.fileSizeLimit = bytes;
  return o;
}
inline RunOptions AddressSpaceLimited(rlim_t bytes) {
  RunOptions o;
  o.addressSpaceLimit = bytes;
  return o;
}

struct RunResult {
  bool finished = false;  // ended by itself within the time limit
  int exitStatus = -1;    // -1 unless it exited normally
  int signal = 0;         // the signal that ended it, if any
  bool setupFailed = false;
  std::string err;  // standard error
  std::string out;  // standard output
  std::string Describe() const;
};

// Starts the navigator with these arguments (the program joins them with
// single blanks), waits at most options.timeout and kills it after that.
RunResult RunRillmark(const std::vector<std::string>& arguments, const RunOptions& options = {});
// The same with the whole command line as one argument.
RunResult RunRillmark(const std::string& commandLine, const RunOptions& options = {});

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // The folder with a trailing separator, ready to be a WorkPath.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, std::string_view bytes);
std::optional<std::string> ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Names in a folder, sorted; sub-folders end with '/'.
std::vector<std::string> Entries(const std::string& folder);

// The three tables in a folder (nothing written for a std::nullopt).
void WriteTables(const std::string& folder, std::optional<std::string_view> sections,
                 std::optional<std::string_view> flows, std::optional<std::string_view> reaches);

// A command line of the 14 fields; the work folder's prefix is "./".
struct Request {
  std::string navType = "1";
  std::string startReach = "01010001000001";
  std::string startMeasure = "100";
  std::string endReach = "01010001000003";
  std::string endMeasure = "0";
  std::string direction = "D";
  std::string distance = "0";
  std::string units = "M";
  std::string traversal = "1";
  std::string workPath;
  std::string outFile = "out.csv";
  std::string prefix = "./";
  std::string wholeReach = "0";
  std::string endAtBoundary = "0";
  std::string Line() const;
};

// A chain of three reaches, 101 into 102 into 103 (1000, 2000 and 3000 m),
// one section each, linked through the nodes 11 > 12 > 13 > 14.
inline constexpr std::string_view kChainReaches =
    "101,01010001000001,20200101,1,1000,1\n"
    "102,01010001000002,20200101,1,2000,2\n"
    "103,01010001000003,20200101,1,3000,3\n";
inline constexpr std::string_view kChainFlows =
    "1,101,102,0,709,0\n"
    "2,102,103,0,709,0\n";
inline constexpr std::string_view kChainSections =
    "0,100,11,12,101,1000\n"
    "0,100,12,13,102,2000\n"
    "0,100,13,14,103,3000\n";

// The CSV header, and the CSV lines of the chain walked down whole from
// measure 100 of 101, in meters.
inline constexpr std::string_view kCsvHeader =
    "\"Rch_code\",\"Com_id\",\"Rch_date\",\"Duu_id\",\"FromMeasure\",\"ToMeasure\",\"Distance\",\"RchLength\"\n";
inline constexpr std::string_view kChain101Down =
    "\"01010001000001\",       101,\"20200101\",1,   100.000,     0.000,           1000.0000, 1000.0000\n";
inline constexpr std::string_view kChain102Down =
    "\"01010001000002\",       102,\"20200101\",2,   100.000,     0.000,           3000.0000, 2000.0000\n";
inline constexpr std::string_view kChain103Down =
    "\"01010001000003\",       103,\"20200101\",3,   100.000,     0.000,           6000.0000, 3000.0000\n";
std::string ChainDownCsv();

// Whether the programs were built with AddressSanitizer (no address-space
// limit can work under it).
bool BuiltWithAddressSanitizer();

}  // namespace rill::reliability

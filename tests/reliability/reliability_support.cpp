#include "reliability_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace rill::reliability {

namespace fs = std::filesystem;

namespace {

constexpr int kSetupFailedStatus = 125;

std::string MakeTempFolder() {
  std::string pattern = (fs::temp_directory_path() / "rill-reliability-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

}  // namespace

std::string RunResult::Describe() const {
  std::ostringstream text;
  if (!finished)
    text << "the navigator did not end within its time limit";
  else if (signal != 0)
    text << "the navigator died of signal " << signal;
  else
    text << "exit status " << exitStatus;
  text << "; stderr: " << err;
  return text.str();
}

RunResult RunRillmark(const std::vector<std::string>& arguments, const RunOptions& options) {
  TempFolder streams;
  const std::string outPath = streams / "stdout";
  const std::string errPath = streams / "stderr";
  std::optional<TempFolder> ownFolder;
  std::string cwd = options.workingFolder;
  if (cwd.empty()) {
    ownFolder.emplace();
    cwd = ownFolder->path();
  }

  // Everything the child needs is prepared before fork.
  std::vector<std::string> argStrings{RILL_RILLMARK_EXE};
  argStrings.insert(argStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings;
  for (char** e = environ; *e != nullptr; ++e) envStrings.emplace_back(*e);
  envStrings.insert(envStrings.end(), options.environment.begin(), options.environment.end());
  std::vector<char*> envp;
  for (std::string& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(kSetupFailedStatus);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (options.fileSizeLimit) {
      rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(kSetupFailedStatus);
    }
    if (options.addressSpaceLimit) {
      rlimit limit{*options.addressSpaceLimit, *options.addressSpaceLimit};
      if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(kSetupFailedStatus);
    }
    if (options.inChild && !options.inChild()) ::_exit(kSetupFailedStatus);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }

  RunResult result;
  const auto deadline = std::chrono::steady_clock::now() + options.timeout;
  int status = 0;
  for (;;) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      result.finished = true;
      break;
    }
    if (done < 0 && errno != EINTR) throw std::runtime_error("waitpid failed");
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (result.finished && WIFEXITED(status)) {
    result.exitStatus = WEXITSTATUS(status);
    result.setupFailed = result.exitStatus == kSetupFailedStatus;
  }
  if (result.finished && WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = ReadFile(outPath).value_or("");
  result.err = ReadFile(errPath).value_or("");
  return result;
}

RunResult RunRillmark(const std::string& commandLine, const RunOptions& options) {
  return RunRillmark(std::vector<std::string>{commandLine}, options);
}

TempFolder::TempFolder() : path_(MakeTempFolder() + "/") {}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename().string() + (e.is_directory() && !e.is_symlink() ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

void WriteTables(const std::string& folder, std::optional<std::string_view> sections,
                 std::optional<std::string_view> flows, std::optional<std::string_view> reaches) {
  if (sections) WriteFile(folder + "secdata.txt", *sections);
  if (flows) WriteFile(folder + "flowdata.txt", *flows);
  if (reaches) WriteFile(folder + "rchdata.txt", *reaches);
}

std::string Request::Line() const {
  const std::string* fields[] = {&navType,   &startReach, &startMeasure, &endReach,     &endMeasure,
                                 &direction, &distance,   &units,        &traversal,    &workPath,
                                 &outFile,   &prefix,     &wholeReach,   &endAtBoundary};
  std::string line;
  for (const std::string* f : fields) line += (line.empty() ? "" : ",") + *f;
  return line;
}

std::string ChainDownCsv() {
  return std::string(kCsvHeader) + std::string(kChain101Down) + std::string(kChain102Down) + std::string(kChain103Down);
}

bool BuiltWithAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

}  // namespace rill::reliability

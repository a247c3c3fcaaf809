// Helpers for tests that need a small river network in memory: the three
// tables are given as file text and loaded through LoadNetworkTables, the run
// log goes to a file in a scratch folder and can be read back at any time.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "navigator/nav_state.h"
#include "network/network_tables.h"
#include "network/table_loader.h"
#include "text/text_writer.h"

namespace rill::testing {

namespace fs = std::filesystem;

// A fresh folder below the system's temporary folder, removed with everything
// in it when the object goes.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "rill-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const fs::path& path() const { return path_; }
  // The folder as a WorkPath: with its trailing separator.
  std::string work() const { return path_.string() + "/"; }

 private:
  fs::path path_;
};

inline std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A run log on a scratch file; Text() flushes and gives everything written.
class LogFile {
 public:
  LogFile() { writer_.Open((dir_.path() / "message.out").string()); }
  TextWriter& writer() { return writer_; }
  std::string Text() {
    writer_.Flush();
    return ReadAll(dir_.path() / "message.out");
  }
  // Everything written since the last call of Fresh().
  std::string Fresh() {
    std::string all = Text();
    std::string news = all.substr(std::min(seen_, all.size()));
    seen_ = all.size();
    return news;
  }

 private:
  ScratchDir dir_;
  TextWriter writer_;
  std::size_t seen_ = 0;
};

// The table paths the in-memory loads use; they appear in the load dump.
inline TablePaths MemoryPaths() { return {"W/rchdata.txt", "W/flowdata.txt", "W/secdata.txt"}; }

// Tables loaded from text, with the log of the load.
struct LoadedNet {
  NetworkTables tables;
  LoadStatus status = LoadStatus::Loaded;
  std::string loadLog;
};

inline std::unique_ptr<LoadedNet> LoadNet(std::string_view sections, std::string_view flows,
                                          std::string_view reaches) {
  auto net = std::make_unique<LoadedNet>();
  const TablePaths paths = MemoryPaths();
  std::map<std::string, std::string> files = {
      {paths.section, std::string(sections)},
      {paths.flow, std::string(flows)},
      {paths.reach, std::string(reaches)},
  };
  LogFile log;
  net->status = LoadNetworkTables(
      paths,
      [&](const std::string& path) -> std::optional<std::string> {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
      },
      log.writer(), net->tables);
  net->loadLog = log.Text();
  return net;
}

// One navigation pass over loaded tables: fresh state, its own run log.
class Pass {
 public:
  explicit Pass(const NetworkTables& tables) : ctx_{tables, state_, log_.writer()} {}
  NavContext& ctx() { return ctx_; }
  NavState& state() { return state_; }
  // Log lines written since the last call.
  std::string Log() { return log_.Fresh(); }

 private:
  NavState state_;
  LogFile log_;
  NavContext ctx_;
};

// Runs a program with one argument in a folder; gives its exit status (-1
// when it did not exit normally) and fills its standard error.
inline int RunProgram(const std::string& program, const std::string& argument, const fs::path& cwd,
                      std::string* standardError = nullptr) {
  ScratchDir errDir;
  const fs::path errFile = errDir.path() / "stderr.txt";
  auto quote = [](const std::string& s) {
    std::string q = "'";
    for (char c : s) {
      if (c == '\'')
        q += "'\\''";
      else
        q += c;
    }
    return q + "'";
  };
  const std::string command = "cd " + quote(cwd.string()) + " && " + quote(program) + " " + quote(argument) +
                              " 2> " + quote(errFile.string()) + " < /dev/null";
  const int raw = std::system(command.c_str());
  if (standardError) *standardError = ReadAll(errFile);
  if (raw == -1 || !WIFEXITED(raw)) return -1;
  return WEXITSTATUS(raw);
}

}  // namespace rill::testing

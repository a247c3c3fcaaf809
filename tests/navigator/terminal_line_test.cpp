// A single run started by hand: with standard error on a terminal it ends
// with one line saying what it did; on a file it says nothing it did not
// say before.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"

namespace rill::testing {
namespace {

struct TerminalRun {
  int status = -1;
  std::string err;  // what the terminal showed, without carriage returns
};

// Runs the single run in `cwd` with standard error on a pseudo-terminal and
// standard output on /dev/null.
TerminalRun RunAtTerminal(const std::string& fields, const fs::path& cwd) {
  TerminalRun run;
  int master = -1;
  int slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return run;
  std::string exe = RILL_RILLMARK_EXE;
  std::string arg = fields;
  char* argv[] = {exe.data(), arg.data(), nullptr};
  const std::string dir = cwd.string();
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDWR);
    if (in < 0 || dup2(in, 0) < 0 || dup2(in, 1) < 0 || dup2(slave, 2) < 0 || chdir(dir.c_str()) != 0) _exit(125);
    close(master);
    execv(argv[0], argv);
    _exit(127);
  }
  close(slave);
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0) {
      run.err.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the program has closed the terminal
    }
  }
  close(master);
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wstatus)) run.status = WEXITSTATUS(wstatus);
  std::erase(run.err, '\r');
  return run;
}

struct LineCase {
  const char* name;
  const char* fields;  // {w} stands for the work folder, with its separator
  bool tables;         // the sample tables are in the work folder
  int status;
  const char* line;  // the closing line, {w} and {rows} (of the CSV) filled in; "" for none
};

std::string Filled(std::string text, const std::string& work, const std::string& rows) {
  for (auto [key, value] : {std::pair<std::string, std::string>{"{w}", work}, {"{rows}", rows}}) {
    for (std::size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), value);
  }
  return text;
}

// The lines of the result CSV after its header, counted as the line counts them.
std::string CsvRows(const fs::path& csv) {
  const std::string text = ReadAll(csv);
  const auto lines = std::count(text.begin(), text.end(), '\n');
  const auto rows = lines > 0 ? lines - 1 : 0;
  return std::to_string(rows) + (rows == 1 ? " row" : " rows");
}

TEST(TerminalLine, SaysWhatTheRunDid) {
  const LineCase cases[] = {
      {"main path down", "1,41020003000006,50,0,0,D,0,MI,1,{w},out.csv,./,0,0", true, 0,
       "rillmark: {rows} written to {w}./out.csv, ccode 0000; the trace is in {w}./message.out\n"},
      // The unit boundary leaves records out: they are not counted as written.
      {"unit boundary", "1,41020004000001,0,0,0,U,0,MI,1,{w},out.csv,./,0,1", true, 0,
       "rillmark: {rows} written to {w}./out.csv, ccode 0000; the trace is in {w}./message.out\n"},
      {"unknown start", "1,99999999999999,50,0,0,D,0,MI,1,{w},out.csv,./,0,0", true, 0,
       "rillmark: 0 rows written to {w}./out.csv, ccode 0010: Start reach 99999999999999 is not in the reach table; "
       "the trace is in {w}./message.out\n"},
      {"lake start", "1,41020003000122,150,0,0,D,0,MI,1,{w},out.csv,./,0,0", true, 0,
       "rillmark: 0 rows written to {w}./out.csv, ccode 0010: The start reach 41020003000122 is a branched or lake "
       "reach that this navigation cannot start on here; the trace is in {w}./message.out\n"},
      {"two reasons", "1,99999999999999,50,0,0,X,0,MI,1,{w},out.csv,./,0,0", true, 0,
       "rillmark: 0 rows written to {w}./out.csv, ccode 0010: Start reach 99999999999999 is not in the reach table; "
       "Direction X is neither U nor D; the trace is in {w}./message.out\n"},
      {"no navigation", "0,41020003000003,0,0,0,D,0,MI,1,{w},out.csv,./,0,0", true, 0,
       "rillmark: no navigation (NavType outside 1 to 5), the tables were loaded; the trace is in "
       "{w}./message.out\n"},
      {"no tables", "1,41020003000006,50,0,0,D,0,MI,1,{w},out.csv,./,0,0", false, 1,
       "rillmark: an input table could not be opened (exit status 1); the trace is in {w}./message.out, which "
       "names it\n"},
      // A refused command line has said why: nothing more is added.
      {"13 fields", "1,41020003000006,50,0,0,D,0,MI,1,{w},out.csv,./,0", true, 2, ""},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir("rill-terminal");
    const std::string work = dir.path().string() + "/";
    if (c.tables) {
      for (const char* table : {"rchdata.txt", "flowdata.txt", "secdata.txt"})
        fs::copy_file(fs::path(RILL_SOURCE_DIR) / "examples" / table, dir.path() / table);
    }
    const std::string fields = Filled(c.fields, work, "");
    const TerminalRun run = RunAtTerminal(fields, dir.path());
    EXPECT_EQ(run.status, c.status);
    const std::string line = Filled(c.line, work, CsvRows(dir.path() / "out.csv"));
    if (*c.line != '\0') {
      EXPECT_EQ(run.err, line);
    } else {
      EXPECT_EQ(run.err.find("rillmark: "), std::string::npos) << run.err;
    }

    // Without a terminal the same run says nothing more than it did before.
    const ProcessResult quiet =
        RunProcess({RILL_RILLMARK_EXE, fields}, dir.path(), dir.path() / "stdout", dir.path() / "stderr", 60);
    EXPECT_EQ(quiet.status, c.status);
    EXPECT_EQ(ReadAll(dir.path() / "stderr"), *c.line != '\0' ? "" : run.err);
  }
}

}  // namespace
}  // namespace rill::testing

// Starts a Windows program with a command line read byte for byte from a
// file, and ends with that program's exit status. Wine quotes any argument
// that holds blanks, so a command line given as an argument would not reach
// the program's WinMain as written.
//
// Usage: windows-launch PROGRAM.exe COMMAND-LINE-FILE
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: windows-launch PROGRAM.exe COMMAND-LINE-FILE\n");
    return 125;
  }
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "windows-launch: cannot read %s\n", argv[2]);
    return 125;
  }
  const std::string line{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

  // The program's name comes first and is skipped by the runtime together
  // with the blanks that follow it.
  std::string commandLine = std::string("\"") + argv[1] + "\" " + line;
  commandLine.push_back('\0');

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "windows-launch: cannot start %s (error %lu)\n", argv[1], GetLastError());
    return 125;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 125;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

// Windows entry: a GUI program that registers its window class, runs the
// command and ends, without ever creating a window or pumping messages.
#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "commands/commands.h"
#include "text/windows_command_line.h"

namespace {

constexpr char kClassName[] = "Dunbeck";
constexpr char kPaintText[] = "Checking flow...";

LRESULT CALLBACK CommandsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      TextOutA(dc, 0, 0, kPaintText, static_cast<int>(sizeof kPaintText - 1));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*showCommand*/) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = CommandsWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kClassName;
  if (RegisterClassA(&windowClass) == 0) return 0;

  // Copied whole: no length limit applies to this program's command line.
  // A quoted line is split and joined as elsewhere; a raw one is kept as sent.
  const std::string buffer = rill::CommandLineFromWindows(commandLine != nullptr ? commandLine : "");
  rill::commands::RunCommand(buffer, std::cerr);
  std::exit(0);
}

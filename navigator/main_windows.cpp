// Windows entry: a GUI program that registers its window class and pumps a
// message loop around the run, without ever creating a window.
#include <windows.h>

#include <iostream>
#include <string>

#include "navigation/navigation.h"
#include "navigator/run_navigation.h"

namespace {

constexpr char kClassName[] = "Rillmark";

LRESULT CALLBACK NavigatorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*showCommand*/) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = NavigatorWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassA(&windowClass) == 0) return 0;

  // A quoted line is split and joined as elsewhere; a raw one is kept as sent.
  const std::string buffer = rill::CommandLineFromWindows(commandLine != nullptr ? commandLine : "");
  const int status = rill::RunNavigation(buffer, std::cerr);

  PostQuitMessage(0);
  MSG message{};
  // No window exists, so the loop ends on the quit message just posted.
  // A failing GetMessageA (-1) ends it too rather than spinning.
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  // Callers read statuses 1, 2 and 3 on every platform; a completed run ends
  // with the quit message's code.
  if (status != rill::kExitCompleted) return status;
  return static_cast<int>(message.wParam);
}

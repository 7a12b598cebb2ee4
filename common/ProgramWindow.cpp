#include "ProgramWindow.h"

bool RegisterMainClass(HINSTANCE instance, const char* className, WNDPROC procedure) {
  WNDCLASSA windowClass = WNDCLASSA();
  windowClass.style = MainClassStyle;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MainIconName);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(MainBackground);
  windowClass.lpszMenuName = "";
  windowClass.lpszClassName = className;
  return RegisterClassA(&windowClass) != 0;
}

HWND CreateCentredWindow(HINSTANCE instance, const char* className, const char* title, int width,
                         int height) {
  int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return CreateWindowExA(0, className, title, MainWindowStyle, left, top, width, height, nullptr,
                         nullptr, instance, nullptr);
}

namespace {

// The next message of the thread; false, with the loop's exit code, when
// the loop ends.
bool NextMessage(MSG& message, int& exitCode) {
  BOOL got = GetMessageA(&message, nullptr, 0, 0);
  if (got == 0) exitCode = static_cast<int>(message.wParam);
  if (got == -1) exitCode = ExitFailed;
  return got != 0 && got != -1;
}

void Deliver(const MSG& message) {
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

int RunMessageLoop() {
  MSG message;
  int exitCode;
  while (NextMessage(message, exitCode)) Deliver(message);
  return exitCode;
}

int RunDialogLoop(HWND dialog) {
  MSG message;
  int exitCode;
  while (NextMessage(message, exitCode))
    if (!IsDialogMessageA(dialog, &message)) Deliver(message);
  return exitCode;
}

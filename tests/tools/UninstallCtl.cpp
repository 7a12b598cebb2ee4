// uninstallctl: drives the uninstaller's window from a test script under Wine.
//   uninstallctl find           exit 0 when the window "Uninstall" of class "WinMin" is open
//   uninstallctl windows        print the main window and its children, one line each:
//                               class|text as hex bytes|style|x y width height|id|check state
//   uninstallctl text ID        print the control's text as the window holds it (Unicode), in UTF-8
//   uninstallctl click ID       post BM_CLICK to the control with that id, as a mouse click
//   uninstallctl close          post what the close box sends (WM_SYSCOMMAND, SC_CLOSE)
//   uninstallctl focus          print the id of the control with the keyboard focus (0: the
//                               window itself, -1: none of the window's)
// Child places are in the main window's client coordinates; the main window's
// is its outer rectangle on the screen.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND Dialog() { return FindWindowA("WinMin", "Uninstall"); }

void Print(HWND window, HWND parent) {
  char name[64] = "", text[256] = "";
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, text, sizeof text);
  RECT r;
  GetWindowRect(window, &r);
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  std::printf("%s|", name);
  for (const char* c = text; *c; ++c) std::printf("%02X", static_cast<unsigned char>(*c));
  std::printf("|%08lX|%ld %ld %ld %ld|%d|%ld\n",
              static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)), r.left, r.top,
              r.right - r.left, r.bottom - r.top, parent ? GetDlgCtrlID(window) : 0,
              parent ? static_cast<long>(SendMessageA(window, BM_GETCHECK, 0, 0)) : 0L);
}

// The ANSI texts the program passed, after the code page's conversion.
int PrintText(HWND control) {
  WCHAR wide[256];
  char utf8[1024];
  int length = GetWindowTextW(control, wide, 256);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%.*s\n", bytes, utf8);
  return 0;
}

int PrintFocus(HWND dialog) {
  GUITHREADINFO thread = {};
  thread.cbSize = sizeof thread;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread)) return 1;
  HWND focus = thread.hwndFocus;
  int id = focus == dialog ? 0 : GetParent(focus) == dialog ? GetDlgCtrlID(focus) : -1;
  return std::printf("%d\n", id), 0;
}

int Usage() {
  std::fprintf(stderr, "usage: uninstallctl find | windows | text ID | click ID | close | focus\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  HWND dialog = Dialog();
  if (!dialog) return std::puts("no uninstaller window"), 1;
  const char* command = argv[1];
  if (!std::strcmp(command, "find")) return 0;
  if (!std::strcmp(command, "windows")) {
    Print(dialog, nullptr);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      Print(child, dialog);
    return 0;
  }
  if ((!std::strcmp(command, "click") || !std::strcmp(command, "text")) && argc == 3) {
    HWND control = GetDlgItem(dialog, std::atoi(argv[2]));
    if (!control) return std::puts("no such control"), 1;
    if (command[0] == 't') return PrintText(control);
    return PostMessageA(control, BM_CLICK, 0, 0) ? 0 : 1;
  }
  if (!std::strcmp(command, "focus")) return PrintFocus(dialog);
  if (!std::strcmp(command, "close"))
    return PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
  return Usage();
}

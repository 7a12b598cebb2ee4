// agentctl: drives a running agent from a test script under Wine.
//   agentctl find                          exit 0 and print the window if the agent runs
//   agentctl send|post MSG WPARAM LPARAM   send or post a message to the agent's window
//   agentctl announce LETTER in|out        tell the agent, as the system does, that a
//                                          disc went into or came out of the drive
//   agentctl box CAPTION ok|yes|no|none [TIMEOUT_S]
//                                          wait for a message box, print its text, press
//   agentctl nobox CAPTION                 exit 0 if no such message box is open
//   agentctl default CAPTION               print a message box's default button
//   agentctl tips                          print the tip of every tray icon
//   agentctl untray                        take the agent's icon out of the tray, as a
//                                          shell that ends takes every icon with it
//   agentctl taskbar                       post "TaskbarCreated" to every top-level
//                                          window, as a shell that starts anew does
// Numbers are decimal or 0x hex. Results go to stdout, one line each.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Announce.h"
#include "TrayIcon.h"

namespace {

unsigned long Number(const char* text) {
  bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  return std::strtoul(text, nullptr, hex ? 16 : 10);
}

struct Text {
  char text[1024];
};

Text TextOf(HWND window) {
  Text t = {""};
  GetWindowTextA(window, t.text, sizeof t.text);
  return t;
}

bool HasClass(HWND window, const char* name) {
  char actual[64] = "";
  GetClassNameA(window, actual, sizeof actual);
  return !lstrcmpiA(actual, name);
}

struct BoxSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM context) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
  if (IsWindowVisible(window) && HasClass(window, "#32770") &&
      !std::strcmp(TextOf(window).text, search->caption)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindBox(const char* caption) {
  BoxSearch search = {caption, nullptr};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM context) {
  Text* longest = reinterpret_cast<Text*>(context);
  Text text = TextOf(child);
  if (HasClass(child, "Static") && std::strlen(text.text) > std::strlen(longest->text))
    *longest = text;
  return TRUE;
}

// The message of a message box: its text control, else its longest static text.
Text BoxText(HWND box) {
  if (HWND text = GetDlgItem(box, 0xFFFF)) return TextOf(text);
  Text longest = {""};
  EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&longest));
  return longest;
}

// Wine's tray keeps each icon's tip in a tooltip control of the tray's own
// process, so the text is asked for into memory borrowed from that process.
bool PrintTip(HWND tooltip) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tooltip, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  bool printed = false;
  char* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (remote) {
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.lpszText = remote + 1024;
    char tip[256] = "";
    DWORD_PTR found = 0;
    if (WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr) &&
        WriteProcessMemory(process, tool.lpszText, tip, sizeof tip, nullptr) &&
        SendMessageTimeoutA(tooltip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(remote),
                            SMTO_NORMAL, 5000, &found) &&
        found && ReadProcessMemory(process, tool.lpszText, tip, sizeof tip - 1, nullptr)) {
      std::printf("%s\n", tip);
      printed = true;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return printed;
}

// A tray's tooltip: owned by the tray window ("__winex11_standalone_tray" in
// Wine 8, "__wine_tray_icon" or "Shell_TrayWnd" in other versions).
bool IsTrayTooltip(HWND window) {
  HWND owner = GetWindow(window, GW_OWNER);
  char name[64] = "";
  if (!owner || !HasClass(window, TOOLTIPS_CLASSA)) return false;
  GetClassNameA(owner, name, sizeof name);
  CharLowerA(name);
  return std::strstr(name, "tray") != nullptr;
}

BOOL CALLBACK PrintTrayTip(HWND window, LPARAM count) {
  if (IsTrayTooltip(window) && PrintTip(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK FindDefault(HWND child, LPARAM context) {
  if (!HasClass(child, "Button") || (GetWindowLongA(child, GWL_STYLE) & 0x0F) != BS_DEFPUSHBUTTON)
    return TRUE;
  *reinterpret_cast<int*>(context) = GetDlgCtrlID(child);
  return FALSE;
}

// The default button: the one drawn as default, else the dialog's default id.
int PrintDefault(const char* caption) {
  HWND box = FindBox(caption);
  if (!box) return std::printf("no box \"%s\"\n", caption), 1;
  int id = 0;
  EnumChildWindows(box, FindDefault, reinterpret_cast<LPARAM>(&id));
  DWORD_PTR result = 0;
  if (!id && SendMessageTimeoutA(box, DM_GETDEFID, 0, 0, SMTO_NORMAL, 5000, &result) &&
      HIWORD(result) == DC_HASDEFID)
    id = LOWORD(result);
  const char* names[] = {"none", "ok", "cancel", "abort", "retry", "ignore", "yes", "no"};
  if (id >= 0 && id < 8) return std::printf("%s\n", names[id]), 0;
  return std::printf("%d\n", id), 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: agentctl find | send|post MSG WPARAM LPARAM | announce LETTER in|out |"
               " box CAPTION ok|yes|no|none [TIMEOUT_S] | nobox CAPTION | default CAPTION |"
               " tips | untray | taskbar\n");
  return 2;
}

int Untray() {
  NOTIFYICONDATAA icon = {};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = FindAgent();
  icon.uID = TrayIconId;
  if (!icon.hWnd) return std::puts("no agent window"), 1;
  if (!Shell_NotifyIconA(NIM_DELETE, &icon)) return std::puts("no such tray icon"), 1;
  return 0;
}

int TaskbarCreated() {
  UINT message = RegisterWindowMessageA("TaskbarCreated");
  if (!message || !PostMessageA(HWND_BROADCAST, message, 0, 0))
    return std::puts("broadcast failed"), 1;
  return 0;
}

int Message(bool post, char** argv) {
  HWND agent = FindAgent();
  if (!agent) return std::puts("no agent window"), 1;
  UINT message = Number(argv[0]);
  WPARAM wParam = Number(argv[1]);
  LPARAM lParam = static_cast<LPARAM>(Number(argv[2]));
  if (post) {
    if (!PostMessageA(agent, message, wParam, lParam)) return std::puts("post failed"), 1;
    return std::puts("posted"), 0;
  }
  // Bounded, so that an agent stuck in a message box does not hang the test.
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(agent, message, wParam, lParam, SMTO_NORMAL, 10000, &result))
    return std::puts("send timed out"), 1;
  return std::printf("%lu\n", static_cast<unsigned long>(result)), 0;
}

int Announce(char letter, bool arrival) {
  HWND agent = FindAgent();
  if (!agent) return std::puts("no agent window"), 1;
  DWORD_PTR result = 0;
  if (!AnnounceVolume(agent, letter, arrival, &result)) return std::puts("send timed out"), 1;
  return std::printf("%lu\n", static_cast<unsigned long>(result)), 0;
}

int Box(const char* caption, const char* button, int seconds) {
  int id;
  if (!std::strcmp(button, "ok"))
    id = IDOK;
  else if (!std::strcmp(button, "yes"))
    id = IDYES;
  else if (!std::strcmp(button, "no"))
    id = IDNO;
  else if (!std::strcmp(button, "none"))
    id = 0;
  else
    return Usage();

  HWND box = nullptr;
  for (DWORD start = GetTickCount(); !(box = FindBox(caption));) {
    if (GetTickCount() - start >= static_cast<DWORD>(seconds) * 1000)
      return std::printf("no box \"%s\"\n", caption), 1;
    Sleep(100);
  }
  std::printf("%s\n", BoxText(box).text);
  std::fflush(stdout);
  if (!id) return 0;

  HWND pressed = GetDlgItem(box, id);
  if (!pressed) return std::printf("the box has no \"%s\" button\n", button), 1;
  DWORD_PTR result;
  SendMessageTimeoutA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(pressed), SMTO_NORMAL, 5000, &result);
  for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
  if (IsWindow(box)) return std::puts("the box stayed open"), 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const char* command = argv[1];
  if (!std::strcmp(command, "find") && argc == 2) {
    HWND agent = FindAgent();
    if (!agent) return std::puts("no agent window"), 1;
    return std::printf("%p\n", static_cast<void*>(agent)), 0;
  }
  if ((!std::strcmp(command, "send") || !std::strcmp(command, "post")) && argc == 5)
    return Message(command[0] == 'p', argv + 2);
  if (!std::strcmp(command, "announce") && argc == 4)
    return Announce(argv[2][0], !std::strcmp(argv[3], "in"));
  if (!std::strcmp(command, "box") && (argc == 4 || argc == 5))
    return Box(argv[2], argv[3], argc == 5 ? std::atoi(argv[4]) : 10);
  if (!std::strcmp(command, "nobox") && argc == 3) {
    HWND box = FindBox(argv[2]);
    if (!box) return 0;
    return std::printf("%s\n", BoxText(box).text), 1;
  }
  if (!std::strcmp(command, "default") && argc == 3) return PrintDefault(argv[2]);
  if (!std::strcmp(command, "tips") && argc == 2) {
    int count = 0;
    EnumWindows(PrintTrayTip, reinterpret_cast<LPARAM>(&count));
    return count ? 0 : 1;
  }
  if (!std::strcmp(command, "untray") && argc == 2) return Untray();
  if (!std::strcmp(command, "taskbar") && argc == 2) return TaskbarCreated();
  return Usage();
}

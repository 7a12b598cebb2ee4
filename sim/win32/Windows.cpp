// Windows of the simulated desktop, the program's message queue, the virtual
// clock with its timers, popup menus and message boxes.
#include <algorithm>

#include "Machine.h"
#include "SimMachine.h"

namespace sim {
namespace {

UserState& U() { return M().user; }

WindowObject* Live(HWND window) {
  auto it = U().windows.find(reinterpret_cast<uintptr_t>(window));
  return it == U().windows.end() || !it->second.info.alive ? nullptr : &it->second;
}

// A live window of this program.
WindowObject* Ours(HWND window) {
  WindowObject* found = Live(window);
  return found && found->procedure ? found : nullptr;
}

HWND AddWindow(const WindowObject& window) {
  uintptr_t value = NewUserValue();
  U().windows.emplace(value, window);
  return reinterpret_cast<HWND>(value);
}

LRESULT Call(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowObject* target = Ours(window);
  return target ? target->procedure(window, message, wParam, lParam) : 0;
}

MSG Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = U().now;
  msg.pt = U().cursor;
  return msg;
}

MSG QuitMessage() { return Message(nullptr, WM_QUIT, static_cast<WPARAM>(U().exitCode), 0); }
MSG TimerMessage(const TimerInfo& timer) { return Message(timer.window, WM_TIMER, timer.id, 0); }
bool Due(const TimerInfo& timer) { return U().now >= timer.due; }

// Takes the next message in Windows' order. Only GetMessageA takes a pending
// quit request; for a modal loop it ends the retrieval.
bool Retrieve(MSG* msg, bool takeQuit) {
  UserState& u = U();
  if (!u.posted.empty()) {
    *msg = u.posted.front();
    u.posted.pop_front();
    return true;
  }
  if (u.quit) {
    if (!takeQuit) return false;
    *msg = QuitMessage();
    u.quit = false;
    return true;
  }
  for (TimerInfo& timer : u.timers) {
    if (!Due(timer)) continue;
    *msg = TimerMessage(timer);
    timer.due = u.now + timer.period;
    return true;
  }
  return false;
}

LRESULT Dispatch(const MSG& msg) { return Call(msg.hwnd, msg.message, msg.wParam, msg.lParam); }

// PostMessageA without the count, for the stand-in's own posts.
BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowObject* target = window ? Live(window) : nullptr;
  if (window && !target) return Fail(ERROR_INVALID_WINDOW_HANDLE), FALSE;
  if (target && !target->procedure)
    U().foreign.push_back({window, message, wParam, lParam, true});
  else
    U().posted.push_back(Message(window, message, wParam, lParam));
  return TRUE;
}

// DestroyWindow without the count. As on Windows, the window is still valid
// while it handles WM_DESTROY; its child windows and timers go with it.
BOOL Destroy(HWND window) {
  WindowObject* target = Live(window);
  if (!target) return Fail(ERROR_INVALID_WINDOW_HANDLE), FALSE;
  if (!target->procedure) return Fail(ERROR_ACCESS_DENIED), FALSE;
  Call(window, WM_DESTROY, 0, 0);
  for (auto& entry : U().windows)
    if (entry.second.info.parent == window && entry.second.info.alive)
      Destroy(reinterpret_cast<HWND>(entry.first));
  target->info.alive = false;
  std::vector<TimerInfo>& timers = U().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [window](const TimerInfo& t) { return t.window == window; }),
               timers.end());
  if (U().foreground == window) U().foreground = nullptr;
  if (U().focus == window) U().focus = nullptr;
  return TRUE;
}

std::vector<TimerInfo>::iterator FindTimer(HWND window, UINT_PTR id) {
  return std::find_if(U().timers.begin(), U().timers.end(),
                      [&](const TimerInfo& t) { return t.window == window && t.id == id; });
}

// Points the copied class record at its own copies of the texts.
void PointAtCopies(ClassInfo& info) {
  info.fields.lpszClassName = info.className.c_str();
  info.fields.lpszMenuName = info.hasMenuName ? info.menuName.c_str() : nullptr;
}

std::vector<MenuItem>* Menu(HMENU menu) {
  auto it = U().menus.find(reinterpret_cast<uintptr_t>(menu));
  return it == U().menus.end() ? nullptr : &it->second;
}

// The default button of a message box: the first, or the one MB_DEFBUTTONn names.
int DefaultButton(UINT type) {
  const int kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5;
  const int kButtons[][3] = {
      {IDOK},        {IDOK, IDCANCEL},    {kIdAbort, kIdRetry, kIdIgnore}, {IDYES, IDNO, IDCANCEL},
      {IDYES, IDNO}, {kIdRetry, IDCANCEL}};
  UINT group = type & 0xF;
  if (group >= sizeof kButtons / sizeof kButtons[0]) group = 0;
  UINT index = (type >> 8) & 0xF;
  if (index >= 3 || !kButtons[group][index]) index = 0;
  return kButtons[group][index];
}

// The system's "Static" and "Button" controls: a check box keeps its state,
// a button takes the focus when the mouse presses it.
LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM) {
  WindowInfo& info = Live(window)->info;
  if (message == WM_LBUTTONDOWN && Upper(info.className) == "BUTTON") SetFocus(window);
  const DWORD kTypeMask = 0xF, kAutoCheckBox = 3, kThreeState = 5, kAutoThreeState = 6;
  DWORD type = info.style & kTypeMask;
  bool checkBox =
      Upper(info.className) == "BUTTON" && (type == BS_CHECKBOX || type == kAutoCheckBox ||
                                            type == kThreeState || type == kAutoThreeState);
  if (message == BM_GETCHECK) return checkBox ? static_cast<LRESULT>(info.checked) : 0;
  if (message == BM_SETCHECK && checkBox) info.checked = wParam;
  return 0;
}

// The child after (or before) `control` in creation order, round the end:
// the dialog manager's next control of a group for the arrow keys.
HWND NextChild(HWND dialog, HWND control, bool backwards) {
  std::vector<HWND> children;
  for (const auto& entry : U().windows)
    if (entry.second.info.alive && entry.second.info.parent == dialog)
      children.push_back(reinterpret_cast<HWND>(entry.first));
  auto at = std::find(children.begin(), children.end(), control);
  if (at == children.end()) return children.empty() ? nullptr : children.front();
  size_t place = static_cast<size_t>(at - children.begin());
  size_t count = children.size();
  return children[(place + (backwards ? count - 1 : 1)) % count];
}

// What the dialog manager does with a key for a window whose controls want
// none: Escape and Enter become IDCANCEL and IDOK (no button is the
// default), an arrow names the next control, Space presses a focused
// button. Tab looks for controls with WS_TABSTOP, which no window here has.
void DialogKey(HWND dialog, WPARAM key) {
  HWND focus = U().focus;
  if (key == VK_ESCAPE) Call(dialog, WM_COMMAND, IDCANCEL, 0);
  if (key == VK_RETURN) Call(dialog, WM_COMMAND, IDOK, 0);
  if (key >= VK_LEFT && key <= VK_DOWN)
    Call(dialog, WM_NEXTDLGCTL,
         reinterpret_cast<WPARAM>(NextChild(dialog, focus, key == VK_LEFT || key == VK_UP)), 1);
  const WindowObject* control = Live(focus);
  if (key == VK_SPACE && control && control->info.parent == dialog &&
      Upper(control->info.className) == "BUTTON")
    Call(dialog, WM_COMMAND, reinterpret_cast<uintptr_t>(control->info.menu),
         reinterpret_cast<LPARAM>(focus));
}

WNDPROC ProcedureOf(const std::string& className) {
  auto found = U().classes.find(Upper(className));
  if (found != U().classes.end()) return found->second.fields.lpfnWndProc;
  if (Upper(className) == "STATIC" || Upper(className) == "BUTTON") return ControlProcedure;
  return nullptr;
}

}  // namespace

std::vector<HWND> Windows() {
  std::vector<HWND> all;
  for (const auto& entry : U().windows) all.push_back(reinterpret_cast<HWND>(entry.first));
  return all;
}

HWND AddForeignWindow(const std::string& className, const std::string& title) {
  WindowObject window;
  window.info.className = className;
  window.info.title = title;
  window.info.alive = true;
  return AddWindow(window);
}

WindowInfo GetWindow(HWND window) {
  auto it = U().windows.find(reinterpret_cast<uintptr_t>(window));
  return it == U().windows.end() ? WindowInfo() : it->second.info;
}

bool GetClass(const std::string& className, ClassInfo* info) {
  auto it = U().classes.find(Upper(className));
  if (it == U().classes.end()) return false;
  *info = it->second;
  PointAtCopies(*info);
  return true;
}

void FailRegisterClass() { U().failRegisterClass = true; }
void FailCreateWindow() { U().failCreateWindow = true; }

void SetScreenSize(int width, int height) {
  U().screenWidth = width;
  U().screenHeight = height;
}

std::vector<ForeignMessage> ForeignMessages() { return U().foreign; }

std::vector<MSG> QueuedMessages() {
  std::vector<MSG> queue(U().posted.begin(), U().posted.end());
  if (U().quit) queue.push_back(QuitMessage());
  for (const TimerInfo& timer : U().timers)
    if (Due(timer)) queue.push_back(TimerMessage(timer));
  return queue;
}

bool PumpMessages() {
  MSG msg;
  while (Retrieve(&msg, false)) Dispatch(msg);
  return U().quit;
}

bool QuitPending(int* exitCode) {
  if (exitCode && U().quit) *exitCode = U().exitCode;
  return U().quit;
}

DWORD Now() { return U().now; }
void AdvanceClock(DWORD milliseconds) { U().now += milliseconds; }

bool Tick() {
  AdvanceClock(1000);
  return PumpMessages();
}

void OnIdle(std::function<void()> hook) { U().onIdle = std::move(hook); }
int Starved() { return U().starved; }
std::vector<TimerInfo> Timers() { return U().timers; }

void OnMenu(std::function<UINT_PTR(const MenuShown&)> choose) { U().onMenu = std::move(choose); }
std::vector<MenuShown> MenusShown() { return U().menusShown; }
int OpenMenus() { return static_cast<int>(U().menus.size()); }

void SetCursorPos(int x, int y) { U().cursor = POINT{x, y}; }

void OnMessageBox(std::function<int(const MessageBoxShown&)> answer) {
  U().onMessageBox = std::move(answer);
}
std::vector<MessageBoxShown> MessageBoxes() { return U().messageBoxes; }

}  // namespace sim

using namespace sim;

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
  Count("RegisterClassA");
  UserState& u = U();
  if (u.failRegisterClass) return Fail(ERROR_NOT_ENOUGH_MEMORY), 0;
  if (!windowClass || !windowClass->lpfnWndProc || IsIntResource(windowClass->lpszClassName))
    return Fail(ERROR_INVALID_PARAMETER), 0;
  std::string key = Upper(windowClass->lpszClassName);
  if (u.classes.count(key)) return Fail(ERROR_CLASS_ALREADY_EXISTS), 0;
  ClassInfo& info = u.classes[key];
  info.fields = *windowClass;
  info.className = windowClass->lpszClassName;
  info.hasMenuName = windowClass->lpszMenuName != nullptr;
  if (info.hasMenuName) info.menuName = ResourceName(windowClass->lpszMenuName);
  PointAtCopies(info);
  return static_cast<ATOM>(0xC000 + u.classes.size() - 1);
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID) {
  Count("CreateWindowExA");
  if (U().failCreateWindow) return Fail(ERROR_NOT_ENOUGH_MEMORY), nullptr;
  WNDPROC procedure = IsIntResource(className) ? nullptr : ProcedureOf(className);
  if (!procedure) return Fail(ERROR_CANNOT_FIND_WND_CLASS), nullptr;
  WindowObject window;
  window.info =
      WindowInfo{className, title ? title : "", exStyle, style, x, y, width, height, parent,
                 menu,      instance,           true};
  window.procedure = procedure;
  HWND handle = AddWindow(window);
  // As on Windows, a window that answers WM_CREATE with -1 is not made.
  if (Call(handle, WM_CREATE, 0, 0) == -1) {
    Destroy(handle);
    return nullptr;
  }
  return handle;
}

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR title) {
  Count("FindWindowA");
  if (className && IsIntResource(className)) return nullptr;
  for (const auto& entry : U().windows) {
    const WindowInfo& info = entry.second.info;
    if (!info.alive) continue;
    if (className && Upper(className) != Upper(info.className)) continue;
    if (title && Upper(title) != Upper(info.title)) continue;
    return reinterpret_cast<HWND>(entry.first);
  }
  return nullptr;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Count("SendMessageA");
  WindowObject* target = Live(window);
  if (!target) return Fail(ERROR_INVALID_WINDOW_HANDLE), 0;
  if (target->procedure) return Call(window, message, wParam, lParam);
  U().foreign.push_back({window, message, wParam, lParam, false});
  return 0;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Count("PostMessageA");
  return Post(window, message, wParam, lParam);
}

BOOL WINAPI GetMessageA(LPMSG message, HWND, UINT, UINT) {
  Count("GetMessageA");
  if (!Retrieve(message, true)) {
    if (auto idle = U().onIdle) idle();
    if (!Retrieve(message, true)) {
      ++U().starved;
      return -1;
    }
  }
  return message->message != WM_QUIT;
}

BOOL WINAPI TranslateMessage(const MSG*) {
  Count("TranslateMessage");
  return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
  Count("DispatchMessageA");
  return message ? Dispatch(*message) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM) {
  Count("DefWindowProcA");
  if (message == WM_CLOSE) Destroy(window);
  if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) SetFocus(window);
  return 0;
}

BOOL WINAPI ShowWindow(HWND window, int show) {
  Count("ShowWindow");
  WindowObject* target = Live(window);
  if (!target) return Fail(ERROR_INVALID_WINDOW_HANDLE), FALSE;
  bool wasVisible = target->info.shown > 0 || (target->info.style & WS_VISIBLE);
  target->info.shown = show;
  // A top-level window of the program that comes up is activated.
  if (!wasVisible && show != SW_HIDE && !target->info.parent)
    Call(window, WM_ACTIVATE, WA_ACTIVE, 0);
  return wasVisible;
}

HWND WINAPI SetFocus(HWND window) {
  Count("SetFocus");
  if (window && !Live(window)) return Fail(ERROR_INVALID_WINDOW_HANDLE), nullptr;
  HWND before = U().focus;
  U().focus = window;
  if (window) Call(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(before), 0);
  return before;
}

HWND WINAPI GetFocus(void) {
  Count("GetFocus");
  return U().focus;
}

// Takes the messages of the dialog and its controls: keys as the dialog
// manager does, every other message dispatched.
BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message) {
  Count("IsDialogMessageA");
  const WindowObject* target = Live(message->hwnd);
  if (!Live(dialog) || !target || (message->hwnd != dialog && target->info.parent != dialog))
    return FALSE;
  if (message->message == WM_KEYDOWN)
    DialogKey(dialog, message->wParam);
  else
    Dispatch(*message);
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND window) {
  Count("UpdateWindow");
  WindowObject* target = Live(window);
  if (!target) return Fail(ERROR_INVALID_WINDOW_HANDLE), FALSE;
  target->info.updated = true;
  return TRUE;
}

BOOL WINAPI DestroyWindow(HWND window) {
  Count("DestroyWindow");
  return Destroy(window);
}

void WINAPI PostQuitMessage(int exitCode) {
  Count("PostQuitMessage");
  U().quit = true;
  U().exitCode = exitCode;
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC) {
  Count("SetTimer");
  if (!Ours(window)) return Fail(ERROR_INVALID_WINDOW_HANDLE), 0;
  period = std::max<UINT>(period, USER_TIMER_MINIMUM);
  TimerInfo timer{window, id, period, U().now + period};
  auto existing = FindTimer(window, id);
  if (existing != U().timers.end())
    *existing = timer;
  else
    U().timers.push_back(timer);
  return id ? id : 1;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
  Count("KillTimer");
  auto existing = FindTimer(window, id);
  if (existing == U().timers.end()) return FALSE;
  U().timers.erase(existing);
  return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
  Count("GetSystemMetrics");
  if (index == SM_CXSCREEN) return U().screenWidth;
  if (index == SM_CYSCREEN) return U().screenHeight;
  return 0;
}

HMENU WINAPI CreatePopupMenu(void) {
  Count("CreatePopupMenu");
  uintptr_t value = NewUserValue();
  U().menus[value];
  return reinterpret_cast<HMENU>(value);
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
  Count("AppendMenuA");
  std::vector<MenuItem>* items = Menu(menu);
  if (!items) return Fail(ERROR_INVALID_MENU_HANDLE), FALSE;
  items->push_back({flags, id, (flags & MF_SEPARATOR) || !text ? "" : text});
  return TRUE;
}

BOOL WINAPI DestroyMenu(HMENU menu) {
  Count("DestroyMenu");
  if (!U().menus.erase(reinterpret_cast<uintptr_t>(menu)))
    return Fail(ERROR_INVALID_MENU_HANDLE), FALSE;
  return TRUE;
}

BOOL WINAPI TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS) {
  Count("TrackPopupMenuEx");
  std::vector<MenuItem>* items = Menu(menu);
  if (!items) return Fail(ERROR_INVALID_MENU_HANDLE), FALSE;
  if (!Ours(owner)) return Fail(ERROR_INVALID_WINDOW_HANDLE), FALSE;
  MenuShown shown{*items, flags, x, y, owner, U().foreground};
  U().menusShown.push_back(shown);
  auto choose = U().onMenu;
  UINT_PTR command = choose ? choose(shown) : 0;
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(command);
  if (command) Post(owner, WM_COMMAND, command, 0);
  return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
  Count("GetCursorPos");
  if (!point) return Fail(ERROR_INVALID_PARAMETER), FALSE;
  *point = U().cursor;
  return TRUE;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
  Count("SetForegroundWindow");
  if (!Live(window)) return FALSE;
  U().foreground = window;
  return TRUE;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  Count("MessageBoxA");
  // Windows captions a box without a caption "Error".
  MessageBoxShown shown{owner, text ? text : "", caption ? caption : "Error", type};
  U().messageBoxes.push_back(shown);
  auto answer = U().onMessageBox;
  return answer ? answer(shown) : DefaultButton(type);
}

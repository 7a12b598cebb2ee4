#include "Dialog.h"

#include "InstallRecord.h"
#include "ProgramWindow.h"
#include "UninstallRun.h"
#include "UninstallState.h"

namespace {

const DWORD LabelStyle = WS_CHILD | WS_VISIBLE;
const DWORD CheckBoxStyle = WS_CHILD | WS_VISIBLE | BS_CHECKBOX;
const DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
const UINT ExitLogUnreadable = 1;
inline constexpr char RuntimeErrorCaption[] = "Application Error";

struct Control {
  const char* className;
  const char* text;  // code page 1251
  DWORD style;
  int x, y, width, height, id;
  HWND* handle;
};

// In creation order. The check boxes are wider than the window's client
// area and are clipped; Cancel stands left of OK.
const Control Controls[] = {
    // "Деинсталировать:" (uninstall:)
    {"Static", "\xC4\xE5\xE8\xED\xF1\xF2\xE0\xEB\xE8\xF0\xEE\xE2\xE0\xF2\xFC:", LabelStyle, 20, 10,
     200, 20, 0, &CaptionLabel},
    {"Button", ZelProductName, CheckBoxStyle, 20, 30, 220, 20, PlayerBoxId, &PlayerBox},
    // "Мои любимые" (my favourites)
    {"Button", "\xCC\xEE\xE8 \xEB\xFE\xE1\xE8\xEC\xFB\xE5", CheckBoxStyle, 20, 50, 220, 20,
     FavoritesBoxId, &FavoritesBox},
    {"Button", "OK", ButtonStyle, 130, 75, 56, 18, OkButtonId, &OkButton},
    {"Button", "Cancel", ButtonStyle, 20, 75, 56, 18, CancelButtonId, &CancelButton},
};

void CreateControls(HINSTANCE instance) {
  for (const Control& c : Controls)
    *c.handle =
        CreateWindowExA(0, c.className, c.text, c.style, c.x, c.y, c.width, c.height, MainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
}

// The plain check boxes do not change their own state.
void Toggle(HWND box) {
  bool checked = SendMessageA(box, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
  SendMessageA(box, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
}

// The install log of the folder exists but cannot be read: the uninstall
// cannot know what the player left, so it stops with the error.
[[noreturn]] void EndWithReadError(DWORD error, const Text& folder) {
  Text text = "I/O error " + Decimal(error) + " reading " + folder + InstallLogFile;
  MessageBoxA(nullptr, text.c_str(), RuntimeErrorCaption, MB_OK | MB_ICONHAND | MB_TASKMODAL);
  ExitProcess(ExitLogUnreadable);
}

// The controls the keyboard visits, in the order of the arrow keys and Tab:
// the order they were made in, without the label.
HWND* const FocusRing[] = {&PlayerBox, &FavoritesBox, &OkButton, &CancelButton};
const int FocusRingSize = sizeof FocusRing / sizeof FocusRing[0];

int RingPlace(HWND control) {
  for (int i = 0; i < FocusRingSize; ++i)
    if (*FocusRing[i] == control) return i;
  return -1;
}

void FocusControl(HWND control) {
  FocusedControl = control;
  SetFocus(control);
}

// The window is no dialog, so the dialog manager's WM_NEXTDLGCTL is handled
// here: for an arrow key it names the control to go to, for Tab it gives
// the direction. The label is no stop: reached from the first control it
// leads on to the last, from the last on to the first.
void MoveFocus(WPARAM target, LPARAM targetIsControl) {
  int current = RingPlace(GetFocus());
  if (current < 0) current = 0;
  int next = targetIsControl ? RingPlace(reinterpret_cast<HWND>(target)) : -1;
  if (next < 0) {
    bool backwards = targetIsControl ? current == 0 : target != 0;
    next = (current + (backwards ? FocusRingSize - 1 : 1)) % FocusRingSize;
  }
  FocusControl(*FocusRing[next]);
}

// The dialog manager turns Escape into IDCANCEL, which is Cancel, and Enter
// into IDOK wherever the focus is, since no button is the default: Enter
// presses the focused button, and nothing while a box has the focus.
WPARAM FromKeyboard(WPARAM command) {
  if (command == IDCANCEL) return CancelButtonId;
  if (command != IDOK) return command;
  HWND focus = GetFocus();
  if (focus == OkButton) return OkButtonId;
  if (focus == CancelButton) return CancelButtonId;
  return 0;
}

// The whole wParam is compared, so only a click (notification 0) counts.
void Command(HWND window, WPARAM command) {
  switch (command) {
    case PlayerBoxId:
      Toggle(PlayerBox);
      break;
    case FavoritesBoxId:
      Toggle(FavoritesBox);
      break;
    case OkButtonId: {
      IoResult result = DoUninstall();
      if (result.Failed()) EndWithReadError(result.error, InstallDir);
      break;
    }
    case CancelButtonId:
      SendMessageA(window, WM_CLOSE, 0, 0);
      break;
  }
}

}  // namespace

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_COMMAND:
      Command(window, FromKeyboard(wParam));
      break;
    case WM_NEXTDLGCTL:
      MoveFocus(wParam, lParam);
      return 0;
    // Activation puts the focus on the window itself; it goes back to the
    // control that had it when the window was left.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && RingPlace(GetFocus()) >= 0) FocusedControl = GetFocus();
      break;
    case WM_SETFOCUS:
      if (FocusedControl) SetFocus(FocusedControl);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int UninstallMain() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterMainClass(instance, DialogClassName, WndProc)) return ExitFailed;
  MainWindow =
      CreateCentredWindow(instance, DialogClassName, DialogTitle, DialogWidth, DialogHeight);
  // Without its window the program could only wait for ever.
  if (!MainWindow) return ExitFailed;
  ShowWindow(MainWindow, SW_SHOWNORMAL);
  UpdateWindow(MainWindow);
  CreateControls(instance);
  SendMessageA(PlayerBox, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(FavoritesBox, BM_SETCHECK, BST_CHECKED, 0);
  FocusControl(PlayerBox);
  return RunDialogLoop(MainWindow);
}

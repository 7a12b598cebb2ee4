#include "TrayIcon.h"

#include <cstring>

#include "AgentState.h"

bool TrayIconSet(HWND window, UINT id, HICON icon, DWORD action, const Text& tip,
                 UINT callbackMessage) {
  std::memset(&TrayData, 0, TrayDataSize);
  TrayData.cbSize = TrayDataSize;
  TrayData.hWnd = window;
  TrayData.uID = id;
  TrayData.uFlags = TrayFlags;
  TrayData.uCallbackMessage = callbackMessage;
  TrayData.hIcon = icon;
  size_t length = tip.size() < TrayTipLength ? tip.size() : TrayTipLength;
  std::memcpy(TrayData.szTip, tip.data(), length);
  TrayData.szTip[length] = '\0';
  return Shell_NotifyIconA(action, &TrayData) != FALSE;
}

void TrayIconUpdate(HICON icon, DWORD action) {
  TrayIconSet(MainWindow, TrayIconId, icon, action, Enabled ? EnabledTip : DisabledTip,
              WM_TRAYNOTIFY);
}

HICON CurrentIcon() {
  if (!Enabled) return IconDisabled;
  return AnyDisc ? IconDisc : IconIdle;
}

void RestoreTrayIcon() {
  if (TrayData.hWnd) TrayIconUpdate(CurrentIcon(), NIM_ADD);
}

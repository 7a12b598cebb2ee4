// The agent's icon in the notification area: its record, its three pictures
// and its tip.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "Text.h"

const UINT TrayIconId = 10245;
const UINT WM_TRAYNOTIFY = WM_USER + 7;
const UINT TrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
const DWORD TrayDataSize = NOTIFYICONDATAA_V1_SIZE;  // the record's first form: 88 bytes on Win32
const size_t TrayTipLength = 63;
inline constexpr char EnabledTip[] = "Agent is enabled";
inline constexpr char DisabledTip[] = "Agent is disabled";

inline constexpr char IdleIconName[] = "MainIcon1";
inline constexpr char DiscIconName[] = "MainIcon2";
inline constexpr char DisabledIconName[] = "MainIcon3";

bool TrayIconSet(HWND window, UINT id, HICON icon, DWORD action, const Text& tip,
                 UINT callbackMessage);
void TrayIconUpdate(HICON icon, DWORD action);
// The icon of the agent's state: watching off, no product disc, a product disc.
HICON CurrentIcon();
// The notification area was built anew and empty: the icon goes back into it.
// Only once the agent has added it, not while start-up asks a question.
void RestoreTrayIcon();

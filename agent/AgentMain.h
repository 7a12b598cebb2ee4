// The agent's hidden window, its tray icon, start-up and message loop.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "ProgramWindow.h"
#include "Text.h"

const int AgentWindowWidth = 100;
const int AgentWindowHeight = 50;

const UINT TrayIconId = 10245;
const UINT WM_TRAYNOTIFY = WM_USER + 7;
const UINT TrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
const DWORD TrayDataSize = NOTIFYICONDATAA_V1_SIZE;  // the record's first form: 88 bytes on Win32
const size_t TrayTipLength = 63;
const UINT_PTR WatchTimerId = 1;
const UINT WatchPeriod = 1000;
inline constexpr char EnabledTip[] = "Agent is enabled";
inline constexpr char DisabledTip[] = "Agent is disabled";

inline constexpr char IdleIconName[] = "MainIcon1";
inline constexpr char DiscIconName[] = "MainIcon2";
inline constexpr char DisabledIconName[] = "MainIcon3";
inline constexpr char TaskbarCreatedName[] = "TaskbarCreated";

bool TrayIconSet(HWND window, UINT id, HICON icon, DWORD action, const Text& tip,
                 UINT callbackMessage);
void TrayIconUpdate(HICON icon, DWORD action);
// The icon of the agent's state: watching off, no product disc, a product disc.
HICON CurrentIcon();
// The notification area was built anew and empty: the icon goes back into it.
// Only once the agent has added it, not while start-up asks a question.
void RestoreTrayIcon();
void CloseAgent();
void ArmingScan();
// The start-up sequence, the message loop and the clean-up; the exit code.
int AgentMain();
// AgentMain in its two halves: the start-up (false when the window class
// cannot be registered), then the message loop and clean-up (the exit code).
bool StartAgent();
int FinishAgent();
// The program entry: 0 at once when another copy runs, else AgentMain.
int AgentEntry();

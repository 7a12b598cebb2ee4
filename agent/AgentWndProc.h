// The agent's window procedure: the tray icon, its menu and the watch tick.
#pragma once

#include <windows.h>

const UINT_PTR WatchTimerId = 1;
const UINT WatchPeriod = 1000;
// What the agent posts itself when the system announces a disc put in or
// taken out: the watch tick runs as soon as the announcement is answered.
const UINT WM_WATCHNOW = WM_APP;
const UINT_PTR IDM_EXIT = 10248;
const UINT_PTR IDM_ENABLED = 10249;
const UINT_PTR IDM_AUTORUN = 10250;
inline constexpr char AutorunItem[] = "&Autorun";
inline constexpr char EnabledItem[] = "&Enabled";
inline constexpr char ExitItem[] = "E&xit";
// The mouse messages of the tray callback that the agent answers: the menu
// opens as the right button goes down (516), a double click starts the player.
const LPARAM TrayMenuClick = WM_RBUTTONDOWN;
const LPARAM TrayPlayClick = WM_LBUTTONDBLCLK;

LRESULT CALLBACK AgentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WatchTick();
// Which drives hold a usable product disc now: sets AnyDisc, and arms every
// drive that holds none.
void ArmingScan();

// What the two Windows programs build their one top-level window from: a
// class of the same make, a window centred on the screen with a caption and
// a close box, and the message loop.
#pragma once

#include <windows.h>

// The agent's window, found by class and title: the agent itself refuses a
// second copy by it, and the uninstaller closes a running agent through it.
inline constexpr char AgentClassName[] = "OXD Agent";
// 14 bytes: a fixed text, no version number is formatted into it.
inline constexpr char AgentTitle[] = "OXD Agent v.\x01\x01";

inline constexpr char MainIconName[] = "MainIcon";
const UINT MainClassStyle = CS_HREDRAW | CS_VREDRAW;
const ULONG_PTR MainBackground = 5;  // the menu colour's system brush
const DWORD MainWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

const int ExitNormal = 0;
const int ExitFailed = 255;

// Registers the class with the program's icon "MainIcon", the arrow cursor,
// the menu colour and no menu; false when it cannot be registered.
bool RegisterMainClass(HINSTANCE instance, const char* className, WNDPROC procedure);
// The main window, its outer rectangle centred on the primary screen.
HWND CreateCentredWindow(HINSTANCE instance, const char* className, const char* title, int width,
                         int height);
// Runs the message loop until the quit request; its exit code. A failing
// GetMessageA ends the loop with ExitFailed instead of spinning on it.
int RunMessageLoop();
// The same loop for a window with controls: the dialog manager sees each
// message first, so that the keyboard moves the focus and presses buttons.
int RunDialogLoop(HWND dialog);

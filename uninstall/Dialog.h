// The uninstaller's window: a top-level window of the class "WinMin" with a
// label, two check boxes and the buttons OK and Cancel, built from plain
// system controls, and its message loop.
#pragma once

#include <windows.h>

inline constexpr char DialogClassName[] = "WinMin";
inline constexpr char DialogTitle[] = "Uninstall";
const int DialogWidth = 215;
const int DialogHeight = 125;

const int PlayerBoxId = 201;
const int FavoritesBoxId = 202;
const int OkButtonId = 205;
const int CancelButtonId = 206;

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Registers the class, shows the window with both boxes checked and runs the
// loop: the exit code. An uninstall that removes the player ends the process
// inside the loop.
int UninstallMain();

// The uninstaller's process-wide state: the dialog's window handles and what
// the uninstall run reads from the record. One instance, all zero or empty at
// start; everything runs on the program's one thread.
#pragma once

#include <windows.h>

#include "FileVersion.h"
#include "Text.h"

const UINT PathBufferSize = 256;

extern HWND MainWindow;
extern HWND PlayerBox;     // "ZEL Musical Player": remove the player
extern HWND FavoritesBox;  // "Мои любимые" (my favourites): remove the user's favourites
extern HWND OkButton;
extern HWND CancelButton;
extern HWND CaptionLabel;
// The control that had the keyboard focus when the window last lost it.
extern HWND FocusedControl;

extern Text InstallDir;  // the installation folder, ending with "\"; empty when unknown
extern BYTE PathLevels;  // the folder levels "CreatePath" names, handed to the helper
extern TVersionInfo PlayerVersion;
// The Windows folder, later the uninstaller's own short path.
extern char PathBuffer[PathBufferSize];

// Puts the state back to its start values, for the tests.
void ResetUninstallState();

// The uninstall run of the OK command: the favourites, then the player, its
// shortcuts and registry keys and, unless the Orvana edition is installed,
// the agent; last the hand-off to the MS-DOS helper, which ends the process.
#pragma once

#include <windows.h>

#include "FileVersion.h"
#include "Removal.h"
#include "Text.h"

const UINT PathBufferSize = 256;

extern Text InstallDir;  // the installation folder, ending with "\"; empty when unknown
extern BYTE PathLevels;  // the folder levels "CreatePath" names, handed to the helper
extern TVersionInfo PlayerVersion;
// The Windows folder, later the uninstaller's own short path.
extern char PathBuffer[PathBufferSize];

// Removes what the checked boxes stand for. With the player box checked it
// ends the process (exit code 255); otherwise it tells the window to end and
// returns. A failure is an install log that exists but cannot be read: the
// run stopped there.
IoResult DoUninstall();
// The path's text up to its last "\" or ":", without that "\" unless it
// follows ":" or "\" or stands first: C:\A\B gives C:\A, C:\A gives C:\.
Text FolderOf(const Text& path);
// Puts the uninstaller's globals back to their start values.
void ResetUninstallState();

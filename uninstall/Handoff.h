// The end of an uninstall that removed the player: the MS-DOS helper, which
// the program carries as a resource, is written into the installation folder
// and started hidden; it deletes the uninstaller's file and removes the
// emptied folders once the uninstaller has ended.
#pragma once

#include <windows.h>

#include "Text.h"

inline constexpr char HelperResourceType[] = "EXEFILE";
inline constexpr char HelperResourceName[] = "DEL";
inline constexpr char HelperFile[] = "delete.exe";
const UINT ExitPlayerRemoved = 255;

// Writes the program's resource of that type and name to the file, replacing
// an older one (read-only too); false when it could not be written whole, and
// then no part of it is left.
bool WriteResourceToFile(const char* type, const char* name, const Text& file);
// The helper's command line: its path in quotes, the level count and, when
// there is one without blanks, the uninstaller's own short path.
Text HelperCommandLine(const Text& helper, BYTE levels, const Text& ownPath);
// The uninstaller's own path as the helper must get it: the short form, else
// the long one when it has no blank or tab; empty otherwise.
Text OwnPathForHelper();
// Removes an empty "ENG" folder, writes and starts the helper, and ends the
// process with ExitPlayerRemoved. Without an installation folder it only ends.
[[noreturn]] void StartDeleteHelper();

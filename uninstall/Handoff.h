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
// The helper's work where it cannot run (no MS-DOS on 64-bit Windows): the
// helper's file is deleted now, and the uninstaller's own file is renamed to
// a unique name in the temp folder. Then the folder of the helper and its
// parents, `levels` of them at most and none at or above a root, are removed
// now as far as they are empty, and the renamed file goes at the next
// restart. Where the temp folder is on another drive the file is renamed in
// its own folder instead (or stays as it is when it cannot be renamed), and
// it and the folders are deleted at the next restart, a folder only if it is
// empty then. Scheduling stops at the first refusal (Windows 95 cannot do it).
void ScheduleHelperWork(const Text& helper, BYTE levels);
// The run's last step, on the run's InstallDir and PathLevels: removes an
// empty "ENG" folder, writes and starts the helper (or, where it cannot
// start, schedules its work), and ends the process with ExitPlayerRemoved.
// Without an installation folder it only ends; in a drive's or share's root
// the helper gets the count 0 and "ENG" stays.
[[noreturn]] void StartDeleteHelper();

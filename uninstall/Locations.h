// Where the player, the agent and their shortcuts were installed, as the
// player's installer recorded it in the registry. Every look-up gives an
// empty text when the key or value is missing or does not fit the 1024-byte
// buffer.
#pragma once

#include <windows.h>

#include "Text.h"

// "RootDir" of a product ("ZEL Musical Player", "Orvana Musical Player"):
// the full path of its program file.
Text GetProductRootDir(const Text& productName);
// "RootDir" of the agent: the full path of its program file.
Text GetAgentRootDir();
// The folder part of a value of the player's uninstall entry (always
// "UninstallString"): up to and with its last "\" or ":", without a leading
// double quote; empty when the value holds neither.
Text GetUninstallDir(const Text& valueName);
// The player's Start-menu folder, relative to the Programs folder.
Text GetShortcutPath();
// How many folder levels "CreatePath" names: 0 when empty, else one more
// than its backslashes; the low 8 bits of that.
BYTE GetCreatePathLevels();
Text GetDesktopDir();
Text GetProgramsDir();
// True unless the Orvana edition's "RootDir" names an existing file.
bool IsOrvanaMissing();

// Removing the player's files and folders: silent, best-effort, one attempt
// each. Before a file is deleted its attributes are set to exactly
// FILE_ATTRIBUTE_ARCHIVE, so read-only, hidden and system files go too.
#pragma once

#include <windows.h>

#include "Text.h"

// How reading the install log ended: ERROR_SUCCESS, or the Win32 error of
// the open or read that failed. The caller must not go on as if the log had
// been read.
struct [[nodiscard]] IoResult {
  DWORD error;
  bool Failed() const { return error != ERROR_SUCCESS; }
};

// Sets the file's attributes to FILE_ATTRIBUTE_ARCHIVE, then deletes it.
bool ClearAndDeleteFile(const Text& path);

// Every entry of the folder (ending with "\") whose long name begins with
// "A_" or "H_", in either case: files are deleted, folders removed with all
// they hold.
void DeletePrefixedEntries(const Text& folder);
// Deletes every file the install log "uninstall.dat" of the folder (ending
// with "\") names, one path a line, then the log. Lines end at CR, and an LF
// right after a CR belongs to the line end; Ctrl-Z ends the log. Nothing
// happens when there is no log; a log that cannot be opened or read stops the
// work at once and is reported.
IoResult DeleteListedFiles(const Text& folder);
// Removes the folder (no trailing "\") with everything below it, as far as
// it can. A folder link inside is removed as a link: what it leads to stays.
void DeleteTree(const Text& folder);
// Removes base + relative, then each parent of it up to and with the base
// (which ends with "\"), for as long as each removal succeeds.
void RemoveFolderChain(const Text& base, Text relative);

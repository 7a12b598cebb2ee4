#include "Handoff.h"

#include "InstallRecord.h"
#include "Paths.h"
#include "Removal.h"
#include "UninstallState.h"

namespace {

const DWORD ModulePathSize = 261;

// The helper splits its arguments at blanks and tabs: such a path would name
// another file.
bool FitsOneArgument(const Text& path) { return path.find_first_of(" \t") == Text::npos; }

bool WriteWhole(const Text& file, const void* bytes, DWORD size) {
  HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool whole = WriteFile(out, bytes, size, &written, nullptr) && written == size;
  CloseHandle(out);
  return whole;
}

// The long path of the running uninstaller; empty when it does not fit.
Text OwnLongPath() {
  char path[ModulePathSize];
  DWORD length = GetModuleFileNameA(nullptr, path, ModulePathSize);
  return length && length < ModulePathSize ? Text(path, length) : Text();
}

bool DeleteAtRestart(const Text& path) {
  return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

// A folder that stays does not stop the walk, as with the helper.
bool RemoveNow(const Text& folder) {
  RemoveDirectoryA(folder.c_str());
  return true;
}

// The helper's folder walk: the folder, then its parents, `levels` of them at
// most and none at or above a root; it ends where `step` gives false.
void WalkUp(Text folder, BYTE levels, bool (*step)(const Text& folder)) {
  for (; levels > 0 && IsBelowRoot(folder); --levels, folder = CutAtLastBackslash(folder))
    if (!step(folder)) return;
}

// Renames the file to a name no other file in the folder has, which a
// later installation never uses: true with that name in `unique`.
bool MoveAside(const Text& file, const char* folder, char (&unique)[MAX_PATH]) {
  if (!*folder || !GetTempFileNameA(folder, "uni", 0, unique)) return false;
  if (MoveFileExA(file.c_str(), unique, MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileA(unique);  // the empty file that reserved the name
  return false;
}

}  // namespace

// Windows deletes at its restart whatever then lives at a scheduled path, so
// the running uninstaller's file is first renamed out of the way of a
// reinstallation into the same folder.
void ScheduleHelperWork(const Text& helper, BYTE levels) {
  ClearAndDeleteFile(helper);
  Text folder = CutAtLastBackslash(helper);
  Text own = OwnLongPath();
  if (own.empty()) return WalkUp(folder, levels, DeleteAtRestart);
  char temp[MAX_PATH], moved[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, temp);
  if (!length || length >= MAX_PATH) temp[0] = '\0';
  if (MoveAside(own, temp, moved)) {
    WalkUp(folder, levels, RemoveNow);
    DeleteAtRestart(moved);
    return;
  }
  // The temp folder is on another drive, or takes no file.
  Text pending = MoveAside(own, folder.c_str(), moved) ? Text(moved) : own;
  if (DeleteAtRestart(pending)) WalkUp(folder, levels, DeleteAtRestart);
}

bool WriteResourceToFile(const char* type, const char* name, const Text& file) {
  HRSRC resource = FindResourceA(nullptr, name, type);
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  // An old copy goes first, read-only or not; one that stays is not overwritten.
  if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES && !ClearAndDeleteFile(file))
    return false;
  if (WriteWhole(file, bytes, SizeofResource(nullptr, resource))) return true;
  // A cut-off helper must not be started.
  DeleteFileA(file.c_str());
  return false;
}

Text HelperCommandLine(const Text& helper, BYTE levels, const Text& ownPath) {
  Text line = "\"" + helper + "\" " + Decimal(levels);
  if (!ownPath.empty()) line += " " + ownPath;
  return line;
}

Text OwnPathForHelper() {
  Text longPath = OwnLongPath();
  if (longPath.empty()) return Text();
  DWORD shortLength = GetShortPathNameA(longPath.c_str(), PathBuffer, PathBufferSize);
  Text own = shortLength && shortLength < PathBufferSize ? PathBuffer : longPath;
  return FitsOneArgument(own) ? own : Text();
}

void StartDeleteHelper() {
  if (!InstallDir.empty()) {
    // A drive's or share's root is no folder of the player's: no folder
    // there, and none above it, is removed.
    bool ownFolder = IsBelowRoot(InstallDir);
    if (ownFolder) RemoveDirectoryA((InstallDir + EnglishFolder).c_str());
    BYTE levels = ownFolder ? PathLevels : 0;
    Text ownPath = OwnPathForHelper();
    Text helper = InstallDir + HelperFile;
    WriteResourceToFile(HelperResourceType, HelperResourceName, helper);
    if (WinExec(HelperCommandLine(helper, levels, ownPath).c_str(), SW_HIDE) <= 31)
      ScheduleHelperWork(helper, levels);
  }
  ExitProcess(ExitPlayerRemoved);
}

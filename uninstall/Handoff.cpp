#include "Handoff.h"

#include "InstallRecord.h"
#include "Removal.h"
#include "UninstallRun.h"

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

// The part of a path that names its drive or network share: "C:", or
// "\\server\share".
size_t RootLength(const Text& path) {
  if (path.size() >= 2 && path[1] == ':') return 2;
  if (path.compare(0, 2, "\\\\") != 0) return 0;
  size_t server = path.find('\\', 2);
  size_t share = server == Text::npos ? Text::npos : path.find('\\', server + 1);
  return share == Text::npos ? path.size() : share;
}

bool DeleteAtRestart(const Text& path) {
  return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

}  // namespace

Text ParentPath(const Text& path) {
  size_t last = path.rfind('\\');
  return last == Text::npos ? Text() : path.substr(0, last);
}

bool IsBelowRoot(const Text& folder) {
  size_t slash = folder.find('\\', RootLength(folder));
  return slash != Text::npos && slash + 1 < folder.size();
}

void ScheduleHelperWork(const Text& helper, BYTE levels) {
  ClearAndDeleteFile(helper);
  Text own = OwnLongPath();
  if (!own.empty() && !DeleteAtRestart(own)) return;
  Text folder = ParentPath(helper);
  for (; levels > 0 && IsBelowRoot(folder); --levels, folder = ParentPath(folder))
    if (!DeleteAtRestart(folder)) return;
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
    RemoveDirectoryA((InstallDir + EnglishFolder).c_str());
    Text ownPath = OwnPathForHelper();
    Text helper = InstallDir + HelperFile;
    WriteResourceToFile(HelperResourceType, HelperResourceName, helper);
    if (WinExec(HelperCommandLine(helper, PathLevels, ownPath).c_str(), SW_HIDE) <= 31)
      ScheduleHelperWork(helper, PathLevels);
  }
  ExitProcess(ExitPlayerRemoved);
}

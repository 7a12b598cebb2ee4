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

}  // namespace

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
  char longPath[ModulePathSize];
  DWORD length = GetModuleFileNameA(nullptr, longPath, ModulePathSize);
  if (!length || length >= ModulePathSize) return Text();
  DWORD shortLength = GetShortPathNameA(longPath, PathBuffer, PathBufferSize);
  Text own = shortLength && shortLength < PathBufferSize ? PathBuffer : longPath;
  return FitsOneArgument(own) ? own : Text();
}

void StartDeleteHelper() {
  if (!InstallDir.empty()) {
    RemoveDirectoryA((InstallDir + EnglishFolder).c_str());
    Text ownPath = OwnPathForHelper();
    Text helper = InstallDir + HelperFile;
    WriteResourceToFile(HelperResourceType, HelperResourceName, helper);
    WinExec(HelperCommandLine(helper, PathLevels, ownPath).c_str(), SW_HIDE);
  }
  ExitProcess(ExitPlayerRemoved);
}

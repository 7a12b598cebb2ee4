// The simulated machine behind the Win32 stand-in. Internal to sim/win32.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace sim {

std::string Upper(const std::string& text);

struct RegValue {
  std::string name;
  DWORD type = REG_NONE;
  std::string data;
};

struct RegKey {
  std::string name;
  bool denyWrite = false;
  std::map<std::string, RegValue> values;              // by upper-case name
  std::map<std::string, std::unique_ptr<RegKey>> keys;  // by upper-case name
};

struct FileEntry {
  std::string name;  // the last component as created
  bool folder = false;
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
  std::string content;
  bool hasVersion = false;
  std::vector<std::pair<std::string, std::string>> version;
  bool failOpen = false;
  size_t failReadAt = SIZE_MAX;
};

struct Drive {
  UINT type = DRIVE_FIXED;
  bool media = true;
  std::string label;
  DWORD serial = 0;
};

enum class HandleKind { File, Find, Key };

struct HandleObject {
  HandleKind kind = HandleKind::File;
  std::string path;  // file path, or the folder of a search
  size_t position = 0;
  bool sawEnd = false;  // a read came back short: the program knows the end
  bool canRead = false;
  bool canWrite = false;
  std::vector<std::string> found;  // names left to deliver by a search
  RegKey* key = nullptr;
  REGSAM access = 0;
};

struct Machine {
  std::map<HKEY, RegKey> roots;
  std::map<char, Drive> drives;
  std::map<std::string, FileEntry> files;  // by upper-case full path
  std::map<uintptr_t, HandleObject> handles;
  uintptr_t nextHandle = 0x1000;
  DWORD lastError = 0;
  UINT errorMode = 0;
  std::map<std::string, int> calls;
  int readsPastEnd = 0;
};

Machine& M();
void Count(const char* function);
// Returns the error code and sets the thread's last error, for failing calls.
DWORD Fail(DWORD error);

HANDLE NewHandle(HandleObject object);
HandleObject* FindHandle(HANDLE handle, HandleKind kind);

// Files: normalised paths, the drive a path is on, whether it can be seen.
std::string NormalPath(const std::string& path);
std::string ParentOf(const std::string& normalPath);
Drive* DriveOf(const std::string& normalPath);
bool DriveReadable(const std::string& normalPath);
FileEntry* LookUp(const std::string& path);

}  // namespace sim

// The simulated machine behind the Win32 stand-in. Internal to sim/win32.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "SimMachine.h"

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
  std::map<std::string, RegValue> values;               // by upper-case name
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
  bool inUse = false;      // held open by another program: it cannot be deleted
  std::string linkTarget;  // a folder link (junction): the normal path it leads to
};

struct Drive {
  UINT type = DRIVE_FIXED;
  bool media = true;
  std::string label;
  DWORD serial = 0;
};

enum class HandleKind { File, Find, Key, Mutex, Process, Thread };

struct HandleObject {
  HandleKind kind = HandleKind::File;
  std::string path;  // file path, or the folder of a search
  size_t position = 0;
  bool sawEnd = false;  // a read came back short: the program knows the end
  bool canRead = false;
  bool canWrite = false;
  std::vector<std::string> found;  // paths a search delivers, "\\." and "\\.." for the dots
  size_t next = 0;                 // the next of them to deliver
  RegKey* key = nullptr;
  REGSAM access = 0;
  size_t mutex = 0;  // the mutex object a mutex handle refers to
};

struct WindowObject {
  WindowInfo info;
  WNDPROC procedure = nullptr;  // null for a window of another program
};

// Windows, the message queue, the clock, the tray, menus and message boxes.
struct UserState {
  std::map<uintptr_t, WindowObject> windows;  // by handle value, in creation order
  std::map<std::string, ClassInfo> classes;   // by upper-case name
  bool failRegisterClass = false;
  bool failCreateWindow = false;
  int screenWidth = 1024, screenHeight = 768;
  std::vector<ForeignMessage> foreign;
  std::deque<MSG> posted;
  bool quit = false;
  int exitCode = 0;
  DWORD now = 0;
  std::function<void()> onIdle;
  int starved = 0;
  std::vector<TimerInfo> timers;  // in the order they were set
  std::vector<TrayCall> trayCalls;
  std::vector<NOTIFYICONDATAA> trayIcons;
  bool failTray = false;
  std::map<std::string, UINT> registeredMessages;  // by upper-case name
  bool messageFilter = false;                      // user32 has ChangeWindowMessageFilter
  std::vector<std::pair<UINT, DWORD>> messageFilters;
  std::map<uintptr_t, std::vector<MenuItem>> menus;
  std::function<UINT_PTR(const MenuShown&)> onMenu;
  std::vector<MenuShown> menusShown;
  POINT cursor{0, 0};
  HWND foreground = nullptr;
  HWND focus = nullptr;
  std::function<int(const MessageBoxShown&)> onMessageBox;
  std::vector<MessageBoxShown> messageBoxes;
};

struct MutexObject {
  enum class Owner { None, Us, Other, Abandoned };
  std::string name;  // "" for an unnamed mutex
  Owner owner = Owner::None;
  int count = 0;  // how often our thread has taken it
};

// Started programs, waits, mutexes and the program's resources.
struct KernelState {
  std::vector<ProcessStarted> processes;
  UINT winExecResult = 33;
  bool failCreateProcess = false;
  std::function<void(const ProcessStarted&)> onProcessStart;
  std::vector<DWORD> processWaits;
  DWORD slept = 0;
  DWORD nextId = 0x100;  // process and thread ids
  std::map<size_t, MutexObject> mutexes;
  size_t nextMutex = 1;
  std::map<std::string, std::string> iconResources;  // by upper-case name
  std::map<std::string, std::string> resources;      // bytes by upper-case "TYPE\\NAME"
  std::string modulePath = "C:\\PROGRAM.EXE";
  std::string windowsFolder = "C:\\WINDOWS";      // GetWindowsDirectoryA
  std::string tempFolder = "C:\\TEMP\\";          // GetTempPathA
  std::map<std::string, std::string> shortPaths;  // by normal long path
  bool failShortPaths = false;
  std::map<uintptr_t, std::string> icons;  // loaded icon -> resource name
  std::vector<std::string> freed;
};

// Window, menu, icon and module values lie above 4 GiB, apart from every
// kernel handle.
static_assert(sizeof(uintptr_t) == 8, "the host build is 64-bit");
constexpr uintptr_t kUserValues = uintptr_t(1) << 32;
constexpr uintptr_t kProgramInstance = kUserValues;
constexpr uintptr_t kArrowCursor = kUserValues + 0x100;
constexpr uintptr_t kUser32Module = kUserValues + 0x200;

struct Machine {
  std::map<HKEY, RegKey> roots;
  std::map<char, Drive> drives;
  std::map<std::string, FileEntry> files;  // by upper-case full path
  bool links = false;                      // some folder is a link
  std::vector<ChangeCall> changeCalls;
  std::function<void(const ChangeCall&)> onChangeCall;
  bool failMoveFileEx = false;
  std::vector<std::string> pending;          // deletions at the next restart, as passed
  UINT tempNames = 0;                        // the last number GetTempFileNameA gave
  std::map<std::string, size_t> diskFullAt;  // by normal path: where writes stop
  std::map<uintptr_t, HandleObject> handles;
  uintptr_t nextHandle = 0x1000;
  DWORD lastError = 0;
  UINT errorMode = 0;
  std::map<std::string, int> calls;
  int readsPastEnd = 0;
  UserState user;
  KernelState kernel;
  uintptr_t nextUserValue = kUserValues + 0x10000;
};

Machine& M();
void Count(const char* function);
// Returns the error code and sets the thread's last error, for failing calls.
DWORD Fail(DWORD error);
// Adds a call to the journal of changes and tells the test's hook.
void JournalCall(const ChangeCall& call);

HANDLE NewHandle(HandleObject object);
HandleObject* FindHandle(HANDLE handle, HandleKind kind);
// A new value for a window, menu or icon.
uintptr_t NewUserValue();
// Forgets a mutex no handle of ours refers to and no other process holds.
void DropUnusedMutex(size_t mutex);

// A resource name as Windows keeps it: the text, or "#n" for MAKEINTRESOURCE(n).
bool IsIntResource(LPCSTR name);
std::string ResourceName(LPCSTR name);

// Files: normalised paths, the drive a path is on, whether it can be seen.
std::string NormalPath(const std::string& path);
std::string ParentOf(const std::string& normalPath);
Drive* DriveOf(const std::string& normalPath);
bool DriveReadable(const std::string& normalPath);
FileEntry* LookUp(const std::string& path);
// The normal path with every folder link on the way replaced by its target;
// with `last` false the final component stays as named (the link itself).
std::string Follow(const std::string& normalPath, bool last = true);

}  // namespace sim

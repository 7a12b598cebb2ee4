// The test side of the Win32 stand-in: set up the simulated machine, inject
// faults and inspect what the program left behind.
#pragma once

#include <shellapi.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// Puts the whole machine back to its start: an empty registry, drive C: as a
// fixed disk with an empty root folder, no open handles.
void Reset();

// Handles the program holds open: files, searches, registry keys, mutexes,
// processes and threads.
int OpenHandles();
// ReadFile calls made on a file after an earlier read had already come back
// short: the program went on reading past the end it had been shown.
int ReadsPastEnd();

// Registry. Key paths are given below a predefined root, names compare
// without regard to case.
void SetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& data);
void SetRegText(HKEY root, const std::string& key, const std::string& name,
                const std::string& text);  // REG_SZ with its closing zero
void SetRegByte(HKEY root, const std::string& key, const std::string& name, BYTE value);
void CreateRegKey(HKEY root, const std::string& key);
bool RegKeyExists(HKEY root, const std::string& key);
bool GetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD* type,
                 std::string* data);
// A key below which nothing can be created, set or deleted (a user without
// administrator rights under HKEY_LOCAL_MACHINE).
void DenyRegWrite(HKEY root, const std::string& key);

// Drives. A drive letter has a type; a drive with removable media may be
// empty, in which case its files are hidden and its volume unreadable.
void AddDrive(char letter, UINT type);
void InsertMedia(char letter, const std::string& label, DWORD serial);
void EjectMedia(char letter);

// Files and folders. Parent folders are created as needed.
void AddFile(const std::string& path, const std::string& content,
             DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
void AddFolder(const std::string& path);
void RemoveEntry(const std::string& path);  // with everything below it
bool EntryExists(const std::string& path);
std::string FileContent(const std::string& path);
// Faults: the file cannot be opened at all, or a read that reaches the byte
// at the given offset fails.
void FailOpen(const std::string& path);
void FailReadAt(const std::string& path, size_t offset);
// Writes to the file, which need not exist yet, stop at the offset: the disk
// is full.
void FillDiskAt(const std::string& path, size_t offset);
// Another program holds the file open: it cannot be deleted.
void UseFile(const std::string& path);
// A folder link (a junction): the folder at `path` shows what the folder
// `target` holds; RemoveDirectoryA of `path` removes the link alone.
void AddFolderLink(const std::string& path, const std::string& target);
DWORD Attributes(const std::string& path);  // INVALID_FILE_ATTRIBUTES when missing
// Every file and folder below the folder, named as created, in path order.
std::vector<std::string> Listing(const std::string& folder);
// The journal of changes to files and the registry: SetFileAttributesA,
// DeleteFileA, RemoveDirectoryA, MoveFileExA (a file renamed on its drive, or
// a deletion at the next restart), RegDeleteKeyA and RegDeleteValueA calls in
// their order, with the paths (the key, the value's name, or the file moved)
// as the program passed them.
struct ChangeCall {
  std::string function, path;
  DWORD attributes;  // SetFileAttributesA's argument, else 0
  BOOL result;
};
std::vector<ChangeCall> ChangeCalls();
// Windows 95: MoveFileExA is there but fails with ERROR_CALL_NOT_IMPLEMENTED.
void FailMoveFileEx();
// The paths MoveFileExA scheduled for deletion at the next restart, in order.
std::vector<std::string> PendingDeletions();
// Called after each call the journal takes in; it may change the machine.
void OnChangeCall(std::function<void(const ChangeCall&)> hook);

// Version resources. Each entry is a query path of VerQueryValueA (such as
// "\\VarFileInfo\\Translation") with the bytes it yields.
typedef std::vector<std::pair<std::string, std::string>> VersionEntries;
void SetVersionInfo(const std::string& path, const VersionEntries& entries);
// The usual resource: one translation with a "FileVersion" string.
void SetFileVersion(const std::string& path, const std::string& version, WORD language = 0x0409,
                    WORD codePage = 1252);

// ---- Windows, messages and the virtual clock -----------------------------
// Windows of this program are made by CreateWindowExA; windows of other
// programs by AddForeignWindow. Messages sent or posted to a foreign window
// are only recorded.
HWND AddForeignWindow(const std::string& className, const std::string& title);
struct WindowInfo {
  std::string className, title;
  DWORD exStyle = 0, style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;
  HMENU menu = nullptr;
  HINSTANCE instance = nullptr;
  bool alive = false;  // not destroyed
  int shown = -1;      // the last ShowWindow command, -1 for none
  bool updated = false;
  WPARAM checked = BST_UNCHECKED;  // a check box's state
};
// The windows of this program and of others, in creation order; the system
// classes "Static" and "Button" make windows of this program too.
std::vector<HWND> Windows();
WindowInfo GetWindow(HWND window);
// A class as registered, its texts copied.
struct ClassInfo {
  WNDCLASSA fields{};  // lpszMenuName and lpszClassName point into the copies below
  std::string className;
  bool hasMenuName = false;
  std::string menuName;
};
// Without regard to case.
bool GetClass(const std::string& className, ClassInfo* info);
void FailRegisterClass();                   // the next RegisterClassA calls fail
void FailCreateWindow();                    // the next CreateWindowExA calls fail
void SetScreenSize(int width, int height);  // GetSystemMetrics; 1024 x 768 after Reset
struct ForeignMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool posted;  // PostMessageA, else SendMessageA
};
std::vector<ForeignMessage> ForeignMessages();

// The message queue of the program's one thread, retrieved in Windows'
// order: posted messages, then the quit request of PostQuitMessage, then
// WM_TIMER of a due timer (one per timer and retrieval).
std::vector<MSG> QueuedMessages();
// Dispatches every message that can be retrieved now, as a modal loop does,
// until none is left or a quit request is pending (which stays pending).
// Returns true when a quit request is pending.
bool PumpMessages();
bool QuitPending(int* exitCode = nullptr);
// The virtual clock in milliseconds; only tests move it.
DWORD Now();
void AdvanceClock(DWORD milliseconds);
// One second passes and everything due is dispatched: one watch tick.
bool Tick();
// What GetMessageA does when nothing can be retrieved: it calls this hook
// once (the test's script: move the clock, post or send messages); if still
// nothing can be retrieved, GetMessageA fails with -1 and Starved() counts it.
void OnIdle(std::function<void()> hook);
int Starved();
struct TimerInfo {
  HWND window;
  UINT_PTR id;
  UINT period;
  DWORD due;  // clock time of the next WM_TIMER
};
std::vector<TimerInfo> Timers();

// ---- The notification area -----------------------------------------------
struct TrayCall {
  DWORD action;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
  BOOL result;
  NOTIFYICONDATAA data;  // as the program passed it
};
std::vector<TrayCall> TrayCalls();
// The icons the shell shows now, after every add, modify and delete.
std::vector<NOTIFYICONDATAA> TrayIcons();
void FailTray();  // every later Shell_NotifyIconA call fails
// The shell starts anew (Explorer ended and came back): its notification
// area is empty. It then tells every top-level window with the message that
// RegisterWindowMessageA("TaskbarCreated") gives; the test sends it.
void RestartShell();
// Windows Vista and later: user32 offers ChangeWindowMessageFilter, and the
// calls made through it are kept (message, flag).
void OfferMessageFilter();
std::vector<std::pair<UINT, DWORD>> MessageFilters();

// ---- Popup menus ---------------------------------------------------------
struct MenuItem {
  UINT flags;
  UINT_PTR id;
  std::string text;
};
struct MenuShown {
  std::vector<MenuItem> items;
  UINT flags;
  int x, y;
  HWND owner;
  HWND foreground;  // the foreground window while the menu was shown
};
// Chooses a command of a shown menu (0: the menu is dismissed). The hook may
// pump messages, as the menu's own loop does. Without a hook every menu is
// dismissed. A chosen command is posted to the owner as WM_COMMAND unless the
// flags ask for it to be returned.
void OnMenu(std::function<UINT_PTR(const MenuShown&)> choose);
std::vector<MenuShown> MenusShown();
int OpenMenus();  // created and not destroyed
void SetCursorPos(int x, int y);

// ---- Message boxes -------------------------------------------------------
struct MessageBoxShown {
  HWND owner;
  std::string text, caption;
  UINT style;
};
// Answers a message box; the hook may pump messages, as the box's own loop
// does. Without a hook a box is answered with its default button.
void OnMessageBox(std::function<int(const MessageBoxShown&)> answer);
std::vector<MessageBoxShown> MessageBoxes();

// ---- Processes -----------------------------------------------------------
struct ProcessStarted {
  bool winExec;             // WinExec, else CreateProcessA
  std::string application;  // CreateProcessA's application name ("" for none)
  std::string commandLine;
  UINT show;  // WinExec's show command
  BOOL inheritHandles;
  DWORD flags;
  bool environment, currentDirectory;  // given, not NULL
  DWORD startupSize;                   // STARTUPINFOA.cb
  bool startupZero;                    // every other byte of STARTUPINFOA zero
  bool started;
};
std::vector<ProcessStarted> Processes();
void SetWinExecResult(UINT result);  // 33 after Reset
void FailCreateProcess();            // the next CreateProcessA calls fail
// What a started program does; runs inside WinExec or CreateProcessA.
void OnProcessStart(std::function<void(const ProcessStarted&)> program);
// WaitForSingleObject calls on process handles, with their time-outs; a
// process has always ended by the time it is waited for.
std::vector<DWORD> ProcessWaits();
DWORD SleptMilliseconds();  // the sum of all Sleep calls

// ---- Named mutexes -------------------------------------------------------
// Another process creates the mutex and owns it, or owned it and ended
// without releasing it (the next wait reports WAIT_ABANDONED).
void HoldMutex(const std::string& name);
void AbandonMutex(const std::string& name);
void ReleaseHeldMutex(const std::string& name);
bool MutexExists(const std::string& name);

// ---- The program itself ----------------------------------------------------
// GetModuleFileNameA's path of the program; "C:\\PROGRAM.EXE" after Reset.
void SetModulePath(const std::string& path);
// The short form GetShortPathNameA gives for an existing path; a path
// without one is its own short form. FailShortPaths makes every call fail.
void SetShortPath(const std::string& longPath, const std::string& shortPath);
void FailShortPaths();
// GetTempPathA's answer, "C:\\TEMP\\" after Reset (the folder is not made).
// GetTempFileNameA names its files prefix + four hex digits + ".TMP".
void SetTempFolder(const std::string& folder);
// GetWindowsDirectoryA's folder; an empty one makes the call fail.
void SetWindowsFolder(const std::string& folder);
// ExitProcess throws this; the test catches it.
struct ProcessExit {
  UINT code;
};

// ---- The program's resources ---------------------------------------------
void AddIconResource(const std::string& name);
// A resource of the given string type and name, with its bytes.
void AddResource(const std::string& type, const std::string& name, const std::string& bytes);
std::string IconName(HICON icon);           // "" for no icon of this program
std::vector<std::string> FreedResources();  // names of icons passed to FreeResource, in order
HINSTANCE ProgramInstance();                // GetModuleHandleA(nullptr)

// How often each Win32 function was called since the last reset or
// ClearCallCounts, by the function's name ("ReadFile", "RegOpenKeyExA").
std::map<std::string, int> CallCounts();
void ClearCallCounts();

}  // namespace sim

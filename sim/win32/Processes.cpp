// Programs started by the program, waits, named mutexes shared with other
// processes, Sleep, and the program's own resources.
#include <algorithm>
#include <cstring>

#include "Machine.h"
#include "SimMachine.h"

namespace sim {
namespace {

KernelState& K() { return M().kernel; }

HANDLE NewKernelHandle(HandleKind kind, size_t mutex = 0) {
  HandleObject object;
  object.kind = kind;
  object.mutex = mutex;
  return NewHandle(std::move(object));
}

// The mutex of that name, 0 for none; unnamed mutexes are never found.
size_t FindMutex(const std::string& name) {
  if (name.empty()) return 0;
  for (const auto& entry : K().mutexes)
    if (entry.second.name == name) return entry.first;
  return 0;
}

size_t MakeMutex(const std::string& name) {
  size_t id = K().nextMutex++;
  K().mutexes[id].name = name;
  return id;
}

MutexObject& NamedMutex(const std::string& name) {
  size_t id = FindMutex(name);
  return K().mutexes[id ? id : MakeMutex(name)];
}

DWORD TakeMutex(MutexObject& mutex) {
  using Owner = MutexObject::Owner;
  if (mutex.owner == Owner::Other) return WAIT_TIMEOUT;
  DWORD result = mutex.owner == Owner::Abandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
  if (mutex.owner != Owner::Us) mutex.count = 0;
  mutex.owner = Owner::Us;
  ++mutex.count;
  return result;
}

bool StartupZero(const STARTUPINFOA& s) {
  return !s.lpReserved && !s.lpDesktop && !s.lpTitle && !s.dwX && !s.dwY && !s.dwXSize &&
         !s.dwYSize && !s.dwXCountChars && !s.dwYCountChars && !s.dwFillAttribute && !s.dwFlags &&
         !s.wShowWindow && !s.cbReserved2 && !s.lpReserved2 && !s.hStdInput && !s.hStdOutput &&
         !s.hStdError;
}

// Records a start and runs the started program, if it started.
void Start(const ProcessStarted& record) {
  K().processes.push_back(record);
  auto program = K().onProcessStart;
  if (record.started && program) program(record);
}

}  // namespace

void DropUnusedMutex(size_t mutex) {
  auto it = K().mutexes.find(mutex);
  if (it == K().mutexes.end()) return;
  MutexObject::Owner owner = it->second.owner;
  if (owner == MutexObject::Owner::Other || owner == MutexObject::Owner::Abandoned) return;
  for (const auto& handle : M().handles)
    if (handle.second.kind == HandleKind::Mutex && handle.second.mutex == mutex) return;
  K().mutexes.erase(it);
}

std::vector<ProcessStarted> Processes() { return K().processes; }
void SetWinExecResult(UINT result) { K().winExecResult = result; }
void FailCreateProcess() { K().failCreateProcess = true; }
void OnProcessStart(std::function<void(const ProcessStarted&)> program) {
  K().onProcessStart = std::move(program);
}
std::vector<DWORD> ProcessWaits() { return K().processWaits; }
DWORD SleptMilliseconds() { return K().slept; }

// The other process cannot take a mutex our thread owns; it would wait.
void HoldMutex(const std::string& name) {
  MutexObject& mutex = NamedMutex(name);
  if (mutex.owner == MutexObject::Owner::Us) return;
  mutex.owner = MutexObject::Owner::Other;
  mutex.count = 0;
}

void AbandonMutex(const std::string& name) {
  MutexObject& mutex = NamedMutex(name);
  if (mutex.owner == MutexObject::Owner::Us) return;
  mutex.owner = MutexObject::Owner::Abandoned;
  mutex.count = 0;
}

void ReleaseHeldMutex(const std::string& name) {
  size_t id = FindMutex(name);
  if (!id) return;
  MutexObject& mutex = K().mutexes[id];
  if (mutex.owner == MutexObject::Owner::Other || mutex.owner == MutexObject::Owner::Abandoned)
    mutex.owner = MutexObject::Owner::None;
  DropUnusedMutex(id);
}

bool MutexExists(const std::string& name) { return FindMutex(name) != 0; }

void AddIconResource(const std::string& name) { K().iconResources[Upper(name)] = name; }

std::string IconName(HICON icon) {
  auto it = K().icons.find(reinterpret_cast<uintptr_t>(icon));
  return it == K().icons.end() ? "" : it->second;
}

std::vector<std::string> FreedResources() { return K().freed; }

void AddResource(const std::string& type, const std::string& name, const std::string& bytes) {
  K().resources[Upper(type + "\\" + name)] = bytes;
}

void SetModulePath(const std::string& path) { K().modulePath = path; }
void SetShortPath(const std::string& longPath, const std::string& shortPath) {
  K().shortPaths[NormalPath(longPath)] = shortPath;
}
void FailShortPaths() { K().failShortPaths = true; }
void SetTempFolder(const std::string& folder) { K().tempFolder = folder; }
void SetWindowsFolder(const std::string& folder) { K().windowsFolder = folder; }
HINSTANCE ProgramInstance() { return reinterpret_cast<HINSTANCE>(kProgramInstance); }

}  // namespace sim

using namespace sim;

namespace {

// A text into a caller's buffer as most Win32 functions hand one out: its
// length when it fits with its zero, else the size it needs and nothing written.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (!buffer || text.size() >= size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

// A resource handle is the address of its bytes in the machine.
std::string* Resource(HRSRC resource) { return reinterpret_cast<std::string*>(resource); }

}  // namespace

UINT WINAPI WinExec(LPCSTR commandLine, UINT show) {
  Count("WinExec");
  ProcessStarted record{};
  record.winExec = true;
  record.commandLine = commandLine ? commandLine : "";
  record.show = show;
  // The program: the quoted path, else the text up to the first blank. A
  // full path must name a file; a bare name would be looked for along the
  // search path, which is not modelled.
  const std::string& line = record.commandLine;
  bool quoted = !line.empty() && line[0] == '"';
  std::string program = line.substr(quoted, line.find(quoted ? '"' : ' ', quoted) - quoted);
  FileEntry* file = LookUp(program);
  bool fullPath = program.size() > 2 && program[1] == ':';
  UINT result = !fullPath || (file && !file->folder) ? K().winExecResult : ERROR_FILE_NOT_FOUND;
  record.started = result > 31;  // as WinExec reports success
  Start(record);
  return result;
}

BOOL WINAPI CreateProcessA(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL inheritHandles, DWORD flags,
                           LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startup,
                           LPPROCESS_INFORMATION info) {
  Count("CreateProcessA");
  ProcessStarted record{};
  record.application = application ? application : "";
  record.commandLine = commandLine ? commandLine : "";
  record.inheritHandles = inheritHandles;
  record.flags = flags;
  record.environment = environment != nullptr;
  record.currentDirectory = currentDirectory != nullptr;
  record.startupSize = startup ? startup->cb : 0;
  record.startupZero = startup && StartupZero(*startup);
  bool valid = startup && info;
  record.started = valid && !K().failCreateProcess;
  Start(record);
  if (!record.started) return Fail(valid ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER), FALSE;
  info->hProcess = NewKernelHandle(HandleKind::Process);
  info->hThread = NewKernelHandle(HandleKind::Thread);
  info->dwProcessId = K().nextId;
  info->dwThreadId = K().nextId + 4;
  K().nextId += 8;
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  Count("WaitForSingleObject");
  auto it = M().handles.find(reinterpret_cast<uintptr_t>(handle));
  if (it != M().handles.end()) {
    switch (it->second.kind) {
      case HandleKind::Process:
        K().processWaits.push_back(milliseconds);
        return WAIT_OBJECT_0;
      case HandleKind::Thread:
        return WAIT_OBJECT_0;
      case HandleKind::Mutex:
        return TakeMutex(K().mutexes.at(it->second.mutex));
      default:
        break;
    }
  }
  return Fail(ERROR_INVALID_HANDLE), WAIT_FAILED;
}

void WINAPI Sleep(DWORD milliseconds) {
  Count("Sleep");
  K().slept += milliseconds;
}

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
  Count("CreateMutexA");
  std::string text = name ? name : "";
  size_t id = FindMutex(text);
  DWORD error = id ? ERROR_ALREADY_EXISTS : 0;
  if (!id) {
    id = MakeMutex(text);
    if (initialOwner) TakeMutex(K().mutexes[id]);
  }
  HANDLE handle = NewKernelHandle(HandleKind::Mutex, id);
  M().lastError = error;
  return handle;
}

BOOL WINAPI ReleaseMutex(HANDLE handle) {
  Count("ReleaseMutex");
  HandleObject* open = FindHandle(handle, HandleKind::Mutex);
  if (!open) return Fail(ERROR_INVALID_HANDLE), FALSE;
  MutexObject& mutex = K().mutexes.at(open->mutex);
  if (mutex.owner != MutexObject::Owner::Us) return Fail(ERROR_NOT_OWNER), FALSE;
  if (--mutex.count == 0) mutex.owner = MutexObject::Owner::None;
  return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
  Count("GetModuleHandleA");
  if (!name) return ProgramInstance();
  std::string module = Upper(name);
  if (module == "USER32.DLL" || module == "USER32") return reinterpret_cast<HMODULE>(kUser32Module);
  return Fail(ERROR_MOD_NOT_FOUND), nullptr;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size) {
  Count("GetModuleFileNameA");
  if (module && module != ProgramInstance()) return Fail(ERROR_MOD_NOT_FOUND), 0;
  if (!path || !size) return Fail(ERROR_INSUFFICIENT_BUFFER), 0;
  // A path too long for the buffer is cut, and the result is the buffer's size.
  DWORD length = static_cast<DWORD>(std::min<size_t>(K().modulePath.size(), size - 1));
  std::memcpy(path, K().modulePath.data(), length);
  path[length] = '\0';
  if (length < K().modulePath.size()) return Fail(ERROR_INSUFFICIENT_BUFFER), size;
  return length;
}

DWORD WINAPI GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) {
  Count("GetShortPathNameA");
  if (!longPath) return Fail(ERROR_INVALID_PARAMETER), 0;
  if (K().failShortPaths) return Fail(ERROR_ACCESS_DENIED), 0;
  std::string normal = NormalPath(longPath);
  if (!LookUp(normal)) return Fail(ERROR_FILE_NOT_FOUND), 0;
  auto known = K().shortPaths.find(normal);
  return CopyOut(known == K().shortPaths.end() ? longPath : known->second, shortPath, size);
}

UINT WINAPI GetWindowsDirectoryA(LPSTR path, UINT size) {
  Count("GetWindowsDirectoryA");
  return CopyOut(K().windowsFolder, path, size);
}

DWORD WINAPI GetTempPathA(DWORD size, LPSTR path) {
  Count("GetTempPathA");
  return CopyOut(K().tempFolder, path, size);
}

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  Count("FindResourceA");
  auto it = K().resources.find(Upper(ResourceName(type) + "\\" + ResourceName(name)));
  if ((module && module != ProgramInstance()) || it == K().resources.end())
    return Fail(ERROR_RESOURCE_NAME_NOT_FOUND), nullptr;
  return reinterpret_cast<HRSRC>(&it->second);
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) {
  Count("LoadResource");
  return resource;
}

LPVOID WINAPI LockResource(HGLOBAL resource) {
  Count("LockResource");
  return resource ? &(*Resource(static_cast<HRSRC>(resource)))[0] : nullptr;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
  Count("SizeofResource");
  return resource ? static_cast<DWORD>(Resource(resource)->size()) : 0;
}

void WINAPI ExitProcess(UINT exitCode) {
  Count("ExitProcess");
  throw ProcessExit{exitCode};
}

// Obsolete on Win32: it frees nothing and returns FALSE.
BOOL WINAPI FreeResource(HGLOBAL resource) {
  Count("FreeResource");
  K().freed.push_back(IconName(static_cast<HICON>(resource)));
  return FALSE;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  Count("LoadIconA");
  auto it = K().iconResources.find(Upper(ResourceName(name)));
  if (instance != ProgramInstance() || it == K().iconResources.end())
    return Fail(ERROR_RESOURCE_NAME_NOT_FOUND), nullptr;
  uintptr_t icon = NewUserValue();
  K().icons[icon] = it->second;
  return reinterpret_cast<HICON>(icon);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  Count("LoadCursorA");
  if (instance || name != IDC_ARROW) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND), nullptr;
  return reinterpret_cast<HCURSOR>(kArrowCursor);
}

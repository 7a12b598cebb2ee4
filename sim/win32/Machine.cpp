// The simulated machine: its state, handles, errors and the test controls
// that are not about one subsystem.
#include "Machine.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "SimMachine.h"

namespace sim {

Machine& M() {
  static Machine machine;
  return machine;
}

std::string Upper(const std::string& text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return result;
}

void Count(const char* function) { ++M().calls[function]; }

DWORD Fail(DWORD error) {
  M().lastError = error;
  return error;
}

HANDLE NewHandle(HandleObject object) {
  Machine& m = M();
  uintptr_t id = m.nextHandle;
  m.nextHandle += 4;
  m.handles.emplace(id, std::move(object));
  return reinterpret_cast<HANDLE>(id);
}

HandleObject* FindHandle(HANDLE handle, HandleKind kind) {
  auto it = M().handles.find(reinterpret_cast<uintptr_t>(handle));
  if (it == M().handles.end() || it->second.kind != kind) return nullptr;
  return &it->second;
}

uintptr_t NewUserValue() {
  uintptr_t value = M().nextUserValue;
  M().nextUserValue += 4;
  return value;
}

bool IsIntResource(LPCSTR name) { return IS_INTRESOURCE(name); }

std::string ResourceName(LPCSTR name) {
  if (!IsIntResource(name)) return name;
  char number[8];
  std::snprintf(number, sizeof number, "#%u",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)));
  return number;
}

void ResetFiles();
void ResetRegistry();

void Reset() {
  Machine& m = M();
  m.handles.clear();
  m.drives.clear();
  m.calls.clear();
  m.lastError = 0;
  m.errorMode = 0;
  m.readsPastEnd = 0;
  m.user = UserState();
  m.kernel = KernelState();
  ResetRegistry();
  ResetFiles();
}

int OpenHandles() { return static_cast<int>(M().handles.size()); }
int ReadsPastEnd() { return M().readsPastEnd; }

std::map<std::string, int> CallCounts() { return M().calls; }
void ClearCallCounts() { M().calls.clear(); }

}  // namespace sim

using sim::M;

DWORD WINAPI GetLastError(void) { return M().lastError; }
void WINAPI SetLastError(DWORD error) { M().lastError = error; }

UINT WINAPI SetErrorMode(UINT mode) {
  sim::Count("SetErrorMode");
  UINT previous = M().errorMode;
  M().errorMode = mode;
  return previous;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
  sim::Count("CloseHandle");
  auto it = M().handles.find(reinterpret_cast<uintptr_t>(handle));
  if (it == M().handles.end() || it->second.kind == sim::HandleKind::Find ||
      it->second.kind == sim::HandleKind::Key) {
    sim::Fail(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  bool isMutex = it->second.kind == sim::HandleKind::Mutex;
  size_t mutex = it->second.mutex;
  M().handles.erase(it);
  if (isMutex) sim::DropUnusedMutex(mutex);
  return TRUE;
}

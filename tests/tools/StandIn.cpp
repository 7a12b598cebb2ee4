// A stand-in for the music player or the disc installer, for the Wine tests.
// It appends "<role> <its command line>" to the log named by STANDIN_LOG
// (default C:\standin.log), holds its running mutex if it has one, and ends
// after STANDIN_HOLD_MS milliseconds.
// Built with STANDIN_ROLE ("player zel", "installer", ...), STANDIN_HOLD
// (the default hold) and, for a player, STANDIN_MUTEX.
#include <windows.h>

namespace {

void AppendToLog(const char* role) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("STANDIN_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) lstrcpyA(path, "C:\\standin.log");

  const char* command = GetCommandLineA();
  int size = lstrlenA(role) + 1 + lstrlenA(command) + 1;
  char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size + 1));
  if (!line) return;
  lstrcpyA(line, role);
  lstrcatA(line, " ");
  lstrcatA(line, command);
  lstrcatA(line, "\n");

  // Another stand-in may be writing just now: try for a while.
  for (int attempt = 0; attempt < 50; ++attempt) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written;
      SetFilePointer(file, 0, nullptr, FILE_END);
      WriteFile(file, line, size, &written, nullptr);
      CloseHandle(file);
      break;
    }
    Sleep(20);
  }
  HeapFree(GetProcessHeap(), 0, line);
}

DWORD HoldMs() {
  char text[16];
  DWORD n = GetEnvironmentVariableA("STANDIN_HOLD_MS", text, sizeof text);
  if (n == 0 || n >= sizeof text) return STANDIN_HOLD;
  DWORD ms = 0;
  for (const char* c = text; *c >= '0' && *c <= '9'; ++c) ms = ms * 10 + (*c - '0');
  return ms;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
#ifdef STANDIN_MUTEX
  HANDLE running = CreateMutexA(nullptr, TRUE, STANDIN_MUTEX);
#endif
  AppendToLog(STANDIN_ROLE);
  if (DWORD ms = HoldMs()) Sleep(ms);
#ifdef STANDIN_MUTEX
  if (running) {
    ReleaseMutex(running);
    CloseHandle(running);
  }
#endif
  return 0;
}

// A program that breaks each rule of the import check: the C runtime DLL
// (mingw's usual start-up), a kernel32 function that Windows 95 lacks, a
// user32 function no one has looked up, and a manifest (faults.rc).
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return IsDebuggerPresent() + (GetShellWindow() != nullptr);
}

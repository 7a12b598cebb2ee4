#include "AgentMain.h"

#include "AgentState.h"
#include "AgentWndProc.h"
#include "Player.h"
#include "Settings.h"
#include "TrayIcon.h"

#if defined(_WIN32) && !defined(_WIN64)  // the shipped, 32-bit program
static_assert(TrayDataSize == 88, "the first form of NOTIFYICONDATAA");
static_assert(sizeof(STARTUPINFOA) == 68, "STARTUPINFOA of 32-bit Windows");
#endif

namespace {

// ChangeWindowMessageFilter of Vista's user32, which older Windows lacks.
constexpr char MessageFilterName[] = "ChangeWindowMessageFilter";
typedef BOOL(WINAPI* MessageFilter)(UINT message, DWORD flag);
const DWORD MessageFilterAdd = 1;  // MSGFLT_ADD

// Registers the shell's "TaskbarCreated" and lets it through to a process
// with higher rights than the shell, where Windows has the filter (Vista on).
void ListenForTaskbar() {
  TaskbarCreated = RegisterWindowMessageA(TaskbarCreatedName);
  FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), MessageFilterName);
  // void (*)() stands for any function type, so it passes the cast check.
  MessageFilter filter = reinterpret_cast<MessageFilter>(reinterpret_cast<void (*)()>(found));
  if (TaskbarCreated && filter) filter(TaskbarCreated, MessageFilterAdd);
}

void CleanUp() {
  Shell_NotifyIconA(NIM_DELETE, &TrayData);
  KillTimer(MainWindow, TimerId);
  FreeResource(IconDisabled);
  FreeResource(IconDisc);
  FreeResource(IconIdle);
}

}  // namespace

bool StartAgent() {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterMainClass(instance, AgentClassName, AgentWndProc)) return false;
  MainWindow = CreateCentredWindow(instance, AgentClassName, AgentTitle, AgentWindowWidth,
                                   AgentWindowHeight);
  ListenForTaskbar();
  StartupCheck(true);
  IconIdle = LoadIconA(instance, IdleIconName);
  IconDisabled = LoadIconA(instance, DisabledIconName);
  IconDisc = LoadIconA(instance, DiscIconName);
  LoadSettings();
  TrayIconUpdate(Enabled ? IconIdle : IconDisabled, NIM_ADD);
  if (Enabled) {
    ArmingScan();
    TrayIconUpdate(CurrentIcon(), NIM_MODIFY);
    CheckDiscInstallers();
    TimerId = SetTimer(MainWindow, WatchTimerId, WatchPeriod, nullptr);
  }
  return true;
}

int FinishAgent() {
  int exitCode = RunMessageLoop();
  CleanUp();
  return exitCode;
}

int AgentMain() { return StartAgent() ? FinishAgent() : ExitFailed; }

int AgentEntry() {
  if (FindWindowA(AgentClassName, AgentTitle)) return ExitNormal;
  return AgentMain();
}

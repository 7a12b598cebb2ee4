#include "AgentWndProc.h"

#include <dbt.h>

#include "AgentState.h"
#include "Player.h"
#include "ProgramWindow.h"
#include "Settings.h"
#include "TrayIcon.h"

namespace {

void ShowTrayMenu(HWND window) {
  PopupMenu = CreatePopupMenu();
  AppendMenuA(PopupMenu, Autorun ? MF_CHECKED : MF_STRING, IDM_AUTORUN, AutorunItem);
  AppendMenuA(PopupMenu, Enabled ? MF_CHECKED : MF_STRING, IDM_ENABLED, EnabledItem);
  AppendMenuA(PopupMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(PopupMenu, MF_STRING, IDM_EXIT, ExitItem);
  GetCursorPos(&CursorPos);
  SetForegroundWindow(window);
  TrackPopupMenuEx(PopupMenu, 0, CursorPos.x, CursorPos.y, window, nullptr);
  DestroyMenu(PopupMenu);
  PostMessageA(window, WM_USER, 0, 0);
}

void SwitchWatching(HWND window) {
  Enabled = !Enabled;
  if (Enabled) {
    StartupCheck(false);
    ArmingScan();
    TrayIconUpdate(CurrentIcon(), NIM_MODIFY);
    TimerId = SetTimer(window, WatchTimerId, WatchPeriod, nullptr);
  } else {
    TrayIconUpdate(CurrentIcon(), NIM_MODIFY);
    KillTimer(window, TimerId);
  }
  SaveSettings();
}

void SwitchAutorun() {
  Autorun = !Autorun;
  SaveSettings();
}

void OnCommand(HWND window, WPARAM command) {
  if (command == IDM_EXIT) CloseAgent();
  if (command == IDM_ENABLED) SwitchWatching(window);
  if (command == IDM_AUTORUN) SwitchAutorun();
}

void OnTrayNotify(HWND window, WPARAM id, LPARAM mouse) {
  if (id != TrayIconId) return;
  if (mouse == TrayMenuClick) ShowTrayMenu(window);
  if (mouse == TrayPlayClick && Enabled && AnyDisc) {
    CheckDiscInstallers();
    LaunchPlayer(Text());
  }
}

// Pass 1: which drives hold a usable product disc, and their serial numbers.
void ReadDrives(DWORD* serials, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    DriveEntry& entry = DriveTable[i];
    DWORD maxComponent, flags;
    Text root = DriveRoot(entry.Letter);
    entry.DiscPresent = false;
    if (!GetVolumeInformationA(root.c_str(), nullptr, 0, &VolumeSerial, &maxComponent, &flags,
                               nullptr, 0))
      continue;
    serials[i] = VolumeSerial;
    Edition edition = EditionAny;
    entry.DiscPresent =
        RecogniseDisc(root, entry.Armed, edition, EditionAny) && IsPlayerInstalled(edition);
    if (entry.DiscPresent) AnyDisc = true;
  }
}

// Pass 2: each drive's state machine. A new disc is disarmed before anything
// runs for it, so a tick inside a message box does not start it twice. The
// menu can renew the drive table while a box is open, so the bound is looked
// at again for every entry.
void StepDrives(const DWORD* serials, size_t count) {
  for (size_t i = 0; i < count && i < WatchedDrives(); ++i) {
    DriveEntry& entry = DriveTable[i];
    if (entry.Armed && entry.DiscPresent) {
      LONGLONG serial = static_cast<LONGLONG>(serials[i]);
      if (entry.Serial == serial) continue;
      entry.Armed = false;
      entry.Serial = serial;
      Text drive(1, entry.Letter);
      CheckDiscInstallers();
      if (Autorun) LaunchPlayer(drive);
    } else if (!entry.Armed && !entry.DiscPresent) {
      entry.Armed = true;
      entry.Serial = NoSerial;
    }
  }
}

// The system announces a medium put in or taken out of a drive: the watch
// tick runs at once instead of up to a second later. Only a volume's arrival
// or removal is answered; the timer stays for drives that announce nothing.
// The tick is posted, not run here: it may wait for a disc's installer or for
// the user at a message box, and the system's announcement to every other
// window would wait with it.
bool OnDeviceChange(HWND window, WPARAM event, LPARAM data) {
  if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return false;
  const DEV_BROADCAST_HDR* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  if (!header || header->dbch_devicetype != DBT_DEVTYP_VOLUME) return false;
  PostMessageA(window, WM_WATCHNOW, 0, 0);
  return true;
}

}  // namespace

void WatchTick() {
  PrevAnyDisc = AnyDisc;
  AnyDisc = false;
  // One serial number per drive letter at most; no allocation on each tick.
  DWORD serials[MaxDrives] = {};
  size_t count = WatchedDrives() < MaxDrives ? WatchedDrives() : MaxDrives;
  ReadDrives(serials, count);
  if (AnyDisc != PrevAnyDisc) TrayIconUpdate(AnyDisc ? IconDisc : IconIdle, NIM_MODIFY);
  StepDrives(serials, count);
  if (RescanCountdown == 0) {
    CdDrives = FindCdDrives();
    RescanCountdown = RescanTicks;
  } else {
    --RescanCountdown;
  }
}

LRESULT CALLBACK AgentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TaskbarCreated && TaskbarCreated) RestoreTrayIcon();
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(ExitNormal);
      return 0;
    case WM_COMMAND:
      OnCommand(window, wParam);
      break;
    case WM_TIMER:
      WatchTick();
      break;
    case WM_TRAYNOTIFY:
      OnTrayNotify(window, wParam, lParam);
      break;
    case WM_DEVICECHANGE:
      if (OnDeviceChange(window, wParam, lParam)) return TRUE;
      break;
    // The timer runs only while watching is on; the announcement follows it.
    case WM_WATCHNOW:
      if (Enabled) WatchTick();
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void ArmingScan() {
  AnyDisc = false;
  for (size_t i = 0; i < WatchedDrives(); ++i) {
    DriveEntry& entry = DriveTable[i];
    Edition edition = EditionAny;
    bool ready = RecogniseDisc(DriveRoot(entry.Letter), true, edition, EditionAny) &&
                 IsPlayerInstalled(edition);
    if (!ready) entry.Armed = true;
    if (ready) AnyDisc = true;
  }
}

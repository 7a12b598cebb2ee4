#include "AgentState.h"

HWND MainWindow;
bool Enabled;
bool Autorun;
bool AnyDisc;
bool PrevAnyDisc;
Text CdDrives;
std::vector<DriveEntry> DriveTable;
DWORD VolumeSerial;
LONG RescanCountdown;
UINT_PTR TimerId;
HICON IconIdle, IconDisc, IconDisabled;
NOTIFYICONDATAA TrayData;
POINT CursorPos;
HMENU PopupMenu;
UINT TaskbarCreated;
Text PlayerPath;

Text DriveRoot(char letter) { return Text(1, letter) + ":\\"; }

size_t WatchedDrives() {
  return CdDrives.size() < DriveTable.size() ? CdDrives.size() : DriveTable.size();
}

void ResetAgentState() {
  MainWindow = nullptr;
  Enabled = Autorun = AnyDisc = PrevAnyDisc = false;
  CdDrives.clear();
  DriveTable.clear();
  VolumeSerial = 0;
  RescanCountdown = 0;
  TimerId = 0;
  IconIdle = IconDisc = IconDisabled = nullptr;
  TrayData = NOTIFYICONDATAA();
  CursorPos = POINT();
  PopupMenu = nullptr;
  TaskbarCreated = 0;
  PlayerPath.clear();
}

void CloseAgent() { SendMessageA(MainWindow, WM_DESTROY, 0, 0); }

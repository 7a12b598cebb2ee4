// The agent's process-wide state. One instance, all zero or empty at start;
// everything runs on the program's one thread.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <vector>

#include "Text.h"

// One CD-ROM drive as the watch sees it.
struct DriveEntry {
  LONGLONG Serial;   // volume last accepted in the drive, widened; NoSerial for none
  bool DiscPresent;  // at the last tick: a recognised product disc whose player is installed
  bool Armed;        // the next recognised disc with a new serial starts the player
  char Letter;
};
const LONGLONG NoSerial = -1;  // a widened 32-bit serial number is never -1
const size_t MaxDrives = 26;   // drive letters A to Z

extern HWND MainWindow;   // the hidden window; owner of every message box
extern bool Enabled;      // watching the CD-ROM drives is on
extern bool Autorun;      // start the player by itself for a new product disc
extern bool AnyDisc;      // at the last scan some drive held a usable product disc
extern bool PrevAnyDisc;  // AnyDisc before the current tick
extern Text CdDrives;     // letters of the CD-ROM drives, in order ("DE")
extern std::vector<DriveEntry>
    DriveTable;               // entry i: letter i of CdDrives at the last StartupCheck
extern DWORD VolumeSerial;    // written by the latest successful volume read of a scan
extern LONG RescanCountdown;  // ticks until CdDrives is enumerated again
extern UINT_PTR TimerId;
extern HICON IconIdle, IconDisc, IconDisabled;
extern NOTIFYICONDATAA TrayData;  // the one record of every Shell_NotifyIconA call
extern POINT CursorPos;           // where the pointer stood when the menu opened
extern HMENU PopupMenu;           // the tray menu while it is shown
extern UINT TaskbarCreated;       // the shell's message for a new notification area; 0 for none
extern Text PlayerPath;           // the "RootDir" text of the latest IsPlayerInstalled

// The root folder of a drive: "D:\\".
Text DriveRoot(char letter);
// The entries of DriveTable a scan visits: as many as CdDrives now has
// letters, never more than the table holds.
size_t WatchedDrives();

// Puts every value of the agent state back to its start value.
void ResetAgentState();

// Ends the agent: its window goes, and with it the message loop.
void CloseAgent();

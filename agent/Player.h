// Finding the installed players, starting them, running disc installers,
// and the agent's start-up check.
#pragma once

#include <windows.h>

#include "DiscRecognition.h"
#include "Text.h"

inline constexpr char WarningCaption[] = "Warning";
inline constexpr char ErrorCaption[] = "Error";
inline constexpr char NoCdDriveText[] = "CD-ROM drive is not detected! Continue?";
inline constexpr char NoPlayerText[] = "Player is not installed!";
inline constexpr char ZelFailedText[] = "Unable to run ZEL Musical Player";
inline constexpr char OxdFailedText[] = "Unable to run Orvana Musical Player";
inline constexpr char InstallerFailedText[] = "Unable to run install.exe";
inline constexpr char InstallerFile[] = "install.exe";
const UINT NoCdDriveStyle = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;
const UINT ErrorStyle = MB_OK | MB_ICONHAND;
const LONG RescanTicks = 7;

Text FindCdDrives();
void StartupCheck(bool prompt);
Text ReadRootDir(Edition edition);
bool IsPlayerInstalled(Edition edition);
bool IsPlayerStopped(Edition edition);
bool CanPlayFromDrive(const Text& drive, Edition edition);
void LaunchPlayer(const Text& drive);
void CheckDiscInstallers();
void RunInstaller(char letter);
Text ExtractDir(const Text& path);

// The names of an edition's mutexes: the lock held while the agent tests,
// and the one a running player holds.
Text LockMutexName(Edition edition);
Text RunningMutexName(Edition edition);
// The player's command line: its path, in quotes when it holds a blank so
// that Windows cannot take a shorter path for the program, then parameters.
Text PlayerCommandLine(const Text& path, const Text& parameters);

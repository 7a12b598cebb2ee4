#include "Player.h"

#include <vector>

#include "AgentState.h"
#include "FileVersion.h"
#include "InstallRecord.h"
#include "Registry.h"
#include "Settings.h"

namespace {

const UINT FirstGoodWinExecResult = 32;
const DWORD PauseAfterStart = 100;

void ShowError(const char* text) { MessageBoxA(MainWindow, text, ErrorCaption, ErrorStyle); }

// Reads "RootDir" of one product key; false when the key does not open.
bool ReadProductRootDir(const char* key, Text& rootDir) {
  HKEY open;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &open) != ERROR_SUCCESS) return false;
  rootDir = QueryRegText(open, RootDirValue);
  RegCloseKey(open);
  return true;
}

// Starts the installed player of one edition; true when it started.
bool StartPlayer(Edition edition, const Text& parameters) {
  if (WinExec(PlayerCommandLine(PlayerPath, parameters).c_str(), SW_SHOW) >=
      FirstGoodWinExecResult) {
    Sleep(PauseAfterStart);
    return true;
  }
  ShowError(edition == EditionZel ? ZelFailedText : OxdFailedText);
  return false;
}

}  // namespace

Text FindCdDrives() {
  Text drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    if (GetDriveTypeA(DriveRoot(letter).c_str()) == DRIVE_CDROM) drives += letter;
  return drives;
}

void StartupCheck(bool prompt) {
  RescanCountdown = RescanTicks;
  CdDrives = FindCdDrives();
  if (prompt && CdDrives.empty() &&
      MessageBoxA(MainWindow, NoCdDriveText, WarningCaption, NoCdDriveStyle) == IDNO) {
    CloseAgent();
    return;
  }
  if (!IsPlayerInstalled(EditionOxd) && !IsPlayerInstalled(EditionZel)) {
    ShowError(NoPlayerText);
    RemoveAutostart();
    CloseAgent();
    return;
  }
  DriveTable.assign(CdDrives.size(), DriveEntry());
  for (size_t i = 0; i < CdDrives.size(); ++i) {
    DWORD maxComponent, flags;
    bool readable = GetVolumeInformationA(DriveRoot(CdDrives[i]).c_str(), nullptr, 0, &VolumeSerial,
                                          &maxComponent, &flags, nullptr, 0);
    DriveEntry& entry = DriveTable[i];
    entry.Armed = !readable;
    entry.Letter = CdDrives[i];
    entry.Serial = entry.Armed ? NoSerial : static_cast<LONGLONG>(VolumeSerial);
  }
}

Text ReadRootDir(Edition edition) {
  Text rootDir;
  if (edition != EditionOxd && ReadProductRootDir(ZelKey, rootDir)) return rootDir;
  if (edition != EditionZel) ReadProductRootDir(OxdKey, rootDir);
  return rootDir;
}

bool IsPlayerInstalled(Edition edition) {
  PlayerPath = ReadRootDir(edition);
  return !PlayerPath.empty() && PathExists(PlayerPath);
}

Text LockMutexName(Edition edition) {
  bool zel = edition == EditionZel;
  return Text(zel ? ZelProductName : OxdProductName) + "." + (zel ? ZelShortName : OxdShortName) +
         "32.CritSec";
}

Text RunningMutexName(Edition edition) {
  bool zel = edition == EditionZel;
  return Text(zel ? ZelProductName : OxdProductName) + (zel ? ZelShortName : OxdShortName) +
         "32.Def";
}

bool IsPlayerStopped(Edition edition) {
  HANDLE lock = CreateMutexA(nullptr, TRUE, LockMutexName(edition).c_str());
  HANDLE running = CreateMutexA(nullptr, FALSE, RunningMutexName(edition).c_str());
  DWORD wait = WaitForSingleObject(running, 0);
  ReleaseMutex(lock);
  CloseHandle(lock);
  if (running) {
    ReleaseMutex(running);
    CloseHandle(running);
  }
  return wait != WAIT_TIMEOUT;
}

bool CanPlayFromDrive(const Text& drive, Edition edition) {
  Edition found;
  return RecogniseDisc(DriveRoot(drive[0]), false, found, edition) && IsPlayerStopped(edition);
}

Text PlayerCommandLine(const Text& path, const Text& parameters) {
  if (path.find(' ') == Text::npos) return path + parameters;
  return "\"" + path + "\"" + parameters;
}

void LaunchPlayer(const Text& drive) {
  bool zelFound = false, oxdFound = false;
  Text parameters;
  if (drive.empty()) {
    for (char letter : CdDrives) {
      if (!oxdFound) oxdFound = CanPlayFromDrive(Text(1, letter), EditionOxd);
      if (!zelFound) zelFound = CanPlayFromDrive(Text(1, letter), EditionZel);
    }
  } else {
    parameters = " D=" + drive;
    zelFound = CanPlayFromDrive(drive, EditionZel);
  }
  if (zelFound && IsPlayerInstalled(EditionZel) && StartPlayer(EditionZel, parameters) &&
      !drive.empty())
    return;
  if (!drive.empty()) oxdFound = CanPlayFromDrive(drive, EditionOxd);
  if (oxdFound && IsPlayerInstalled(EditionOxd)) StartPlayer(EditionOxd, parameters);
}

void CheckDiscInstallers() {
  char bestOxdDrive = 0, bestZelDrive = 0;
  Text bestOxdVersion, bestZelVersion;
  for (char letter : CdDrives) {
    Text installer = DriveRoot(letter) + InstallerFile;
    bool missing = !PathExists(installer);
    Edition edition = EditionAny;
    RecogniseDisc(ExtractDir(installer), false, edition, EditionAny);
    bool installed = IsPlayerInstalled(edition);
    if (missing) continue;
    Text discVersion = GetFileVersion(installer);
    bool newer = IsNewerVersion(discVersion, GetFileVersion(ReadRootDir(edition)));
    if (!newer && installed) continue;
    if (edition == EditionOxd && (!installed || IsNewerVersion(discVersion, bestOxdVersion))) {
      bestOxdVersion = discVersion;
      bestOxdDrive = letter;
    }
    if (edition == EditionZel && (!installed || IsNewerVersion(discVersion, bestZelVersion))) {
      bestZelVersion = discVersion;
      bestZelDrive = letter;
    }
  }
  if (bestOxdDrive) RunInstaller(bestOxdDrive);
  if (bestZelDrive) RunInstaller(bestZelDrive);
}

void RunInstaller(char letter) {
  STARTUPINFOA startup = STARTUPINFOA();
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  Text text = DriveRoot(letter) + InstallerFile + " #A";
  std::vector<char> commandLine(text.begin(), text.end());
  commandLine.push_back('\0');
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ShowError(InstallerFailedText);
    return;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

Text ExtractDir(const Text& path) {
  size_t slash = path.rfind('\\');
  return slash == Text::npos ? Text() : path.substr(0, slash + 1);
}

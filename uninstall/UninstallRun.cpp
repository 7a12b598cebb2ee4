#include "UninstallRun.h"

#include "Handoff.h"
#include "InstallRecord.h"
#include "Locations.h"
#include "Paths.h"
#include "ProgramWindow.h"
#include "Registry.h"
#include "UninstallState.h"

namespace {

const DWORD AgentClosePause = 200;  // ms for the agent to end before its file goes

bool Chosen(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The files the record names go as they are: a read-only one stays, and a
// file that stays keeps its attributes.
void DeleteNamedFile(const Text& path) { DeleteFileA(path.c_str()); }

void RemoveFavorites() {
  InstallDir = GetUninstallDir(UninstallStringValue);
  if (!InstallDir.empty()) DeleteNamedFile(InstallDir + FavoritesFile);
  UINT length = GetWindowsDirectoryA(PathBuffer, PathBufferSize);
  if (length && length < PathBufferSize) DeleteNamedFile(Text(PathBuffer) + "\\" + PlayerIniFile);
}

// The files of the installation folder: the "A_" and "H_" entries and what
// the install log names. Nothing when the folder is unknown, so that no name
// is taken relative to the current folder; no sweep in a drive's or share's
// root, which is no folder of the player's.
IoResult RemoveInstalledFiles() {
  if (InstallDir.empty()) return {ERROR_SUCCESS};
  if (IsBelowRoot(InstallDir)) DeletePrefixedEntries(InstallDir);
  IoResult log = DeleteListedFiles(InstallDir);
  if (log.Failed()) return log;
  // A second try at the log, on purpose: the first can fail while something
  // still holds the file just read (a virus scanner, say). Normally the log
  // is gone already and this deletion fails unseen.
  DeleteNamedFile(InstallDir + InstallLogFile);
  return log;
}

// An empty folder value names no folder: the names built on it would lie in
// the current drive's root.
void RemoveShortcuts() {
  Text desktop = GetDesktopDir();
  if (!desktop.empty()) {
    Text shortcut = desktop + "\\" + ZelProductName;
    DeleteNamedFile(shortcut + ShortcutExtension);
    DeleteNamedFile(shortcut + " " + PlayerVersion.FileVersion + ShortcutExtension);
  }
  Text programs = GetProgramsDir();
  if (programs.empty()) return;
  Text menu = programs + "\\" + GetShortcutPath() + "\\";
  for (const char* name : {ZelProductName, UninstallShortcutName, AgentShortcutName})
    DeleteNamedFile(menu + name + ShortcutExtension);
}

void RemoveMenuFolders() {
  Text programs = GetProgramsDir();
  if (!programs.empty()) RemoveFolderChain(programs + "\\", GetShortcutPath());
}

void CloseRunningAgent() {
  HWND agent = FindWindowA(AgentClassName, AgentTitle);
  if (!agent) return;
  SendMessageA(agent, WM_DESTROY, 0, 0);
  Sleep(AgentClosePause);
}

// The agent's file, its folder and that folder's parent (each only if
// empty), its key and its autostart value.
void RemoveAgent() {
  CloseRunningAgent();
  Text path = GetAgentRootDir();
  DeleteNamedFile(path);
  path = FolderKeepingRoot(path);
  RemoveDirectoryA(path.c_str());
  path = FolderKeepingRoot(path);
  RemoveDirectoryA(path.c_str());
  DeleteAgentKey();
  DeleteAgentRunValue();
}

// Returns only when the install log could not be read.
IoResult RemovePlayer() {
  PathLevels = GetCreatePathLevels();
  // Read again, on purpose, even when the favourites read it: each branch
  // finds the folder for itself, so the player's removal never depends on
  // whether the favourites' branch ran.
  InstallDir = GetUninstallDir(UninstallStringValue);
  // Read while the player's file still exists.
  PlayerVersion = GetFileVersionRecord(GetProductRootDir(ZelProductName));
  IoResult files = RemoveInstalledFiles();
  if (files.Failed()) return files;
  RemoveShortcuts();
  // The agent serves the Orvana edition too.
  if (IsOrvanaMissing()) RemoveAgent();
  RemoveMenuFolders();
  DeletePlayerKeys();
  StartDeleteHelper();
}

}  // namespace

IoResult DoUninstall() {
  if (Chosen(FavoritesBox)) RemoveFavorites();
  if (Chosen(PlayerBox)) return RemovePlayer();
  SendMessageA(MainWindow, WM_DESTROY, 0, 0);
  return {ERROR_SUCCESS};
}

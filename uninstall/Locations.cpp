#include "Locations.h"

#include <algorithm>

#include "InstallRecord.h"
#include "Paths.h"
#include "Registry.h"

Text GetProductRootDir(const Text& productName) {
  Text key = Text(CompanyKey) + productName;
  return ReadRegString(HKEY_LOCAL_MACHINE, key.c_str(), RootDirValue);
}

Text GetAgentRootDir() { return ReadRegString(HKEY_LOCAL_MACHINE, AgentKey, RootDirValue); }

Text GetUninstallDir(const Text& valueName) {
  Text command = ReadRegString(HKEY_LOCAL_MACHINE, UninstallKey, valueName.c_str());
  size_t last = command.find_last_of("\\:");
  Text folder = last == Text::npos ? Text() : command.substr(0, last + 1);
  // The closing quote of a quoted path goes with the file name.
  if (!folder.empty() && folder[0] == '"') folder.erase(0, 1);
  return folder;
}

Text GetShortcutPath() {
  return ReadRegString(HKEY_LOCAL_MACHINE, UninstallKey, ShortcutPathValue);
}

BYTE GetCreatePathLevels() {
  Text path = ReadRegString(HKEY_LOCAL_MACHINE, UninstallKey, CreatePathValue);
  if (path.empty()) return 0;
  return static_cast<BYTE>(1 + std::count(path.begin(), path.end(), '\\'));
}

Text GetDesktopDir() { return ReadRegString(HKEY_CURRENT_USER, ShellFoldersKey, DesktopValue); }

Text GetProgramsDir() { return ReadRegString(HKEY_CURRENT_USER, ShellFoldersKey, ProgramsValue); }

bool IsOrvanaMissing() { return !IsFile(GetProductRootDir(OxdProductName)); }

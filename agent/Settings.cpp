#include "Settings.h"

#include <windows.h>

#include "AgentState.h"
#include "InstallRecord.h"
#include "Registry.h"

namespace {

// A setting is off only when its value is the single byte of something other
// than 1. A value that cannot be read, does not fit one byte, or holds no
// byte at all (zero length) keeps the default: on.
bool ReadSetting(HKEY key, const char* name) {
  BYTE value = 0;
  DWORD size = 1;
  if (RegQueryValueExA(key, name, nullptr, nullptr, &value, &size) != ERROR_SUCCESS) return true;
  return size == 0 || value == 1;
}

void WriteSetting(HKEY key, const char* name, bool on) {
  BYTE value = on ? 1 : 0;
  RegSetValueExA(key, name, 0, REG_BINARY, &value, 1);
}

}  // namespace

void LoadSettings() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, AgentKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    Enabled = true;
    Autorun = true;
    return;
  }
  Enabled = ReadSetting(key, EnabledValue);
  Autorun = ReadSetting(key, AutorunValue);
  RegCloseKey(key);
}

void SaveSettings() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, AgentKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
    RegCloseKey(key);
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, AgentKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  WriteSetting(key, EnabledValue, Enabled);
  WriteSetting(key, AutorunValue, Autorun);
  RegCloseKey(key);
}

void RemoveAutostart() { DeleteAgentRunValue(); }

// Runs under Wine: the agent's disc recognition, settings and version reader
// against the real registry, real files and Wine's CD-ROM drives.
// Arguments: DRIVE=EDITION pairs (zel, oxd or none) for the prepared drives,
// then the paths of a program file with a version resource and one without.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "AgentState.h"
#include "DiscRecognition.h"
#include "FileVersion.h"
#include "InstallRecord.h"
#include "Registry.h"
#include "Settings.h"

namespace {

int failures = 0;

void ok(bool condition, const char* what, const std::string& seen) {
  std::printf("%s - %s (saw %s)\n", condition ? "ok" : "not ok", what, seen.c_str());
  if (!condition) ++failures;
}

Edition EditionNamed(const char* name) {
  if (!std::strcmp(name, "zel")) return EditionZel;
  if (!std::strcmp(name, "oxd")) return EditionOxd;
  return EditionAny;
}

void CheckDrive(const char* argument) {
  std::string root = std::string(1, argument[0]) + ":\\";
  Edition expected = EditionNamed(argument + 2);
  for (bool full : {false, true}) {
    Edition edition = 42;
    bool match = RecogniseDisc(root, full, edition, EditionAny);
    std::string what =
        "drive " + root + (full ? " full check" : " short check") + " is " + (argument + 2);
    ok(match == (expected != EditionAny) && edition == expected, what.c_str(),
       std::to_string(match) + "/" + std::to_string(edition));
  }
}

void SetAgentValue(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, AgentKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void CheckSettings() {
  const BYTE two = 2;
  const DWORD zero = 0;
  SetAgentValue(EnabledValue, REG_BINARY, &two, 1);
  SetAgentValue(AutorunValue, REG_DWORD, &zero, 4);
  LoadSettings();
  ok(!Enabled, "byte 2 reads as off", std::to_string(Enabled));
  ok(Autorun, "REG_DWORD 0 reads as on", std::to_string(Autorun));
  SetAgentValue(EnabledValue, REG_BINARY, &two, 0);
  LoadSettings();
  ok(Enabled, "a value of zero length reads as on", std::to_string(Enabled));

  Enabled = true;
  Autorun = false;
  SaveSettings();
  Enabled = Autorun = true;
  LoadSettings();
  ok(Enabled && !Autorun, "settings round-trip", std::to_string(Enabled) + std::to_string(Autorun));

  HKEY key;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, AgentKey, 0, KEY_READ, &key);
  BYTE data[8];
  DWORD type = 0, size = sizeof data;
  RegQueryValueExA(key, AutorunValue, nullptr, &type, data, &size);
  RegCloseKey(key);
  ok(type == REG_BINARY && size == 1 && data[0] == 0, "Autorun stored as one REG_BINARY byte",
     std::to_string(type) + "/" + std::to_string(size));

  // The byte after the count is not zero, or Windows would store the zero.
  std::string full(1024, 'q');
  SetAgentValue("LongText", REG_SZ, (full + "q").data(), 1024);
  ok(ReadRegString(HKEY_LOCAL_MACHINE, AgentKey, "LongText") == full,
     "1024 bytes without a zero are read whole",
     std::to_string(ReadRegString(HKEY_LOCAL_MACHINE, AgentKey, "LongText").size()));
  SetAgentValue("LongText", REG_SZ, (full + "q").data(), 1025);
  ok(ReadRegString(HKEY_LOCAL_MACHINE, AgentKey, "LongText").empty(),
     "a text too long for the buffer is empty", "");

  RemoveAutostart();
  RemoveAutostart();
}

void CheckVersions(const char* versioned, const char* unversioned) {
  ok(GetFileVersion(versioned) == "2.5.0.17", "FileVersion of a PE file",
     GetFileVersion(versioned));
  ok(GetFileVersion(unversioned) == "0.0.0.0", "file without a version resource",
     GetFileVersion(unversioned));
  ok(GetFileVersion("C:\\no such file.exe") == "0.0.0.0", "missing file", "");
  ok(GetFileVersion("C:\\windows") == "0.0.0.0", "folder", GetFileVersion("C:\\windows"));
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  int i = 1;
  for (; i < argc && std::strlen(argv[i]) > 2 && argv[i][1] == '='; ++i) CheckDrive(argv[i]);
  CheckSettings();
  if (i + 1 < argc) CheckVersions(argv[i], argv[i + 1]);
  std::printf("%d failed\n", failures);
  return failures ? 1 : 0;
}

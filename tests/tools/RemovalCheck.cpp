// Runs the uninstaller's look-ups and removal operations under Wine, against
// the real registry and real folders. The arguments are a list of commands,
// run in order; each prints one line for the test script to compare:
//   attrib PATH HEX     SetFileAttributesA, then prints the attributes read back
//   prefixed FOLDER     DeletePrefixedEntries
//   listed FOLDER       DeleteListedFiles, prints the error code (0: read whole)
//   tree FOLDER         DeleteTree
//   chain BASE REL      RemoveFolderChain
//   look                prints every registry look-up
//   unagent             DeleteAgentKey and DeleteAgentRunValue
//   hold PATH FLAG      holds PATH open without sharing until the file FLAG exists
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "InstallRecord.h"
#include "Locations.h"
#include "Registry.h"
#include "Removal.h"

namespace {

void Look() {
  std::printf("uninstall-dir=%s\n", GetUninstallDir(UninstallStringValue).c_str());
  std::printf("levels=%u\n", GetCreatePathLevels());
  std::printf("shortcut-path=%s\n", GetShortcutPath().c_str());
  std::printf("desktop=%s\n", GetDesktopDir().c_str());
  std::printf("programs=%s\n", GetProgramsDir().c_str());
  std::printf("agent=%s\n", GetAgentRootDir().c_str());
  std::printf("zel=%s\n", GetProductRootDir(ZelProductName).c_str());
  std::printf("orvana-missing=%d\n", IsOrvanaMissing());
}

void Hold(const char* path, const char* flag) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  std::printf("hold %s: %s\n", path, file == INVALID_HANDLE_VALUE ? "failed" : "held");
  std::fflush(stdout);
  for (int waited = 0; waited < 600 && GetFileAttributesA(flag) == INVALID_FILE_ATTRIBUTES;
       ++waited)
    Sleep(100);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

// Runs the command at argv[0]; gives how many arguments it took, 0 for an unknown one.
int Run(int argc, char** argv) {
  const char* command = argv[0];
  if (!std::strcmp(command, "look")) return Look(), 1;
  if (!std::strcmp(command, "unagent")) return DeleteAgentKey(), DeleteAgentRunValue(), 1;
  if (argc < 2) return 0;
  if (!std::strcmp(command, "prefixed")) return DeletePrefixedEntries(argv[1]), 2;
  if (!std::strcmp(command, "tree")) return DeleteTree(argv[1]), 2;
  if (!std::strcmp(command, "listed")) {
    IoResult result = DeleteListedFiles(argv[1]);
    std::printf("listed %s: error %lu\n", argv[1], result.error);
    return 2;
  }
  if (argc < 3) return 0;
  if (!std::strcmp(command, "chain")) return RemoveFolderChain(argv[1], argv[2]), 3;
  if (!std::strcmp(command, "hold")) return Hold(argv[1], argv[2]), 3;
  if (!std::strcmp(command, "attrib")) {
    SetFileAttributesA(argv[1], std::strtoul(argv[2], nullptr, 16));
    std::printf("attrib %s: %lx\n", argv[1], GetFileAttributesA(argv[1]));
    return 3;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc;) {
    int taken = Run(argc - i, argv + i);
    if (!taken) {
      std::printf("unknown command: %s\n", argv[i]);
      return 2;
    }
    i += taken;
  }
  std::fflush(stdout);
  return 0;
}

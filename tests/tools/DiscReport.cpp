// Prints how the agent judges each drive named on the command line, with and
// without the full check, and the version of each program file named after
// the drives: DiscReport D E F ... -- C:\file.exe ...
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "DiscRecognition.h"
#include "FileVersion.h"

namespace {

const char* EditionName(bool match, Edition edition) {
  if (!match) return "not a product disc";
  return edition == EditionZel ? "ZEL" : edition == EditionOxd ? "OXD" : "?";
}

void ReportDrive(char letter) {
  char root[] = "?:\\";
  root[0] = letter;
  char label[32] = "";
  DWORD serial = 0;
  GetVolumeInformationA(root, label, sizeof label, &serial, nullptr, nullptr, nullptr, 0);
  Edition quick = EditionAny, full = EditionAny;
  bool quickMatch = RecogniseDisc(root, false, quick, EditionAny);
  bool fullMatch = RecogniseDisc(root, true, full, EditionAny);
  std::printf("%s  label %-12s serial %08lX  short check: %-18s full check: %s\n", root, label,
              static_cast<unsigned long>(serial), EditionName(quickMatch, quick),
              EditionName(fullMatch, full));
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--"); ++i) ReportDrive(argv[i][0]);
  for (++i; i < argc; ++i)
    std::printf("version of %s: %s\n", argv[i], GetFileVersion(argv[i]).c_str());
  return 0;
}

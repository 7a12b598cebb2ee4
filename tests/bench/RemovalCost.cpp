// Times DeleteListedFiles on the stand-in with install logs of 10,000 and
// 100,000 lines, each naming a file that exists, and fails when the longer
// log costs more than 12 times the shorter: the work must grow linearly.
// Then times a whole uninstall, from the OK click to the hand-off, of an
// installation of 10,000 files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "Dialog.h"
#include "Handoff.h"
#include "InstallRecord.h"
#include "Removal.h"
#include "SimMachine.h"
#include "UninstallRun.h"
#include "UninstallState.h"

namespace {

const char Folder[] = "C:\\Program Files\\Player\\";

typedef std::chrono::duration<double, std::milli> Milliseconds;

// A fresh machine with an installation of that many files, all in the log.
void LayDown(int files) {
  sim::Reset();
  std::string log;
  for (int i = 0; i < files; ++i) {
    std::string path = std::string(Folder) + "Data\\file" + std::to_string(i) + ".bin";
    sim::AddFile(path, "");
    log += path + "\r\n";
  }
  sim::AddFile(std::string(Folder) + "uninstall.dat", log);
}

// The best of three runs, in milliseconds.
double Time(int lines) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    LayDown(lines);
    auto start = std::chrono::steady_clock::now();
    if (DeleteListedFiles(Folder).Failed()) return -1;
    best = std::min(best, Milliseconds(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// The uninstaller run to its end with OK pressed; -1 unless it removed the
// player and started the helper.
double TimeUninstall(int files) {
  LayDown(files);
  ResetUninstallState();
  sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, UninstallStringValue,
                  std::string(Folder) + "Uninstall.exe");
  sim::AddResource(HelperResourceType, HelperResourceName, "MZ");
  sim::OnIdle([] { PostMessageA(MainWindow, WM_COMMAND, OkButtonId, 0); });
  auto start = std::chrono::steady_clock::now();
  UINT exitCode = 0;
  try {
    UninstallMain();
  } catch (const sim::ProcessExit& exit) {
    exitCode = exit.code;
  }
  double took = Milliseconds(std::chrono::steady_clock::now() - start).count();
  bool whole = exitCode == ExitPlayerRemoved && sim::Processes().size() == 1 &&
               !sim::EntryExists(std::string(Folder) + "Data\\file0.bin");
  return whole ? took : -1;
}

}  // namespace

int main() {
  double small = Time(10000), large = Time(100000);
  if (small <= 0 || large <= 0) {
    std::printf("removal cost: the log could not be read\n");
    return 1;
  }
  double ratio = large / small;
  std::printf(
      "DeleteListedFiles on the stand-in: 10,000 lines %.1f ms, 100,000 lines %.1f ms, ratio "
      "%.1f\n",
      small, large, ratio);
  double uninstall = TimeUninstall(10000);
  if (uninstall < 0) {
    std::printf("uninstall cost: the run did not remove the player\n");
    return 1;
  }
  std::printf("A whole uninstall of 10,000 files on the stand-in: %.1f ms\n", uninstall);
  return ratio <= 12 ? 0 : 1;
}

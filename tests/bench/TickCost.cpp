// Prints the Win32 calls that one steady-state watch tick makes per drive on
// the stand-in: a drive holding a product disc already handled (short
// check), and an empty drive.
#include <cstdio>
#include <map>
#include <string>

#include "AgentMain.h"
#include "AgentState.h"
#include "DiscMaker.h"
#include "InstallRecord.h"
#include "SimMachine.h"
#include "TrayIcon.h"

namespace {

void SetUpMachine(bool withDisc) {
  sim::Reset();
  ResetAgentState();
  for (const char* name : {MainIconName, IdleIconName, DiscIconName, DisabledIconName})
    sim::AddIconResource(name);
  sim::AddFile("C:\\Program Files\\ZEL\\zel.exe", "MZ");
  sim::SetRegText(HKEY_LOCAL_MACHINE, ZelKey, RootDirValue, "C:\\Program Files\\ZEL\\zel.exe");
  sim::AddDrive('D', DRIVE_CDROM);
  sim::EjectMedia('D');
  if (!withDisc) return;
  disc::Disc made = disc::Make(disc::ZelRecordDisc);
  for (const auto& file : made.files) sim::AddFile("D:\\" + file.first, file.second);
  sim::InsertMedia('D', made.label, made.serial);
}

void Report(const char* what, bool withDisc) {
  SetUpMachine(withDisc);
  StartAgent();
  sim::Tick();  // a disc put in before the start is handled by now
  sim::ClearCallCounts();
  sim::Tick();
  int total = 0;
  std::string list;
  for (const auto& call : sim::CallCounts()) {
    bool counted = call.first.rfind("Reg", 0) == 0 ||
                   call.first.find("File") != std::string::npos ||
                   call.first.rfind("GetVolume", 0) == 0 || call.first == "FindClose";
    if (!counted) continue;
    total += call.second;
    list += " " + call.first + "=" + std::to_string(call.second);
  }
  std::printf("one tick, %s: %d file-system and registry calls:%s\n", what, total, list.c_str());
  SendMessageA(MainWindow, WM_DESTROY, 0, 0);
  FinishAgent();
}

}  // namespace

int main() {
  Report("drive with a handled product disc", true);
  Report("empty drive", false);
  return 0;
}

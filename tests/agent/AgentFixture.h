// Shared set-up for the agent's host tests: the agent's icon resources, a
// ZEL player installed under a path with blanks, and helpers to look at what
// the agent did.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "AgentMain.h"
#include "AgentState.h"
#include "InstallRecord.h"
#include "Player.h"
#include "TestMachine.h"
#include "TrayIcon.h"

class AgentTest : public MachineTest {
 protected:
  const std::string ZelPath = "C:\\Program Files\\ZEL\\zel.exe";
  const std::string OxdPath = "C:\\Orvana\\oxd.exe";

  void SetUp() override {
    MachineTest::SetUp();
    for (const char* name : {MainIconName, IdleIconName, DiscIconName, DisabledIconName})
      sim::AddIconResource(name);
    InstallZel();
  }

  void InstallZel(const std::string& version = "1.0.0.0") { Install(ZelKey, ZelPath, version); }
  void InstallOxd(const std::string& version = "1.0.0.0") { Install(OxdKey, OxdPath, version); }
  static void Install(const char* key, const std::string& path, const std::string& version) {
    sim::AddFile(path, "MZ");
    sim::SetFileVersion(path, version);
    sim::SetRegText(HKEY_LOCAL_MACHINE, key, RootDirValue, path);
  }
  static void SetSetting(const char* name, BYTE value) {
    sim::SetRegByte(HKEY_LOCAL_MACHINE, AgentKey, name, value);
  }

  static void EmptyDrive(char letter) {
    sim::AddDrive(letter, DRIVE_CDROM);
    sim::EjectMedia(letter);
  }
  static void InsertDisc(char letter, disc::Kind kind) { Insert(letter, disc::Make(kind)); }
  // A product disc with its own installer of the given version.
  static void InsertDiscWithInstaller(char letter, disc::Kind kind, const std::string& version) {
    InsertDisc(letter, kind);
    std::string installer = std::string(1, letter) + ":\\install.exe";
    sim::AddFile(installer, "MZ");
    if (!version.empty()) sim::SetFileVersion(installer, version);
  }

  // Starts the agent up to its message loop.
  void Start() { ASSERT_TRUE(StartAgent()); }
  // Ends it as another program does, and runs its loop to the end.
  int Stop() {
    SendMessageA(MainWindow, WM_DESTROY, 0, 0);
    return FinishAgent();
  }

  static std::vector<std::string> PlayerStarts() {
    std::vector<std::string> lines;
    for (const auto& process : sim::Processes())
      if (process.winExec) lines.push_back(process.commandLine);
    return lines;
  }
  static std::vector<std::string> InstallerStarts() {
    std::vector<std::string> lines;
    for (const auto& process : sim::Processes())
      if (!process.winExec) lines.push_back(process.commandLine);
    return lines;
  }
  // The icon and tip the notification area shows now ("" when none).
  static std::string ShownIcon() {
    auto icons = sim::TrayIcons();
    return icons.empty() ? "" : sim::IconName(icons[0].hIcon);
  }
  static std::string ShownTip() {
    auto icons = sim::TrayIcons();
    return icons.empty() ? "" : icons[0].szTip;
  }
  static int TrayCallCount() { return static_cast<int>(sim::TrayCalls().size()); }
  static void Click(LPARAM mouse) { SendMessageA(MainWindow, WM_TRAYNOTIFY, TrayIconId, mouse); }
  static void Command(WPARAM id) {
    SendMessageA(MainWindow, WM_COMMAND, id, 0);
    sim::PumpMessages();
  }
  // Exactly one message box was shown, owned by the agent's window.
  static void ExpectOneBox(const std::string& text, const std::string& caption, UINT style) {
    auto boxes = sim::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(text, boxes[0].text);
    EXPECT_EQ(caption, boxes[0].caption);
    EXPECT_EQ(style, boxes[0].style);
    EXPECT_EQ(MainWindow, boxes[0].owner);
  }
  static std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : sim::MessageBoxes()) texts.push_back(box.text);
    return texts;
  }
};

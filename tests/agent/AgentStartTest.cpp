// The agent's start-up, its hidden window and tray icon, and its end.
#include <cstring>

#include "AgentFixture.h"

namespace {

const std::string MainIcon = "MainIcon", Idle = "MainIcon1", Disc = "MainIcon2",
                  Disabled = "MainIcon3";

TEST_F(AgentTest, FirstStartWithoutSettingsWatchesWithAHiddenWindow) {
  EmptyDrive('D');
  sim::SetScreenSize(1023, 767);
  Start();

  sim::ClassInfo agentClass;
  ASSERT_TRUE(sim::GetClass("OXD Agent", &agentClass));
  EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW), agentClass.fields.style);
  EXPECT_EQ(MainIcon, sim::IconName(agentClass.fields.hIcon));
  EXPECT_NE(nullptr, agentClass.fields.hCursor);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(5), agentClass.fields.hbrBackground);
  EXPECT_TRUE(agentClass.hasMenuName && agentClass.menuName.empty());

  sim::WindowInfo window = sim::GetWindow(MainWindow);
  EXPECT_EQ(std::string("OXD Agent v.\x01\x01", 14), window.title);
  EXPECT_EQ(0x80C80000u, window.style);
  EXPECT_EQ(0u, window.exStyle);
  EXPECT_EQ(461, window.x) << "(1023 - 100) / 2, rounded toward zero";
  EXPECT_EQ(358, window.y);
  EXPECT_EQ(100, window.width);
  EXPECT_EQ(50, window.height);

  auto calls = sim::TrayCalls();
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), calls[0].action);
  EXPECT_EQ(Idle, sim::IconName(calls[0].data.hIcon));
  EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), calls[1].action);
  const NOTIFYICONDATAA& data = calls[1].data;
  EXPECT_EQ(sizeof(NOTIFYICONDATAA), data.cbSize);
  EXPECT_EQ(MainWindow, data.hWnd);
  EXPECT_EQ(10245u, data.uID);
  EXPECT_EQ(7u, data.uFlags);
  EXPECT_EQ(0x407u, data.uCallbackMessage);
  EXPECT_STREQ("Agent is enabled", data.szTip);

  auto timers = sim::Timers();
  ASSERT_EQ(1u, timers.size());
  EXPECT_EQ(1u, timers[0].id);
  EXPECT_EQ(1000u, timers[0].period);
  EXPECT_EQ(MainWindow, timers[0].window);
  EXPECT_EQ(1, sim::CallCounts()["SetErrorMode"]);
  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_EQ(0, Stop());
}

TEST_F(AgentTest, DisabledAtStartShowsItAndNeitherScansNorTimes) {
  InsertDiscWithInstaller('D', disc::ZelRecordDisc, "9.0.0.0");
  SetSetting(EnabledValue, 0);
  Start();
  EXPECT_EQ(Disabled, ShownIcon());
  EXPECT_EQ("Agent is disabled", ShownTip());
  EXPECT_EQ(1, TrayCallCount());
  EXPECT_TRUE(sim::Timers().empty());
  EXPECT_TRUE(sim::Processes().empty()) << "no installer check while disabled";
  EXPECT_EQ(0, Stop());
}

TEST_F(AgentTest, ProductDiscInTheDriveAtStartIsShownButNotPlayed) {
  InsertDiscWithInstaller('D', disc::ZelRecordDisc, "9.0.0.0");
  Start();
  EXPECT_EQ(Disc, ShownIcon());
  ASSERT_EQ(1u, DriveTable.size());
  EXPECT_FALSE(DriveTable[0].Armed);
  EXPECT_EQ(std::vector<std::string>{"D:\\install.exe #A"}, InstallerStarts())
      << "the installer check runs once at start";
  sim::Tick();
  sim::Tick();
  EXPECT_TRUE(PlayerStarts().empty());
  EXPECT_EQ(0, Stop());
}

TEST_F(AgentTest, OnlyClassAndTitleTogetherKeepASecondCopyOut) {
  sim::AddForeignWindow("OXD Agent", "OXD Agent v.");
  sim::OnIdle([] { SendMessageA(MainWindow, WM_DESTROY, 0, 0); });
  EXPECT_EQ(0, AgentEntry()) << "another title: this copy runs and is closed";
  EXPECT_EQ(3, TrayCallCount()) << "add, modify, delete";

  sim::Reset();
  ResetAgentState();
  sim::AddForeignWindow("oxd agent", "OXD Agent v.\x01\x01");
  EXPECT_EQ(0, AgentEntry());
  EXPECT_EQ(0, TrayCallCount());
  sim::ClassInfo unused;
  EXPECT_FALSE(sim::GetClass("OXD Agent", &unused));
}

TEST_F(AgentTest, ClosingRemovesTheTrayIconThenTheTimerThenTheIcons) {
  EmptyDrive('D');
  Start();
  UINT_PTR timer = TimerId;
  sim::OnIdle([] { SendMessageA(MainWindow, WM_DESTROY, 0, 0); });
  EXPECT_EQ(0, FinishAgent());
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), sim::TrayCalls().back().action);
  EXPECT_TRUE(sim::TrayIcons().empty());
  EXPECT_TRUE(sim::Timers().empty());
  EXPECT_EQ(1u, timer);
  EXPECT_EQ((std::vector<std::string>{Disabled, Disc, Idle}), sim::FreedResources());
  EXPECT_EQ(1, sim::CallCounts()["KillTimer"]);
}

TEST_F(AgentTest, ExitCodesOfFailures) {
  sim::FailRegisterClass();
  EXPECT_EQ(255, AgentMain()) << "no window class";
  EXPECT_EQ(0, TrayCallCount());
  EXPECT_TRUE(sim::MessageBoxes().empty());

  SetUp();
  EmptyDrive('D');
  Start();
  EXPECT_EQ(255, FinishAgent()) << "GetMessageA failing ends the loop instead of spinning";
  EXPECT_EQ(1, sim::Starved());
  EXPECT_TRUE(sim::TrayIcons().empty()) << "and the clean-up still runs";
}

TEST_F(AgentTest, NoCdDriveAsksWhetherToGoOn) {
  std::vector<int> answers = {IDYES, IDNO};
  for (int answer : answers) {
    SetUp();
    sim::OnMessageBox([answer](const sim::MessageBoxShown& box) {
      SendMessageA(box.owner, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
      return answer;
    });
    Start();
    ExpectOneBox("CD-ROM drive is not detected! Continue?", "Warning", 0x134);
    sim::TrayCall first = sim::TrayCalls().at(0);
    EXPECT_TRUE(first.action == NIM_ADD && first.result && sim::IconName(first.data.hIcon) == Idle)
        << "a shell starting anew during the question adds no icon before the agent's own";
    EXPECT_EQ(answer == IDNO, sim::QuitPending()) << "No closes the agent";
    EXPECT_EQ(Idle, ShownIcon()) << "the rest of the start-up still runs";
    EXPECT_EQ(0, answer == IDNO ? FinishAgent() : Stop());
    EXPECT_TRUE(sim::TrayIcons().empty());
  }
  SetUp();
  StartupCheck(false);
  EXPECT_TRUE(sim::MessageBoxes().empty()) << "no question without the prompt";
}

TEST_F(AgentTest, NoPlayerEndsTheAgentAndItsAutostart) {
  sim::RemoveEntry(ZelPath);
  sim::SetRegText(HKEY_CURRENT_USER, RunKey, AutostartValue, "C:\\agent.exe");
  EmptyDrive('D');
  Start();
  ExpectOneBox("Player is not installed!", "Error", 0x10);
  EXPECT_FALSE(sim::GetRegValue(HKEY_CURRENT_USER, RunKey, AutostartValue, nullptr, nullptr));
  EXPECT_TRUE(DriveTable.empty());
  EXPECT_TRUE(sim::QuitPending());
  EXPECT_EQ(0, FinishAgent());
  EXPECT_TRUE(sim::TrayIcons().empty());
}

TEST_F(AgentTest, TheTrayIconComesBackWhenTheShellStartsAnew) {
  struct Case {
    const char* what;
    BYTE enabled;
    bool disc, vista;
    std::string icon;
    const char* tip;
  } cases[] = {
      {"watching off", 0, false, true, Disabled, "Agent is disabled"},
      {"no product disc", 1, false, false, Idle, "Agent is enabled"},
      {"a product disc", 1, true, false, Disc, "Agent is enabled"},
  };
  for (const Case& c : cases) {
    sim::Reset();
    SetUp();
    c.disc ? InsertDisc('D', disc::ZelRecordDisc) : EmptyDrive('D');
    SetSetting(EnabledValue, c.enabled);
    if (c.vista) sim::OfferMessageFilter();
    Start();
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    std::vector<std::pair<UINT, DWORD>> filters;
    if (c.vista) filters.push_back({taskbarCreated, 1});
    EXPECT_EQ(filters, sim::MessageFilters()) << c.what << ": let through where Windows can";
    sim::RestartShell();
    sim::ClearCallCounts();
    SendMessageA(MainWindow, taskbarCreated, 0, 0);
    ASSERT_EQ(1u, sim::TrayIcons().size()) << c.what;
    EXPECT_EQ(c.icon, ShownIcon()) << c.what;
    EXPECT_EQ(c.tip, ShownTip()) << c.what;
    EXPECT_EQ(1, sim::CallCounts()["DefWindowProcA"]) << c.what;
    EXPECT_EQ(0, Stop());
    EXPECT_TRUE(sim::TrayIcons().empty()) << c.what << ": and it goes at the end";
  }
}

TEST_F(AgentTest, TrayTipIsCutToSixtyThreeCharacters) {
  std::string tip(70, 't');
  TrayIconSet(nullptr, 1, nullptr, NIM_ADD, tip, 0);
  EXPECT_EQ(std::string(63, 't'), ShownTip());
  TrayIconSet(nullptr, 1, nullptr, NIM_MODIFY, "short", 0);
  EXPECT_EQ("short", ShownTip()) << "the whole record is cleared each time";
}

}  // namespace

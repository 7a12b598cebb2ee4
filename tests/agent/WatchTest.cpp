// The watch tick, the tray callback and the menu, on a running agent.
#include <dbt.h>

#include "AgentFixture.h"
#include "AgentWndProc.h"

namespace {

const std::string ZelOnD = "\"C:\\Program Files\\ZEL\\zel.exe\" D=D";

class WatchTest : public AgentTest {
 protected:
  void TearDown() override {
    if (MainWindow) {
      EXPECT_EQ(0, Stop());
    }
    AgentTest::TearDown();
  }
};

LRESULT Announce(WPARAM event, DWORD deviceType = DBT_DEVTYP_VOLUME) {
  DEV_BROADCAST_VOLUME volume = {sizeof volume, deviceType, 0, 1u << ('D' - 'A'), DBTF_MEDIA};
  return SendMessageA(MainWindow, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
}

TEST_F(WatchTest, TheSystemsAnnouncementOfAVolumeRunsTheTickAtOnce) {
  EmptyDrive('D');
  Start();
  InsertDisc('D', disc::ZelRecordDisc);
  const struct {
    WPARAM event;
    DWORD deviceType;
  } ignored[] = {{DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME},
                 {DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT},
                 {DBT_DEVICEARRIVAL, DBT_DEVTYP_OEM}};
  for (const auto& row : ignored) {
    sim::ClearCallCounts();
    EXPECT_EQ(0, Announce(row.event, row.deviceType)) << row.event << " " << row.deviceType;
    EXPECT_EQ(1, sim::CallCounts()["DefWindowProcA"]);
  }
  EXPECT_EQ(0, SendMessageA(MainWindow, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0));
  sim::PumpMessages();
  EXPECT_TRUE(PlayerStarts().empty());

  EXPECT_EQ(TRUE, Announce(DBT_DEVICEARRIVAL));
  EXPECT_TRUE(PlayerStarts().empty()) << "the answer comes first, then the tick";
  sim::PumpMessages();
  EXPECT_EQ("MainIcon2", ShownIcon());
  EXPECT_EQ(std::vector<std::string>{ZelOnD}, PlayerStarts());
  sim::EjectMedia('D');
  EXPECT_EQ(TRUE, Announce(DBT_DEVICEREMOVECOMPLETE));
  sim::PumpMessages();
  EXPECT_EQ("MainIcon1", ShownIcon());
  EXPECT_TRUE(DriveTable[0].Armed);

  Command(IDM_ENABLED);
  InsertDisc('D', disc::ZelRecordDisc);
  EXPECT_EQ(TRUE, Announce(DBT_DEVICEARRIVAL));
  sim::PumpMessages();
  EXPECT_EQ(1u, PlayerStarts().size()) << "nothing while watching is off";
  EXPECT_EQ("MainIcon3", ShownIcon());
}

// What a leak would pile up over weeks: handles, menus, windows, timers.
TEST_F(WatchTest, ThousandsOfDiscsAndMenusLeaveNothingBehind) {
  EmptyDrive('D');
  Start();
  auto held = [] {
    return std::vector<size_t>{static_cast<size_t>(sim::OpenHandles()),
                               static_cast<size_t>(sim::OpenMenus()), sim::Windows().size(),
                               sim::Timers().size()};
  };
  std::vector<size_t> before = held();
  for (int i = 0; i < 1000; ++i) {
    InsertDisc('D', disc::ZelRecordDisc);
    Announce(DBT_DEVICEARRIVAL);
    sim::PumpMessages();
    sim::EjectMedia('D');
    Announce(DBT_DEVICEREMOVECOMPLETE);
    sim::PumpMessages();
  }
  for (int i = 0; i < 200; ++i) Click(WM_RBUTTONDOWN);
  sim::PumpMessages();
  EXPECT_EQ(before, held());
  EXPECT_EQ(1000u, PlayerStarts().size());
  EXPECT_EQ(200u, sim::MenusShown().size());
}

TEST_F(WatchTest, AProductDiscPlaysOnceEachTimeItIsPutIn) {
  EmptyDrive('D');
  Start();
  sim::Tick();
  EXPECT_EQ("MainIcon1", ShownIcon());
  int trayCalls = TrayCallCount();

  InsertDisc('D', disc::ZelRecordDisc);
  sim::Tick();
  EXPECT_EQ("MainIcon2", ShownIcon());
  EXPECT_EQ(std::vector<std::string>{ZelOnD}, PlayerStarts());
  EXPECT_EQ(static_cast<UINT>(SW_SHOW), sim::Processes()[0].show);
  EXPECT_EQ(100u, sim::SleptMilliseconds());
  for (int i = 0; i < 3; ++i) sim::Tick();
  EXPECT_EQ(1u, PlayerStarts().size()) << "not again while the disc stays";
  EXPECT_EQ(trayCalls + 1, TrayCallCount()) << "the icon is touched only on a change";

  sim::EjectMedia('D');
  sim::Tick();
  EXPECT_EQ("MainIcon1", ShownIcon());
  EXPECT_TRUE(DriveTable[0].Armed);
  EXPECT_EQ(NoSerial, DriveTable[0].Serial);
  InsertDisc('D', disc::ZelRecordDisc);
  sim::Tick();
  EXPECT_EQ(2u, PlayerStarts().size()) << "the same disc put back plays again";
}

TEST_F(WatchTest, WithoutAutorunOnlyADoubleClickPlays) {
  SetSetting(AutorunValue, 0);
  EmptyDrive('D');
  Start();
  Click(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(PlayerStarts().empty()) << "no product disc yet";
  InsertDiscWithInstaller('D', disc::ZelRecordDisc, "9.0.0.0");
  sim::Tick();
  EXPECT_EQ("MainIcon2", ShownIcon());
  EXPECT_EQ(std::vector<std::string>{"D:\\install.exe #A"}, InstallerStarts())
      << "the installer check runs for a new disc all the same";
  EXPECT_TRUE(PlayerStarts().empty());

  Click(WM_LBUTTONDOWN);
  SendMessageA(MainWindow, WM_TRAYNOTIFY, TrayIconId + 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(PlayerStarts().empty()) << "another mouse message or icon does nothing";
  Click(WM_LBUTTONDBLCLK);
  EXPECT_EQ(std::vector<std::string>{"\"C:\\Program Files\\ZEL\\zel.exe\""}, PlayerStarts());
  EXPECT_EQ(2u, InstallerStarts().size()) << "a double click checks the installers first";
}

TEST_F(WatchTest, ADiscUnrecognisedAtStartDoesNotPlayWhenItBecomesRecognised) {
  sim::RemoveEntry(ZelPath);
  InstallOxd();
  InsertDisc('D', disc::ZelRecordDisc);
  Start();
  EXPECT_TRUE(DriveTable[0].Armed);
  EXPECT_EQ("MainIcon1", ShownIcon());
  InstallZel();
  sim::Tick();
  EXPECT_EQ("MainIcon2", ShownIcon());
  sim::EjectMedia('D');
  sim::Tick();
  InsertDisc('D', disc::ZelRecordDisc);
  sim::Tick();
  EXPECT_TRUE(PlayerStarts().empty()) << "its serial number stayed in the armed entry";
  InsertDisc('D', disc::ZelSignatureDisc);
  sim::Tick();
  EXPECT_EQ(1u, PlayerStarts().size()) << "another disc does play";
}

TEST_F(WatchTest, TwoDrivesAreWatchedEachOnItsOwn) {
  EmptyDrive('D');
  EmptyDrive('E');
  Start();
  InsertDisc('E', disc::ZelRecordDisc);
  sim::Tick();
  InsertDisc('D', disc::ZelSignatureDisc);
  sim::Tick();
  EXPECT_EQ((std::vector<std::string>{"\"C:\\Program Files\\ZEL\\zel.exe\" D=E", ZelOnD}),
            PlayerStarts());
  sim::EjectMedia('E');
  sim::Tick();
  EXPECT_EQ("MainIcon2", ShownIcon()) << "D still holds a product disc";
  sim::EjectMedia('D');
  sim::Tick();
  EXPECT_EQ("MainIcon1", ShownIcon());
}

TEST_F(WatchTest, OtherDiscsAndUninstalledEditionsLeaveTheIconIdle) {
  EmptyDrive('D');
  EmptyDrive('E');
  Start();
  InsertDisc('D', disc::PlainDisc);
  InsertDisc('E', disc::OxdRecordDisc);
  for (int i = 0; i < 3; ++i) sim::Tick();
  EXPECT_EQ("MainIcon1", ShownIcon());
  EXPECT_TRUE(sim::Processes().empty());
}

TEST_F(WatchTest, TheDriveListIsRenewedEveryEighthTickButNotTheTable) {
  EmptyDrive('D');
  EmptyDrive('E');
  Start();
  sim::ClearCallCounts();
  for (int i = 0; i < 7; ++i) sim::Tick();
  EXPECT_EQ(0, sim::CallCounts()["GetDriveTypeA"]);
  sim::AddDrive('E', DRIVE_NO_ROOT_DIR);  // the drive is gone
  sim::AddDrive('F', DRIVE_CDROM);
  sim::Tick();
  EXPECT_EQ(26, sim::CallCounts()["GetDriveTypeA"]);
  EXPECT_EQ("DF", CdDrives);
  ASSERT_EQ(2u, DriveTable.size());
  EXPECT_EQ('E', DriveTable[1].Letter) << "a new drive waits for the next start-up check";
  EXPECT_EQ(7, RescanCountdown);
}

TEST_F(WatchTest, VanishedDrivesAreNoLongerVisited) {
  EmptyDrive('D');
  EmptyDrive('E');
  Start();
  CdDrives = "D";
  sim::ClearCallCounts();
  sim::Tick();
  EXPECT_EQ(1, sim::CallCounts()["GetVolumeInformationA"]);
}

TEST_F(WatchTest, ATickInsideAFailureBoxDoesNotStartTheDiscTwice) {
  EmptyDrive('D');
  Start();
  sim::SetWinExecResult(2);
  int ticksInBox = 0;
  sim::OnMessageBox([&](const sim::MessageBoxShown& box) {
    EXPECT_EQ("Unable to run ZEL Musical Player", box.text);
    EXPECT_EQ("Error", box.caption);
    EXPECT_EQ(0x10u, box.style);
    if (ticksInBox++ == 0) {
      sim::Tick();
      sim::Tick();
    }
    return IDOK;
  });
  InsertDisc('D', disc::ZelRecordDisc);
  sim::Tick();
  EXPECT_EQ(1u, PlayerStarts().size());
  EXPECT_EQ(1u, sim::MessageBoxes().size());
  EXPECT_EQ(0u, sim::SleptMilliseconds()) << "no pause after a failed start";
}

TEST_F(WatchTest, TheDriveTableRenewedInsideABoxEndsTheTick) {
  EmptyDrive('D');
  EmptyDrive('E');
  Start();
  sim::SetWinExecResult(2);
  sim::OnMessageBox([](const sim::MessageBoxShown&) {
    if (DriveTable.size() == 2) {  // the user switches watching off and on meanwhile
      sim::AddDrive('E', DRIVE_NO_ROOT_DIR);
      Command(IDM_ENABLED);
      Command(IDM_ENABLED);
    }
    return IDOK;
  });
  InsertDisc('D', disc::ZelRecordDisc);
  InsertDisc('E', disc::ZelRecordDisc);
  sim::Tick();
  EXPECT_EQ(1u, DriveTable.size());
  EXPECT_EQ(std::vector<std::string>{ZelOnD}, PlayerStarts())
      << "the entry of E is gone and is not visited";
}

TEST_F(WatchTest, TheMenuShowsTheSettingsAndPostsItsCommand) {
  EmptyDrive('D');
  Start();
  sim::SetCursorPos(900, 740);
  sim::OnMenu([](const sim::MenuShown&) { return IDM_AUTORUN; });
  Click(WM_RBUTTONDOWN);
  auto menus = sim::MenusShown();
  ASSERT_EQ(1u, menus.size());
  const sim::MenuShown& menu = menus[0];
  ASSERT_EQ(4u, menu.items.size());
  EXPECT_EQ("&Autorun", menu.items[0].text);
  EXPECT_EQ(IDM_AUTORUN, menu.items[0].id);
  EXPECT_EQ(static_cast<UINT>(MF_CHECKED), menu.items[0].flags);
  EXPECT_EQ("&Enabled", menu.items[1].text);
  EXPECT_EQ(IDM_ENABLED, menu.items[1].id);
  EXPECT_EQ(static_cast<UINT>(MF_CHECKED), menu.items[1].flags);
  EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), menu.items[2].flags);
  EXPECT_EQ("E&xit", menu.items[3].text);
  EXPECT_EQ(IDM_EXIT, menu.items[3].id);
  EXPECT_EQ(0u, menu.items[3].flags);
  EXPECT_EQ(0u, menu.flags);
  EXPECT_EQ(900, menu.x);
  EXPECT_EQ(740, menu.y);
  EXPECT_EQ(MainWindow, menu.owner);
  EXPECT_EQ(MainWindow, menu.foreground);
  EXPECT_EQ(0, sim::OpenMenus());
  auto queued = sim::QueuedMessages();
  ASSERT_EQ(2u, queued.size()) << "the command, then WM_USER";
  EXPECT_EQ(static_cast<UINT>(WM_COMMAND), queued[0].message);
  EXPECT_EQ(static_cast<UINT>(WM_USER), queued[1].message);

  sim::PumpMessages();
  EXPECT_FALSE(Autorun);
  std::string stored;
  DWORD type = 0;
  sim::GetRegValue(HKEY_LOCAL_MACHINE, AgentKey, AutorunValue, &type, &stored);
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  EXPECT_EQ(std::string(1, '\0'), stored);
  Click(WM_RBUTTONDOWN);
  EXPECT_EQ(0u, sim::MenusShown()[1].items[0].flags) << "no check mark once off";
}

TEST_F(WatchTest, SwitchingWatchingOffAndOn) {
  InsertDisc('D', disc::ZelRecordDisc);
  SetSetting(AutorunValue, 0);
  Start();
  Command(IDM_ENABLED);
  EXPECT_EQ("MainIcon3", ShownIcon());
  EXPECT_EQ("Agent is disabled", ShownTip());
  EXPECT_TRUE(sim::Timers().empty());
  Click(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(PlayerStarts().empty()) << "a double click does nothing while off";
  Command(IDM_AUTORUN);
  EXPECT_TRUE(Autorun);
  EXPECT_EQ("MainIcon3", ShownIcon()) << "Autorun switches while off too";

  sim::EjectMedia('D');
  EmptyDrive('E');
  Command(IDM_ENABLED);
  EXPECT_EQ("MainIcon1", ShownIcon());
  EXPECT_EQ("Agent is enabled", ShownTip());
  EXPECT_EQ(1u, sim::Timers().size());
  EXPECT_EQ("DE", CdDrives) << "the drives are looked up again";
  EXPECT_EQ(2u, DriveTable.size());
  std::string stored;
  sim::GetRegValue(HKEY_LOCAL_MACHINE, AgentKey, EnabledValue, nullptr, &stored);
  EXPECT_EQ("\x01", stored);

  Command(IDM_ENABLED);
  InsertDisc('D', disc::ZelRecordDisc);
  Command(IDM_ENABLED);
  EXPECT_EQ("MainIcon2", ShownIcon());
  sim::Tick();
  EXPECT_TRUE(PlayerStarts().empty()) << "a disc there when watching starts does not play";
  EXPECT_TRUE(InstallerStarts().empty());
  Click(WM_LBUTTONDBLCLK);
  EXPECT_EQ(1u, PlayerStarts().size());
}

TEST_F(WatchTest, SwitchingOnWithoutAPlayerEndsTheAgent) {
  EmptyDrive('D');
  Start();
  Command(IDM_ENABLED);
  sim::RemoveEntry(ZelPath);
  Command(IDM_ENABLED);
  EXPECT_EQ(std::vector<std::string>{"Player is not installed!"}, BoxTexts());
  EXPECT_TRUE(sim::QuitPending());
  std::string stored;
  sim::GetRegValue(HKEY_LOCAL_MACHINE, AgentKey, EnabledValue, nullptr, &stored);
  EXPECT_EQ("\x01", stored) << "the new setting is saved all the same";
}

TEST_F(WatchTest, ExitAndUnknownMessages) {
  EmptyDrive('D');
  Start();
  bool before = Autorun;
  Command(12345);
  SendMessageA(MainWindow, WM_USER, 0, 0);
  EXPECT_EQ(before, Autorun);
  EXPECT_FALSE(sim::QuitPending());
  sim::ClearCallCounts();
  SendMessageA(MainWindow, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_TRUE(sim::QuitPending());
  EXPECT_EQ(1, sim::CallCounts()["DefWindowProcA"]) << "WM_COMMAND goes on, WM_DESTROY not";
  EXPECT_EQ(0, FinishAgent());
  MainWindow = nullptr;
}

}  // namespace

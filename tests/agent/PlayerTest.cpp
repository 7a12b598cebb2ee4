// Finding the players, starting them, and running the discs' installers.
#include "AgentFixture.h"

namespace {

const std::string ZelLine = "\"C:\\Program Files\\ZEL\\zel.exe\"";
const std::string OxdLine = "C:\\Orvana\\oxd.exe";

class PlayerTest : public AgentTest {
 protected:
  void SetUp() override {
    AgentTest::SetUp();
    CdDrives = "DE";
  }
};

TEST_F(PlayerTest, RootDirOfTheZelKeyComesFirst) {
  InstallOxd();
  EXPECT_EQ(ZelPath, ReadRootDir(EditionAny));
  EXPECT_EQ(OxdPath, ReadRootDir(EditionOxd));
  HKEY key;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, ZelKey, 0, KEY_SET_VALUE, &key);
  RegDeleteValueA(key, RootDirValue);
  RegCloseKey(key);
  EXPECT_EQ("", ReadRootDir(EditionAny)) << "a ZEL key without a path hides the Orvana one";
  EXPECT_FALSE(IsPlayerInstalled(EditionZel));
  EXPECT_TRUE(IsPlayerInstalled(EditionOxd));
  EXPECT_EQ(OxdPath, PlayerPath);
  sim::RemoveEntry(OxdPath);
  EXPECT_FALSE(IsPlayerInstalled(EditionOxd)) << "a path to a missing file";
}

TEST_F(PlayerTest, ARunningPlayerHoldsItsMutexAndIsNotStartedAgain) {
  EXPECT_EQ("ZEL Musical PlayerZEL32.Def", RunningMutexName(EditionZel));
  EXPECT_EQ("Orvana Musical Player.OXD32.CritSec", LockMutexName(EditionOxd));
  EXPECT_TRUE(IsPlayerStopped(EditionZel));
  EXPECT_FALSE(sim::MutexExists("ZEL Musical PlayerZEL32.Def")) << "nothing is kept";
  EXPECT_FALSE(sim::MutexExists("ZEL Musical Player.ZEL32.CritSec"));
  sim::HoldMutex("ZEL Musical PlayerZEL32.Def");
  EXPECT_FALSE(IsPlayerStopped(EditionZel));
  EXPECT_TRUE(IsPlayerStopped(EditionOxd));
  sim::AbandonMutex("ZEL Musical PlayerZEL32.Def");
  EXPECT_TRUE(IsPlayerStopped(EditionZel)) << "a player that died without letting go";

  InsertDisc('E', disc::ZelRecordDisc);
  sim::HoldMutex("ZEL Musical PlayerZEL32.Def");
  LaunchPlayer("E");
  EXPECT_TRUE(PlayerStarts().empty());
}

TEST_F(PlayerTest, ADriveGetsOnePlayerToldTheDrive) {
  InstallOxd();
  disc::Disc both = disc::Make(disc::ZelRecordDisc);
  both.files.push_back({AaaMarker, disc::FirstRecordFile("CD=Orvana 1")});
  Insert('E', both);
  ASSERT_TRUE(CanPlayFromDrive("E", EditionZel));
  ASSERT_TRUE(CanPlayFromDrive("E", EditionOxd)) << "a disc of both editions";
  LaunchPlayer("E");
  EXPECT_EQ(std::vector<std::string>{ZelLine + " D=E"}, PlayerStarts());

  sim::HoldMutex("ZEL Musical PlayerZEL32.Def");
  LaunchPlayer("E");
  EXPECT_EQ(OxdLine + " D=E", PlayerStarts().back()) << "the Orvana player when ZEL runs";

  sim::ReleaseHeldMutex("ZEL Musical PlayerZEL32.Def");
  sim::SetWinExecResult(31);
  LaunchPlayer("E");
  EXPECT_EQ((std::vector<std::string>{"Unable to run ZEL Musical Player",
                                      "Unable to run Orvana Musical Player"}),
            BoxTexts())
      << "31 is a failure, and the other edition is tried";
}

TEST_F(PlayerTest, FromTheTrayEachEditionPlaysItsFirstDisc) {
  InstallOxd();
  CdDrives = "CDEF";
  InsertDisc('D', disc::ZelRecordDisc);
  InsertDisc('E', disc::OxdRecordDisc);
  InsertDisc('F', disc::ZelSignatureDisc);
  LaunchPlayer("");
  EXPECT_EQ((std::vector<std::string>{ZelLine, OxdLine}), PlayerStarts());
  EXPECT_EQ(200u, sim::SleptMilliseconds());

  sim::SetWinExecResult(0);
  LaunchPlayer("");
  EXPECT_EQ(2u, sim::MessageBoxes().size()) << "one failure does not stop the other";
}

TEST_F(PlayerTest, APathWithoutBlanksIsNotQuoted) {
  EXPECT_EQ("C:\\zel.exe D=E", PlayerCommandLine("C:\\zel.exe", " D=E"));
  EXPECT_EQ("\"C:\\My Music\\zel.exe\"", PlayerCommandLine("C:\\My Music\\zel.exe", ""));
  EXPECT_EQ("C:\\", ExtractDir("C:\\install.exe"));
  EXPECT_EQ("", ExtractDir("install.exe"));
}

TEST_F(PlayerTest, TheInstallerRunsWhenItsEditionIsMissingOrOlder) {
  InsertDiscWithInstaller('D', disc::ZelRecordDisc, "1.0.0.0");
  InsertDiscWithInstaller('E', disc::ZelSignatureDisc, "1.0.0.1");
  CheckDiscInstallers();
  EXPECT_EQ(std::vector<std::string>{"E:\\install.exe #A"}, InstallerStarts());
  auto process = sim::Processes()[0];
  EXPECT_EQ("", process.application);
  EXPECT_FALSE(process.inheritHandles);
  EXPECT_EQ(0u, process.flags);
  EXPECT_FALSE(process.environment || process.currentDirectory);
  EXPECT_EQ(sizeof(STARTUPINFOA), process.startupSize);
  EXPECT_TRUE(process.startupZero);
  EXPECT_EQ(std::vector<DWORD>{INFINITE}, sim::ProcessWaits());
}

TEST_F(PlayerTest, ChoosingAmongInstallers) {
  struct Case {
    const char* what;
    bool zelInstalled;
    std::string versionD, versionE;
    std::vector<std::string> expected;
  } cases[] = {
      {"installed: the first of the highest", true, "2.0", "2.0", {"D:\\install.exe #A"}},
      {"installed: none newer", true, "1.0", "0.9", {}},
      {"not installed: the last one", false, "2.0", "1.0", {"E:\\install.exe #A"}},
      {"no version: only when not installed", true, "", "", {}},
      {"no version, not installed", false, "", "", {"E:\\install.exe #A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    InstallOxd();
    if (!c.zelInstalled) sim::RemoveEntry(ZelPath);
    InsertDiscWithInstaller('D', disc::ZelRecordDisc, c.versionD);
    InsertDiscWithInstaller('E', disc::ZelSignatureDisc, c.versionE);
    CheckDiscInstallers();
    EXPECT_EQ(c.expected, InstallerStarts());
  }
}

TEST_F(PlayerTest, OrvanaBeforeZelAndNeverAForeignDisc) {
  CdDrives = "DEF";
  InsertDiscWithInstaller('D', disc::ZelRecordDisc, "9.0");
  InsertDiscWithInstaller('E', disc::OxdRecordDisc, "9.0");
  InsertDiscWithInstaller('F', disc::PlainDisc, "9.0");
  sim::FailCreateProcess();
  CheckDiscInstallers();
  EXPECT_EQ((std::vector<std::string>{"E:\\install.exe #A", "D:\\install.exe #A"}),
            InstallerStarts());
  EXPECT_EQ((std::vector<std::string>{"Unable to run install.exe", "Unable to run install.exe"}),
            BoxTexts());
  EXPECT_TRUE(sim::ProcessWaits().empty());
}

TEST_F(PlayerTest, TheStartUpCheckFillsTheDriveTable) {
  EmptyDrive('D');
  InsertDisc('F', disc::PlainDisc);
  sim::AddDrive('E', DRIVE_FIXED);
  StartupCheck(true);
  EXPECT_EQ("DF", CdDrives);
  EXPECT_EQ(7, RescanCountdown);
  ASSERT_EQ(2u, DriveTable.size());
  EXPECT_TRUE(DriveTable[0].Armed);
  EXPECT_EQ(NoSerial, DriveTable[0].Serial);
  EXPECT_EQ('D', DriveTable[0].Letter);
  EXPECT_FALSE(DriveTable[1].Armed);
  EXPECT_EQ(static_cast<LONGLONG>(disc::Make(disc::PlainDisc).serial), DriveTable[1].Serial);
  sim::InsertMedia('F', "BIG", 0xFFFFFFFF);
  StartupCheck(false);
  EXPECT_EQ(0xFFFFFFFFLL, DriveTable[1].Serial) << "widened without sign";
}

}  // namespace

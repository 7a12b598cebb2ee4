#include "InstallRecord.h"
#include "Locations.h"
#include "Registry.h"
#include "SimTest.h"

namespace {

class LocationsTest : public SimTest {};

TEST_F(LocationsTest, FolderAndLevelCountOfTheUninstallEntry) {
  struct Case {
    const char* value;  // null: no value at all
    const char* folder;
    BYTE levels;
  } cases[] = {
      {nullptr, "", 0},
      {"", "", 0},
      {"Uninstall.exe", "", 1},
      {"C:\\Apps\\Player\\Uninstall.exe", "C:\\Apps\\Player\\", 4},
      {"\"C:\\Apps\\Player\\Uninstall.exe\"", "C:\\Apps\\Player\\", 4},
      {"C:Uninstall.exe", "C:", 1},
      {"\"C:Uninstall.exe\" /x", "C:", 1},
      {"A\\B", "A\\", 2},
      {"A\\B\\", "A\\B\\", 3},
  };
  for (const Case& c : cases) {
    sim::Reset();
    for (const char* name : {UninstallStringValue, CreatePathValue})
      if (c.value) sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, name, c.value);
    const char* shown = c.value ? c.value : "(missing)";
    EXPECT_EQ(c.folder, GetUninstallDir(UninstallStringValue)) << shown;
    EXPECT_EQ(c.levels, GetCreatePathLevels()) << shown;
  }
  sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, CreatePathValue, std::string(299, '\\'));
  EXPECT_EQ(44, GetCreatePathLevels()) << "300 levels keep their low 8 bits";
}

TEST_F(LocationsTest, EachLookUpReadsItsOwnValue) {
  // Key names compare without regard to case.
  sim::SetRegText(HKEY_LOCAL_MACHINE, "software\\tavimo company\\zel musical player", "rootdir",
                  "C:\\Zel\\zel.exe");
  sim::SetRegText(HKEY_LOCAL_MACHINE, AgentKey, RootDirValue, "C:\\Agent\\Agent.exe");
  sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, ShortcutPathValue, "Tavimo\\ZEL");
  sim::SetRegText(HKEY_CURRENT_USER, ShellFoldersKey, DesktopValue, "C:\\Desk");
  sim::SetRegText(HKEY_CURRENT_USER, ShellFoldersKey, ProgramsValue, "C:\\Menu\\Programs");
  EXPECT_EQ("C:\\Zel\\zel.exe", GetProductRootDir(ZelProductName));
  EXPECT_EQ("", GetProductRootDir(OxdProductName));
  EXPECT_EQ("C:\\Agent\\Agent.exe", GetAgentRootDir());
  EXPECT_EQ("Tavimo\\ZEL", GetShortcutPath());
  EXPECT_EQ("C:\\Desk", GetDesktopDir());
  EXPECT_EQ("C:\\Menu\\Programs", GetProgramsDir());
}

TEST_F(LocationsTest, OrvanaCountsOnlyWithAnExistingFile) {
  sim::AddFile("C:\\Orvana\\oxd.exe", "MZ");
  struct Case {
    const char* rootDir;  // null: no value
    bool missing;
  } cases[] = {
      {nullptr, true},
      {"", true},
      {"C:\\Orvana", true},
      {"C:\\Orvana\\gone.exe", true},
      {"C:\\Orvana\\oxd.exe", false},
  };
  for (const Case& c : cases) {
    if (c.rootDir) sim::SetRegText(HKEY_LOCAL_MACHINE, OxdKey, RootDirValue, c.rootDir);
    EXPECT_EQ(c.missing, IsOrvanaMissing()) << (c.rootDir ? c.rootDir : "(missing)");
  }
}

TEST_F(LocationsTest, TheAgentsEntriesGoAndNothingElse) {
  sim::SetRegText(HKEY_LOCAL_MACHINE, AgentKey, RootDirValue, "C:\\Agent\\Agent.exe");
  sim::SetRegByte(HKEY_LOCAL_MACHINE, AgentKey, EnabledValue, 1);
  sim::SetRegText(HKEY_LOCAL_MACHINE, ZelKey, RootDirValue, "C:\\Zel\\zel.exe");
  sim::SetRegText(HKEY_CURRENT_USER, RunKey, AutostartValue, "C:\\Agent\\Agent.exe");
  sim::SetRegText(HKEY_CURRENT_USER, RunKey, "Other", "C:\\other.exe");
  DeleteAgentKey();
  DeleteAgentRunValue();
  EXPECT_FALSE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, AgentKey));
  EXPECT_TRUE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, ZelKey));
  EXPECT_FALSE(sim::GetRegValue(HKEY_CURRENT_USER, RunKey, AutostartValue, nullptr, nullptr));
  EXPECT_TRUE(sim::GetRegValue(HKEY_CURRENT_USER, RunKey, "Other", nullptr, nullptr));

  // Already gone: silent, and the Run key keeps what it has.
  DeleteAgentKey();
  DeleteAgentRunValue();
  EXPECT_TRUE(sim::GetRegValue(HKEY_CURRENT_USER, RunKey, "Other", nullptr, nullptr));
  EXPECT_TRUE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Tavimo Company"));
}

}  // namespace

#include "FileVersion.h"
#include "InstallRecord.h"
#include "Registry.h"
#include "TestMachine.h"

namespace {

class FileVersionTest : public MachineTest {};

const char Player[] = "C:\\Program Files\\ZEL\\zel.exe";

std::string Translation(WORD language, WORD codePage) {
  return {static_cast<char>(language & 0xFF), static_cast<char>(language >> 8),
          static_cast<char>(codePage & 0xFF), static_cast<char>(codePage >> 8)};
}

TEST_F(FileVersionTest, ReadsTheFileVersionOfTheFirstTranslation) {
  sim::AddFile(Player, "MZ");
  EXPECT_EQ("0.0.0.0", GetFileVersion(Player)) << "no version resource";
  EXPECT_EQ("0.0.0.0", GetFileVersion("C:\\Program Files\\ZEL\\missing.exe"));
  EXPECT_EQ("0.0.0.0", GetFileVersion("C:\\Program Files\\ZEL")) << "a folder";

  sim::SetFileVersion(Player, "1.0.1.8", 0x0419, 1251);
  EXPECT_EQ("1.0.1.8", GetFileVersion(Player));
  EXPECT_EQ("1.0.1.8", GetFileVersionRecord(Player).FileVersion);
  sim::SetFileVersion(Player, "2.0.0.0", 0x0409, 1252);
  EXPECT_EQ("2.0.0.0", GetFileVersion(Player)) << "nothing is cached";
  sim::SetFileVersion(Player, "1, 0, 0, 1");
  EXPECT_EQ("1, 0, 0, 1", GetFileVersion(Player)) << "returned unchanged";

  std::string ru = "\\StringFileInfo\\041904E3\\FileVersion";
  std::string us = "\\StringFileInfo\\040904E4\\FileVersion";
  struct Case {
    const char* why;
    sim::VersionEntries entries;
    const char* expected;
  } cases[] = {
      {"only the first translation counts",
       {{"\\VarFileInfo\\Translation", Translation(0x0419, 1251) + Translation(0x0409, 1252)},
        {us, std::string("3.0\0", 4)}},
       "0.0.0.0"},
      {"first of two translations",
       {{"\\VarFileInfo\\Translation", Translation(0x0419, 1251) + Translation(0x0409, 1252)},
        {ru, std::string("3.1\0", 4)}},
       "3.1"},
      {"table under another translation",
       {{"\\VarFileInfo\\Translation", Translation(0x0409, 1252)}, {ru, std::string("3\0", 2)}},
       "0.0.0.0"},
      {"no translation list",
       {{"\\StringFileInfo\\\\FileVersion", std::string("4\0", 2)}},
       "0.0.0.0"},
      {"translation list too short",
       {{"\\VarFileInfo\\Translation", "\x19\x04"}, {"\\StringFileInfo\\\\FileVersion", "4"}},
       "0.0.0.0"},
      {"empty string",
       {{"\\VarFileInfo\\Translation", Translation(0x0419, 1251)}, {ru, std::string(1, '\0')}},
       "0.0.0.0"},
      {"zero inside the string",
       {{"\\VarFileInfo\\Translation", Translation(0x0419, 1251)},
        {ru, std::string("5.1\0junk\0", 9)}},
       "5.1"},
      {"no closing zero: the length counts one all the same",
       {{"\\VarFileInfo\\Translation", Translation(0x0419, 1251)}, {ru, "6.2.1"}},
       "6.2."},
      {"a zero first: the empty text",
       {{"\\VarFileInfo\\Translation", Translation(0x0419, 1251)},
        {ru, std::string("\0007.1\0", 5)}},
       ""},
  };
  for (const Case& c : cases) {
    sim::SetVersionInfo(Player, c.entries);
    EXPECT_EQ(c.expected, GetFileVersion(Player)) << c.why;
  }
}

TEST_F(FileVersionTest, ComparesFourDecimalComponents) {
  struct Case {
    const char *a, *b;
    bool newer;
  } cases[] = {
      {"2.0", "1.9.9.9", true},
      {"1.0.0.0", "1", false},
      {"1", "1.0.0.0", false},
      {"1.2", "1.2.0.0", false},
      {"1.10", "1.9", true},
      {"1.9", "1.10", false},
      {"0.0.0.0", "", false},
      {"0.0.0.1", "", true},
      {"", "0.0.0.1", false},
      {"1, 0, 0, 1", "1.0.0.0", false},
      {"1, 0, 0, 1", "0.9", true},
      {" 3", "2", true},
      {"-1", "0", false},
      {"+2.1", "2.0", true},
      {"1.2.3.4.9", "1.2.3.4", false},
      {"1.2.3.5", "1.2.3.4.9", true},
      {"1.2a.0", "1.1.9", true},
      {"x.1", "0.0", true},
      {"99999999999999999999", "1", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.newer, IsNewerVersion(c.a, c.b)) << "'" << c.a << "' against '" << c.b << "'";
}

TEST_F(FileVersionTest, RegistryTextsAreBoundedByTheBuffer) {
  HKEY root = HKEY_LOCAL_MACHINE;
  std::string longest(1023, 'p');
  sim::SetRegText(root, ZelKey, RootDirValue, longest);
  EXPECT_EQ(longest, ReadRegString(root, ZelKey, RootDirValue)) << "1023 characters whole";

  std::string full(1024, 'q');
  sim::SetRegValue(root, ZelKey, RootDirValue, REG_SZ, full);
  EXPECT_EQ(full, ReadRegString(root, ZelKey, RootDirValue)) << "1024 bytes without zero";

  sim::SetRegValue(root, ZelKey, RootDirValue, REG_SZ, full + "r");
  EXPECT_EQ("", ReadRegString(root, ZelKey, RootDirValue)) << "does not fit";

  sim::SetRegValue(root, ZelKey, RootDirValue, REG_SZ, std::string("C:\\a.exe\0tail", 13));
  EXPECT_EQ("C:\\a.exe", ReadRegString(root, ZelKey, RootDirValue));
  EXPECT_EQ("", ReadRegString(root, ZelKey, "Missing"));
  EXPECT_EQ("", ReadRegString(root, OxdKey, RootDirValue));
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Helper.h"
#include "SimDos.h"

namespace {

const std::string Own = "C:\\PROGRA~1\\PLAYER\\DELETE.EXE";
const std::string Uninstaller = "C:\\PROGRA~1\\PLAYER\\UNINST~1.EXE";
const std::string TooLong = "C:\\" + std::string(77, 'X');  // 80 characters

TEST(DeleteHelperTest, CountIsTheWholeArgumentAsANumberInItsLowEightBits) {
  const struct {
    const char* text;
    unsigned char count;
  } cases[] = {{"2", 2},    {"+2", 2},  {"-1", 255}, {"$1F", 31}, {"$1f", 31}, {"-$10", 240},
               {"0", 0},    {"abc", 0}, {"1x", 0},   {"", 0},     {"300", 44}, {"256", 0},
               {"+", 0},    {"$", 0},   {"+-1", 0},  {"1$", 0},   {"$G", 0},   {"a", 0},
               {"\xB2", 0}, {":", 0},   {"9", 9},    {"$fF", 255}};
  for (const auto& c : cases) EXPECT_EQ(c.count, ReadCount(c.text)) << c.text;
}

TEST(DeleteHelperTest, ArgumentsAreSplitAtRunsOfControlCodesAndBlanks) {
  const std::string longest = "C:\\" + std::string(76, 'Y');  // 79 characters
  const struct {
    std::string tail;
    std::vector<std::string> arguments;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"2 C:\\X", {"2", "C:\\X"}},
      {"  2\t\tC:\\X  \r", {"2", "C:\\X"}},
      {std::string("1\0\x1F a\xFF", 6), {"1", "a\xFF"}},
      {"1 " + longest, {"1", longest}},
      {TooLong + " 2 C:\\X", {"", "2", "C:\\X"}},
      {"1 " + TooLong + "Z", {"1", ""}},
      {std::string(127, 'A'), {""}},
  };
  for (const auto& c : cases) {
    // The length byte, the text, and the byte behind it, which gets cut too.
    std::string tail = static_cast<char>(c.tail.size()) + c.tail + '\xFF';
    const char* end = CutArguments(tail.data());
    EXPECT_EQ(tail.data() + 1 + c.tail.size(), end);
    EXPECT_EQ(0, *end);
    std::vector<std::string> found;
    for (const char* at = tail.data() + 1; const char* argument = NextArgument(at, end);)
      found.push_back(argument);
    EXPECT_EQ(c.arguments, found) << c.tail;
  }
}

TEST(DeleteHelperTest, ParentPathGoesUpOneLevel) {
  const char* cases[][2] = {{"C:\\PROGRA~1\\PLAYER\\DELETE.EXE", "C:\\PROGRA~1\\PLAYER"},
                            {"C:\\PROGRA~1", "C:"},
                            {"C:\\X\\", "C:\\X"},
                            {"C:\\", "C:"},
                            {"C:", ""},
                            {"", ""}};
  for (const auto& c : cases) {
    char path[MaxPath + 1];
    std::string(c[0]).copy(path, MaxPath);
    path[std::string(c[0]).size()] = 0;
    ParentPath(path);
    EXPECT_STREQ(c[1], path) << c[0];
  }
}

TEST(DeleteHelperTest, PathsAreExpandedWithTheCurrentDriveAndFolder) {
  simdos::Reset();
  simdos::SetCurrent('E', "");
  simdos::SetCurrent('D', "GAMES");
  simdos::SetCurrent('C', "PROGRA~1");
  const struct {
    std::string path, expanded;  // empty: cannot be expanded
  } cases[] = {
      {"C:\\A\\B.EXE", "C:\\A\\B.EXE"},
      {"c:\\progra~1\\player\\delete.exe", "C:\\PROGRA~1\\PLAYER\\DELETE.EXE"},
      {"PLAYER\\DELETE.EXE", "C:\\PROGRA~1\\PLAYER\\DELETE.EXE"},
      {"d:run.exe", "D:\\GAMES\\RUN.EXE"},
      {"e:run.exe", "E:\\RUN.EXE"},  // the root is the current folder
      {"e:", "E:\\"},
      {"\\X\\.\\Y\\..\\Z", "C:\\X\\Z"},
      {"..\\..\\..\\A", "C:\\A"},
      {"C:\\A\\..\\..", "C:\\"},
      {"F:X", ""},  // no such drive
      {"C:\\" + std::string(76, 'L'), "C:\\" + std::string(76, 'L')},
      {TooLong, ""},
      {std::string(70, 'L'), ""},  // 82 characters with the current folder
  };
  for (const auto& c : cases) {
    char expanded[MaxPath + 1];
    bool done = ExpandPath(c.path.c_str(), expanded);
    EXPECT_EQ(!c.expanded.empty(), done) << c.path;
    if (done) {
      EXPECT_EQ(c.expanded, expanded) << c.path;
    }
  }
}

// What the helper did, one entry a call: "D" deletes a file, "R" removes a
// folder, "-" marks a call that failed.
std::string Journal() {
  std::string journal;
  for (const simdos::Call& call : simdos::Calls())
    journal += std::string(journal.empty() ? "" : ", ") + call.service + (call.done ? " " : "- ") +
               call.path;
  return journal;
}

TEST(DeleteHelperTest, WholeRunsDeleteThenWalkUpAsFarAsTheFoldersAreEmpty) {
  const std::string player = "C:\\PROGRA~1\\PLAYER", programs = "C:\\PROGRA~1";
  const std::string standard = "2 " + Uninstaller;
  const struct {
    const char* name;
    std::string tail;
    std::string journal;
    std::string ownPath = Own;
    std::string userFile = "";  // a file of the user's own
    unsigned char version = 6;
    bool readOnlyUninstaller = false;
    bool noStrings = false;  // an environment without strings
  } cases[] = {
      {"standard", standard,
       "D " + Own + ", D " + Uninstaller + ", R " + player + ", R " + programs},
      {"no arguments", "", "D " + Own},
      {"count only", "2", "D " + Own + ", R- " + player + ", R- " + programs},
      {"count 0", "0 " + Uninstaller, "D " + Own + ", D " + Uninstaller},
      {"count abc", "abc " + Uninstaller, "D " + Own + ", D " + Uninstaller},
      {"count 1x", "1x " + Uninstaller, "D " + Own + ", D " + Uninstaller},
      {"blanks and tabs", " \t$2  \t" + Uninstaller + "\t",
       "D " + Own + ", D " + Uninstaller + ", R " + player + ", R " + programs},
      {"read-only file", standard,
       "D " + Own + ", D- " + Uninstaller + ", R- " + player + ", R- " + programs, Own, "", 6,
       true},
      {"user file in the folder", standard,
       "D " + Own + ", D " + Uninstaller + ", R- " + player + ", R- " + programs, Own,
       player + "\\MY.TXT"},
      {"deeper than the folders", "5 " + Uninstaller,
       "D " + Own + ", D " + Uninstaller + ", R " + player + ", R- " + programs +
           ", R- C:, R- , R- ",
       Own, programs + "\\MY.TXT"},
      {"argument over 79", "1 " + TooLong + " " + Uninstaller,
       "D " + Own + ", D " + Uninstaller + ", R " + player},
      {"count over 79", TooLong + " " + Uninstaller, "D " + Own + ", D " + Uninstaller},
      {"MS-DOS 2", standard, "D " + Uninstaller, Own, "", 2},
      {"own path over 79", standard, "D " + Uninstaller, "C:\\" + std::string(77, 'Z')},
      {"relative own path", standard,  // C:\PROGRA~1 is the current folder
       "D PLAYER\\DELETE.EXE, D " + Uninstaller + ", R " + player + ", R- " + programs,
       "PLAYER\\DELETE.EXE"},
      {"drive not ready", "0 A:\\X", "D " + Own + ", D- A:\\X"},
      {"no environment strings", standard,
       "D " + Own + ", D " + Uninstaller + ", R " + player + ", R " + programs, Own, "", 6, false,
       true},
  };
  for (const auto& c : cases) {
    simdos::Reset();
    simdos::SetVersion(c.version);
    simdos::SetNotReady('A');
    simdos::AddFile(Own);
    simdos::AddFile(Uninstaller, c.readOnlyUninstaller);
    if (!c.userFile.empty()) simdos::AddFile(c.userFile);
    if (c.ownPath[0] != 'C') simdos::SetCurrent('C', "PROGRA~1");
    simdos::Load(c.ownPath, c.tail);
    if (c.noStrings) simdos::EmptyEnvironment();
    EXPECT_EQ(0, simdos::Run()) << c.name;
    EXPECT_EQ(c.journal, Journal()) << c.name;
    EXPECT_TRUE(simdos::VectorsRestored()) << c.name;
    EXPECT_EQ(0, simdos::Prompts()) << c.name;
    EXPECT_EQ(0, simdos::StrayReads()) << c.name;
  }
}

TEST(DeleteHelperTest, WithoutAnEnvironmentOnlyTheNamedFilesGo) {
  simdos::Reset();
  simdos::AddFile(Own);
  simdos::AddFile(Uninstaller);
  simdos::Load(Own, "2 " + Uninstaller);
  simdos::LoseEnvironment();
  EXPECT_EQ(0, simdos::Run());
  EXPECT_EQ("D " + Uninstaller, Journal());
  EXPECT_EQ(0, simdos::StrayReads());
}

TEST(DeleteHelperTest, CtrlBreakEndsWithExitCode255) {
  for (int call = 5; call <= 9; ++call) {
    simdos::Reset();
    simdos::AddFile(Own);
    simdos::Load(Own, "2 " + Uninstaller);
    simdos::BreakAtCall(call);  // after both handlers are taken over
    EXPECT_EQ(255, simdos::Run()) << call;
  }
}

}  // namespace

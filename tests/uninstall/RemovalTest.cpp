#include <algorithm>

#include "Removal.h"
#include "SimTest.h"

namespace {

const std::string Install = "C:\\Program Files\\Player\\";
const std::string Log = Install + "uninstall.dat";
const DWORD Hidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class RemovalTest : public SimTest {
 protected:
  void TearDown() override {
    // Every file deletion comes right after its attributes were reset.
    std::vector<sim::ChangeCall> calls = sim::ChangeCalls();
    for (size_t i = 0; i < calls.size(); ++i) {
      if (calls[i].function != "DeleteFileA") continue;
      ASSERT_GT(i, 0u) << calls[i].path;
      EXPECT_EQ("SetFileAttributesA", calls[i - 1].function) << calls[i].path;
      EXPECT_EQ(calls[i].path, calls[i - 1].path);
      EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), calls[i - 1].attributes);
    }
    SimTest::TearDown();
  }

  // The folders RemoveDirectoryA was asked to remove, in order.
  static std::vector<std::string> RemovalsTried() {
    std::vector<std::string> tried;
    for (const sim::ChangeCall& call : sim::ChangeCalls())
      if (call.function == "RemoveDirectoryA") tried.push_back(call.path);
    return tried;
  }
};

TEST_F(RemovalTest, TheLogIsReadAsLinesEndedByCarriageReturns) {
  const std::string a = "C:\\P\\a.txt", b = "C:\\P\\b.txt", c = "C:\\P\\c.txt";
  const std::string deep =
      "C:\\P\\" + std::string(140, 'd') + "\\" + std::string(140, 'e') + ".txt";
  // A carriage return as the last byte of the first block, its line feed first of the next.
  const std::string padding = "C:\\P\\none" + std::string(4095 - 9, 'x');
  struct Case {
    const char* what;
    std::string log;
    std::vector<std::string> gone;
  } cases[] = {
      {"CR LF", a + "\r\n" + b + "\r\n", {a, b}},
      {"bare CR, no end", a + "\r" + b, {a, b}},
      {"bare LF is part of the path", a + "\n" + b + "\n", {}},
      {"LF after CR LF starts the next path", a + "\r\n\n" + b, {a}},
      {"Ctrl-Z ends the log", a + "\r\n" + b + "\x1a\r\n" + c, {a, b}},
      {"empty log", "", {}},
      {"empty lines, a folder, a missing file", "\r\n\r\nC:\\P\r\nC:\\P\\gone\r\n" + c, {c}},
      {"a line longer than 255 bytes", deep + "\r\n" + b, {deep, b}},
      {"a line end across two blocks", padding + "\r\n" + a, {a}},
      {"a zero byte names nothing", a + std::string("\0x", 2) + "\r\n" + b, {b}},
  };
  for (const Case& test : cases) {
    sim::Reset();
    for (const std::string& file : {a, b, c, deep}) sim::AddFile(file, "x", Hidden);
    sim::AddFile(Log, test.log, Hidden);
    EXPECT_FALSE(DeleteListedFiles(Install).Failed()) << test.what;
    for (const std::string& file : {a, b, c, deep}) {
      bool gone = std::count(test.gone.begin(), test.gone.end(), file) != 0;
      EXPECT_EQ(gone, !sim::EntryExists(file)) << test.what << ": " << file;
    }
    EXPECT_FALSE(sim::EntryExists(Log)) << test.what;
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), sim::Attributes("C:\\P"))
        << test.what << ": a folder keeps its attributes";
    EXPECT_EQ(100u, sim::SleptMilliseconds()) << test.what;
    EXPECT_EQ(0, sim::OpenHandles()) << test.what;
  }
}

TEST_F(RemovalTest, ALongLogIsReadInBlocks) {
  std::string log;
  for (int i = 0; i < 2000; ++i) log += "C:\\P\\file" + std::to_string(i) + ".txt\r\n";
  sim::AddFile(Log, log);
  sim::AddFile("C:\\P\\file1999.txt", "");
  EXPECT_FALSE(DeleteListedFiles(Install).Failed());
  EXPECT_FALSE(sim::EntryExists("C:\\P\\file1999.txt"));
  EXPECT_LE(sim::CallCounts()["ReadFile"], static_cast<int>(log.size() / 4096 + 1));
}

TEST_F(RemovalTest, WithoutALogNothingHappens) {
  sim::AddFolder(Log);  // a folder of the log's name is no log
  EXPECT_FALSE(DeleteListedFiles(Install).Failed());
  EXPECT_TRUE(sim::EntryExists(Log));
  EXPECT_TRUE(sim::ChangeCalls().empty());
  EXPECT_EQ(0u, sim::SleptMilliseconds());
}

TEST_F(RemovalTest, AnUnreadableLogStopsTheWorkAndIsReported) {
  const std::string late = "C:\\P\\late.txt";
  std::string log = std::string(5000, 'x') + "\r\n" + late + "\r\n";
  for (bool failOpen : {true, false}) {
    sim::Reset();
    sim::AddFile(late, "");
    sim::AddFile(Log, log);
    if (failOpen)
      sim::FailOpen(Log);
    else
      sim::FailReadAt(Log, 4100);
    IoResult result = DeleteListedFiles(Install);
    EXPECT_TRUE(result.Failed());
    EXPECT_EQ(failOpen ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : ERROR_READ_FAULT, result.error);
    EXPECT_TRUE(sim::EntryExists(late)) << "nothing after the failure";
    EXPECT_TRUE(sim::EntryExists(Log));
    EXPECT_EQ(0u, sim::SleptMilliseconds());
    EXPECT_EQ(0, sim::OpenHandles());
  }
}

TEST_F(RemovalTest, PrefixedEntriesGoWithAllTheyHoldExceptWhatIsInUse) {
  const std::string inUse = Install + "A_data\\Skins\\Old\\player.dll";
  for (const char* file :
       {"A_data\\one.bin", "A_data\\Skins\\two.bin", "A_data\\Skins\\Old\\x", "a_list.txt",
        "h_1.bin", "H_sub\\deep\\y", "keep.txt", "BA_x", "Data_A_", "Player.exe",
        "A+B Songs\\song.mp3", "H[1] data\\x"})  // aliases A_B_~1 and H_1_~1
    sim::AddFile(Install + file, "x", Hidden);
  sim::AddFolder(Install + "A_data\\Empty");
  sim::AddFile(inUse, "dll");
  sim::UseFile(inUse);
  // Links inside and at the top: they go, what they lead to stays.
  sim::AddFile("C:\\Music\\song.mp3", "x");
  sim::AddFolderLink(Install + "A_data\\Linked", "C:\\Music");
  sim::AddFolderLink(Install + "H_link", "C:\\Music");

  DeletePrefixedEntries(Install);
  std::vector<std::string> left;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((Install + "*").c_str(), &found);
  do left.push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_EQ((std::vector<std::string>{".", "..", "A+B Songs", "A_data", "BA_x", "Data_A_",
                                      "H[1] data", "keep.txt", "Player.exe"}),
            left);
  EXPECT_TRUE(sim::EntryExists(inUse));
  EXPECT_FALSE(sim::EntryExists(Install + "A_data\\Empty"));
  EXPECT_FALSE(sim::EntryExists(Install + "A_data\\Skins\\Old\\x"));
  EXPECT_FALSE(sim::EntryExists(Install + "A_data\\Linked"));
  EXPECT_TRUE(sim::EntryExists("C:\\Music\\song.mp3"));
}

TEST_F(RemovalTest, AFolderChainGoesUpWhileFoldersEmpty) {
  const std::string base = "C:\\Menu\\Programs\\";
  struct Case {
    const char* what;
    std::vector<std::string> files;
    const char* relative;
    std::vector<std::string> tried;
  } cases[] = {
      {"all empty", {}, "X\\Y\\Z", {"X\\Y\\Z", "X\\Y", "X", ""}},
      {"the deepest holds a file", {"X\\Y\\f"}, "X\\Y", {"X\\Y"}},
      {"a parent holds a file", {"X\\f"}, "X\\Y", {"X\\Y", "X"}},
      {"one level, then the base once", {"other.lnk"}, "X", {"X", ""}},
      {"empty: the base alone", {"other.lnk"}, "", {""}},
  };
  for (const Case& test : cases) {
    sim::Reset();
    sim::AddFolder(base + test.relative);
    for (const std::string& file : test.files) sim::AddFile(base + file, "");
    RemoveFolderChain(base, test.relative);
    std::vector<std::string> tried;
    for (const std::string& path : test.tried) tried.push_back(base + path);
    EXPECT_EQ(tried, RemovalsTried()) << test.what;
    EXPECT_EQ(test.files.empty(), !sim::EntryExists(base)) << test.what;
  }
}

}  // namespace

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Dialog.h"
#include "Handoff.h"
#include "InstallRecord.h"
#include "Paths.h"
#include "ProgramWindow.h"
#include "SimTest.h"
#include "UninstallRun.h"
#include "UninstallState.h"

namespace {

typedef std::vector<std::string> Lines;

const std::string Install = "C:\\Program Files\\Player\\";
const std::string Self = Install + "Uninstall.exe";
const std::string SelfShort = "C:\\PROGRA~1\\PLAYER\\UNINST~1.EXE";
const std::string Helper = Install + "delete.exe";
const std::string HelperImage = std::string("MZ\x10\0helper", 10);
const std::string Player = Install + "zel.exe";
const std::string Desktop = "C:\\Users\\Ann\\Desktop";
const std::string Programs = "C:\\Users\\Ann\\Programs";
const std::string Menu = Programs + "\\Tavimo\\ZEL\\";
const std::string AgentFile = "C:\\Tools\\Tavimo\\Agent\\Agent.exe";
const std::string Ini = "C:\\WINDOWS\\zel.ini";

// Where this machine keeps the roots that the installation's description,
// tests/uninstall/installation.txt, names its entries by.
typedef std::vector<std::pair<std::string, std::string>> Names;
const Names Roots = {
    {"install", Install.substr(0, Install.size() - 1)},
    {"programfiles", "C:\\Program Files"},
    {"agent", "C:\\Tools\\Tavimo\\Agent"},
    {"windows", "C:\\WINDOWS"},
    {"desktop", Desktop},
    {"programs", Programs},
    {"created", Install.substr(3, Install.size() - 4)},
};
// The names of common/InstallRecord.h that its registry values use.
const Names RecordNames = {
    {"ZelKey", ZelKey},
    {"AgentKey", AgentKey},
    {"UninstallKey", UninstallKey},
    {"RunKey", RunKey},
    {"RootDirValue", RootDirValue},
    {"UninstallStringValue", UninstallStringValue},
    {"ShortcutPathValue", ShortcutPathValue},
    {"CreatePathValue", CreatePathValue},
    {"AutostartValue", AutostartValue},
};

std::string Named(const Names& table, const std::string& name) {
  for (const auto& entry : table)
    if (entry.first == name) return entry.second;
  ADD_FAILURE() << "installation.txt names an unknown root or constant: " << name;
  return "";
}

const std::string Kinds = " program file readonly own version log value ";

// A value's data with each {root} in it replaced by the root's path.
std::string WithRoots(std::string data) {
  for (const auto& root : Roots)
    for (size_t at; (at = data.find("{" + root.first + "}")) != std::string::npos;)
      data.replace(at, root.first.size() + 2, root.second);
  return data;
}

// A message posted to the main window, to a control, or as a key press to
// the window with the keyboard focus.
const int MainId = 0, FocusId = -1;
struct Action {
  UINT message;
  WPARAM wParam;
  int to = MainId;  // a control's id
};
Action Click(int id) { return {WM_COMMAND, static_cast<WPARAM>(id)}; }
Action Key(WPARAM key) { return {WM_KEYDOWN, key, FocusId}; }
const Action CloseBox = {WM_CLOSE, 0};

HWND Receiver(int id) {
  const std::pair<int, HWND> controls[] = {{MainId, MainWindow},
                                           {FocusId, GetFocus()},
                                           {PlayerBoxId, PlayerBox},
                                           {FavoritesBoxId, FavoritesBox}};
  for (const auto& control : controls)
    if (control.first == id) return control.second;
  return nullptr;
}

class UninstallTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    ResetUninstallState();
    sim::AddIconResource(MainIconName);
    sim::AddResource(HelperResourceType, HelperResourceName, HelperImage);
    sim::SetModulePath(Self);
    sim::SetShortPath(Self, SelfShort);
  }

  // The installation as the player's installer leaves it, described in
  // tests/uninstall/installation.txt, with the agent running and files of
  // the user's own beside it.
  static void LayDown(bool agentRunning = true) {
    sim::SetRegText(HKEY_CURRENT_USER, ShellFoldersKey, DesktopValue, Desktop);
    sim::SetRegText(HKEY_CURRENT_USER, ShellFoldersKey, ProgramsValue, Programs);
    std::string log;
    std::ifstream description(INSTALLATION_FILE);
    EXPECT_TRUE(description.is_open()) << INSTALLATION_FILE;
    for (std::string line; std::getline(description, line);) {
      std::istringstream fields(line);
      std::string kind, version, root, hive, key, name, rest;
      fields >> kind;
      if (kind.empty() || kind[0] == '#') continue;
      if (kind == "version") fields >> version;
      if (kind == "value") fields >> hive >> key >> name;
      if (kind != "value") fields >> root;
      std::getline(fields >> std::ws, rest);
      std::string path = root.empty() ? "" : Named(Roots, root) + "\\" + rest;
      EXPECT_NE(std::string::npos, Kinds.find(" " + kind + " ")) << "installation.txt: " << line;
      if (kind == "program" || kind == "file") sim::AddFile(path, "x");
      if (kind == "readonly") sim::AddFile(path, "x", FILE_ATTRIBUTE_READONLY);
      if (kind == "own") sim::AddFile(path, "mine");
      if (kind == "version") sim::SetFileVersion(path, version);
      if (kind == "log") log += path + "\r\n";
      if (kind == "value")
        sim::SetRegText(hive == "HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                        Named(RecordNames, key), Named(RecordNames, name), WithRoots(rest));
    }
    sim::AddFile(Install + InstallLogFile, log);
    if (agentRunning) sim::AddForeignWindow(AgentClassName, AgentTitle);
  }

  // Runs the program; each time its loop has nothing to do, the next action
  // is posted. The exit code, from the loop's end or from ExitProcess.
  static int Run(std::vector<Action> actions) {
    size_t next = 0;
    sim::OnIdle([&] {
      if (next < actions.size())
        PostMessageA(Receiver(actions[next].to), actions[next].message, actions[next].wParam, 0);
      ++next;
    });
    try {
      return UninstallMain();
    } catch (const sim::ProcessExit& exit) {
      return static_cast<int>(exit.code);
    }
  }

  // The deletions of files, folders, keys and values, in their order.
  static Lines Deletions() {
    Lines done;
    for (const sim::ChangeCall& call : sim::ChangeCalls())
      if (call.function != "SetFileAttributesA") done.push_back(call.function + " " + call.path);
    return done;
  }

  static std::vector<std::string> CommandLines() {
    std::vector<std::string> lines;
    for (const sim::ProcessStarted& started : sim::Processes()) {
      EXPECT_TRUE(started.winExec);
      EXPECT_EQ(static_cast<UINT>(SW_HIDE), started.show);
      lines.push_back(started.commandLine);
    }
    return lines;
  }
};

const Lines FavoritesDeletions = {
    "DeleteFileA " + Install + "favorites.dat",
    "DeleteFileA " + Ini,
};
const Lines PlayerDeletions = {
    "DeleteFileA " + Install + "A_data\\Skins\\blue.skn",
    "RemoveDirectoryA " + Install + "A_data\\Skins",
    "RemoveDirectoryA " + Install + "A_data",
    "DeleteFileA " + Install + "A_list.txt",
    "DeleteFileA " + Install + "H_cache\\h.bin",
    "RemoveDirectoryA " + Install + "H_cache",
    "DeleteFileA " + Install + "H_help.txt",
    "DeleteFileA " + Player,
    "DeleteFileA " + Install + "zel.dll",
    "DeleteFileA " + Install + "ENG\\lang.dll",
    "DeleteFileA " + Install + "uninstall.dat",
    "DeleteFileA " + Install + "uninstall.dat",
    "DeleteFileA " + Desktop + "\\ZEL Musical Player.lnk",
    "DeleteFileA " + Desktop + "\\ZEL Musical Player 2.5.0.17.lnk",
    "DeleteFileA " + Menu + "ZEL Musical Player.lnk",
    "DeleteFileA " + Menu + "Uninstall.lnk",
    "DeleteFileA " + Menu + "Agent.lnk",
    "DeleteFileA " + AgentFile,
    "RemoveDirectoryA C:\\Tools\\Tavimo\\Agent",
    "RemoveDirectoryA C:\\Tools\\Tavimo",
    std::string("RegDeleteKeyA ") + AgentKey,
    std::string("RegDeleteValueA ") + AutostartValue,
    "RemoveDirectoryA " + Programs + "\\Tavimo\\ZEL",
    "RemoveDirectoryA " + Programs + "\\Tavimo",
    "RemoveDirectoryA " + Programs + "\\",
    std::string("RegDeleteKeyA ") + ZelKey,
    std::string("RegDeleteKeyA ") + UninstallKey,
    "RemoveDirectoryA " + Install + "ENG",
};
const std::string HandOff = "\"" + Helper + "\" 2 " + SelfShort;

Lines Join(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(UninstallTest, TheWindowAndItsControlsAreBuiltAsDrawn) {
  struct Screen {
    int width, height, left, top;
  } screens[] = {{640, 480, 212, 177}, {1024, 768, 404, 321}};
  for (const Screen& screen : screens) {
    sim::Reset();
    SetUp();
    sim::SetScreenSize(screen.width, screen.height);
    std::vector<HWND> seen;
    std::vector<LRESULT> checks;
    sim::OnIdle([&] {
      seen = sim::Windows();
      for (HWND box : {PlayerBox, FavoritesBox})
        checks.push_back(SendMessageA(box, BM_GETCHECK, 0, 0));
      PostMessageA(MainWindow, WM_COMMAND, CancelButtonId, 0);
    });
    ASSERT_EQ(0, UninstallMain());
    sim::ClassInfo windowClass;
    ASSERT_TRUE(sim::GetClass("WinMin", &windowClass));
    EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW), windowClass.fields.style);
    EXPECT_EQ(WndProc, windowClass.fields.lpfnWndProc);
    EXPECT_EQ("MainIcon", sim::IconName(windowClass.fields.hIcon));
    EXPECT_EQ(5u, reinterpret_cast<uintptr_t>(windowClass.fields.hbrBackground));
    EXPECT_EQ("", windowClass.menuName);

    ASSERT_EQ(6u, seen.size());
    sim::WindowInfo main = sim::GetWindow(seen[0]);
    EXPECT_EQ("Uninstall", main.title);
    EXPECT_EQ(0x80C80000u, main.style);
    EXPECT_EQ(screen.left, main.x);
    EXPECT_EQ(screen.top, main.y);
    EXPECT_EQ(215, main.width);
    EXPECT_EQ(125, main.height);
    EXPECT_EQ(SW_SHOWNORMAL, main.shown);
    EXPECT_TRUE(main.updated);
    struct Child {
      const char* className;
      std::string text;
      DWORD style;
      int x, y, width, height, id;
    } children[] = {
        {"Static", "\xC4\xE5\xE8\xED\xF1\xF2\xE0\xEB\xE8\xF0\xEE\xE2\xE0\xF2\xFC:", 0x50000000, 20,
         10, 200, 20, 0},
        {"Button", "ZEL Musical Player", 0x50000002, 20, 30, 220, 20, 201},
        {"Button", "\xCC\xEE\xE8 \xEB\xFE\xE1\xE8\xEC\xFB\xE5", 0x50000002, 20, 50, 220, 20, 202},
        {"Button", "OK", 0x50000000, 130, 75, 56, 18, 205},
        {"Button", "Cancel", 0x50000000, 20, 75, 56, 18, 206},
    };
    for (size_t i = 0; i < 5; ++i) {
      sim::WindowInfo child = sim::GetWindow(seen[i + 1]);
      const Child& want = children[i];
      EXPECT_EQ(want.className, child.className) << i;
      EXPECT_EQ(want.text, child.title) << i;
      EXPECT_EQ(want.style, child.style) << i;
      EXPECT_EQ(0u, child.exStyle) << i;
      EXPECT_EQ(seen[0], child.parent) << i;
      EXPECT_EQ(want.id, static_cast<int>(reinterpret_cast<intptr_t>(child.menu))) << i;
      EXPECT_EQ(std::vector<int>({want.x, want.y, want.width, want.height}),
                std::vector<int>({child.x, child.y, child.width, child.height}))
          << i;
    }
    EXPECT_EQ(std::vector<LRESULT>({BST_CHECKED, BST_CHECKED}), checks) << "both boxes checked";
  }
}

TEST_F(UninstallTest, WhatTheUserDoesInTheWindow) {
  struct Case {
    const char* what;
    std::vector<Action> actions;
    std::vector<WPARAM> boxes;  // player, favourites at the end
  } cases[] = {
      {"Cancel", {Click(CancelButtonId)}, {BST_CHECKED, BST_CHECKED}},
      {"the close box", {CloseBox}, {BST_CHECKED, BST_CHECKED}},
      {"a click toggles a box, a second click toggles it back",
       {Click(PlayerBoxId), Click(FavoritesBoxId), Click(FavoritesBoxId), CloseBox},
       {BST_UNCHECKED, BST_CHECKED}},
      {"a notification other than a click is no click",
       {{WM_COMMAND, 0x10000 | PlayerBoxId}, {WM_COMMAND, 0x10000 | OkButtonId}, CloseBox},
       {BST_CHECKED, BST_CHECKED}},
      {"OK with both boxes cleared",
       {Click(PlayerBoxId), Click(FavoritesBoxId), Click(OkButtonId)},
       {BST_UNCHECKED, BST_UNCHECKED}},
      {"Escape is Cancel", {Key(VK_ESCAPE)}, {BST_CHECKED, BST_CHECKED}},
      {"the focus starts on the first box, where Enter does nothing; an arrow and Space clear "
       "the favourites, Enter on Cancel presses it",
       {Key(VK_RETURN), Key(VK_DOWN), Key(VK_SPACE), Key(VK_RIGHT), Key(VK_DOWN), Key(VK_RETURN)},
       {BST_CHECKED, BST_UNCHECKED}},
      {"the arrows pass the label by, both ways round",
       {Key(VK_UP), Key(VK_DOWN), Key(VK_SPACE), CloseBox},
       {BST_UNCHECKED, BST_CHECKED}},
      {"the window left and entered again gives the focus back to the box the mouse gave it",
       {{WM_LBUTTONDOWN, 0, FavoritesBoxId},
        {WM_ACTIVATE, WA_INACTIVE},
        {WM_ACTIVATE, WA_ACTIVE},
        Key(VK_SPACE),
        CloseBox},
       {BST_CHECKED, BST_UNCHECKED}},
  };
  for (const Case& c : cases) {
    sim::Reset();
    SetUp();
    LayDown();
    EXPECT_EQ(0, Run(c.actions)) << c.what;
    EXPECT_EQ(c.boxes, std::vector<WPARAM>({sim::GetWindow(PlayerBox).checked,
                                            sim::GetWindow(FavoritesBox).checked}))
        << c.what;
    EXPECT_EQ(Lines(), Deletions()) << c.what;
    EXPECT_TRUE(sim::Processes().empty()) << c.what;
  }
}

TEST_F(UninstallTest, EachBoxRemovesWhatItStandsForInTheFixedOrder) {
  struct Case {
    const char* what;
    std::vector<Action> clicks;
    int exitCode;
    Lines deletions;
    std::vector<std::string> started;
  } cases[] = {
      {"favourites only", {Click(PlayerBoxId), Click(OkButtonId)}, 0, FavoritesDeletions, {}},
      {"favourites only, from the keyboard",
       {Key(VK_SPACE), Key(VK_DOWN), Key(VK_DOWN), Key(VK_RETURN)},
       0,
       FavoritesDeletions,
       {}},
      {"player only", {Click(FavoritesBoxId), Click(OkButtonId)}, 255, PlayerDeletions, {HandOff}},
      {"both", {Click(OkButtonId)}, 255, Join(FavoritesDeletions, PlayerDeletions), {HandOff}},
  };
  for (const Case& c : cases) {
    sim::Reset();
    SetUp();
    LayDown();
    EXPECT_EQ(c.exitCode, Run(c.clicks)) << c.what;
    EXPECT_EQ(c.deletions, Deletions()) << c.what;
    EXPECT_EQ(c.started, CommandLines()) << c.what;
    bool player = c.exitCode == 255;
    EXPECT_EQ(player, sim::FileContent(Helper) == HelperImage) << c.what;
    EXPECT_EQ(player ? 300u : 0u, sim::SleptMilliseconds()) << c.what << ": log pause, agent pause";
    EXPECT_EQ(player ? 1u : 0u, sim::ForeignMessages().size()) << c.what;
    EXPECT_TRUE(sim::EntryExists(Desktop + "\\mine.txt")) << c.what;
    EXPECT_TRUE(sim::EntryExists(Programs + "\\Other.lnk")) << c.what;
    EXPECT_TRUE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavimo Company")) << c.what;
  }
  sim::ForeignMessage closing = sim::ForeignMessages().at(0);
  EXPECT_EQ(std::vector<UINT>({WM_DESTROY, 0, 0, 0}),
            std::vector<UINT>({closing.message, static_cast<UINT>(closing.wParam),
                               static_cast<UINT>(closing.lParam), closing.posted}));
  // The record's named files, and the log a second time, go as they are;
  // every other file with its attributes reset.
  Lines plain;
  std::string reset;  // the file whose attributes the call before reset
  for (const sim::ChangeCall& call : sim::ChangeCalls()) {
    if (call.function == "DeleteFileA" && call.path != reset) plain.push_back(call.path);
    bool resets =
        call.function == "SetFileAttributesA" && call.attributes == FILE_ATTRIBUTE_ARCHIVE;
    reset = resets ? call.path : "";
  }
  EXPECT_EQ(Lines({Install + "favorites.dat", Ini, Install + "uninstall.dat",
                   Desktop + "\\ZEL Musical Player.lnk",
                   Desktop + "\\ZEL Musical Player 2.5.0.17.lnk", Menu + "ZEL Musical Player.lnk",
                   Menu + "Uninstall.lnk", Menu + "Agent.lnk", AgentFile}),
            plain);
}

TEST_F(UninstallTest, WhatTheInstallationHoldsShapesTheRun) {
  static const Lines ReadOnly = {Install + "favorites.dat", Menu + "Agent.lnk", AgentFile};
  struct Case {
    const char* what;
    std::function<void()> change;
    std::function<void()> check;
    bool agentRunning = true;
  } cases[] = {
      {"a player file without a version gives 0.0.0.0 in the shortcut's name",
       [] { sim::SetVersionInfo(Player, {}); },
       [] {
         Lines done = Deletions();
         EXPECT_NE(done.end(),
                   std::find(done.begin(), done.end(),
                             "DeleteFileA " + Desktop + "\\ZEL Musical Player 0.0.0.0.lnk"));
       }},
      {"an Orvana program file keeps the agent",
       [] {
         sim::AddFile("C:\\Orvana\\oxd.exe", "x");
         sim::SetRegText(HKEY_LOCAL_MACHINE, OxdKey, RootDirValue, "C:\\Orvana\\oxd.exe");
       },
       [] {
         EXPECT_TRUE(sim::ForeignMessages().empty());
         EXPECT_TRUE(sim::EntryExists(AgentFile));
         EXPECT_TRUE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, AgentKey));
         EXPECT_TRUE(sim::GetRegValue(HKEY_CURRENT_USER, RunKey, AutostartValue, nullptr, nullptr));
         EXPECT_FALSE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, ZelKey));
       }},
      {"an agent that is not running gets no message and no pause, and goes", [] {},
       [] {
         EXPECT_TRUE(sim::ForeignMessages().empty());
         EXPECT_EQ(100u, sim::SleptMilliseconds());
         EXPECT_FALSE(sim::EntryExists("C:\\Tools\\Tavimo"));
         EXPECT_TRUE(sim::EntryExists("C:\\Tools"));
         EXPECT_FALSE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, AgentKey));
       },
       false},
      {"an empty ShortcutPath looks in the Programs folder itself",
       [] { sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, ShortcutPathValue, ""); },
       [] {
         Lines done = Deletions();
         for (const char* line : {"DeleteFileA C:\\Users\\Ann\\Programs\\\\Agent.lnk",
                                  "RemoveDirectoryA C:\\Users\\Ann\\Programs\\"})
           EXPECT_NE(done.end(), std::find(done.begin(), done.end(), line)) << line;
         EXPECT_TRUE(sim::EntryExists(Programs + "\\Other.lnk"));
       }},
      {"the player's part reads UninstallString again",
       [] {
         sim::OnChangeCall([](const sim::ChangeCall& call) {
           if (call.path == Ini)
             sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, UninstallStringValue,
                             "C:\\Moved\\Uninstall.exe");
         });
       },
       [] { EXPECT_EQ(Lines({"\"C:\\Moved\\delete.exe\" 2 " + SelfShort}), CommandLines()); }},
      {"no CreatePath gives the count 0",
       [] { sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, CreatePathValue, ""); },
       [] { EXPECT_EQ(Lines({"\"" + Helper + "\" 0 " + SelfShort}), CommandLines()); }},
      {"an old read-only delete.exe is replaced",
       [] { sim::AddFile(Helper, "old", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN); },
       [] {
         EXPECT_EQ(HelperImage, sim::FileContent(Helper));
         EXPECT_EQ(0u, sim::Attributes(Helper) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
       }},
      {"a delete.exe in use stays, and is started all the same",
       [] {
         sim::AddFile(Helper, "old");
         sim::UseFile(Helper);
       },
       [] {
         EXPECT_EQ("old", sim::FileContent(Helper));
         EXPECT_EQ(Lines({HandOff}), CommandLines());
       }},
      {"read-only named files stay",
       [] {
         for (const std::string& file : ReadOnly) sim::AddFile(file, "x", FILE_ATTRIBUTE_READONLY);
       },
       [] {
         for (const std::string& file : ReadOnly)
           EXPECT_EQ(DWORD{FILE_ATTRIBUTE_READONLY}, sim::Attributes(file)) << file;
       }},
      {"in a drive's root: no sweep, no ENG, no folder walk, not even at the restart",
       [] {
         sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, UninstallStringValue,
                         "C:\\Uninstall.exe");
         sim::AddFile("C:\\A_mine\\song.mp3", "x");
         sim::AddFile("C:\\h_notes.txt", "x");
         sim::AddFolder("C:\\ENG");
         sim::SetWinExecResult(11);
       },
       [] {
         EXPECT_EQ(Lines({"\"C:\\delete.exe\" 0 " + SelfShort}), CommandLines());
         for (const char* kept : {"C:\\A_mine\\song.mp3", "C:\\h_notes.txt", "C:\\ENG"})
           EXPECT_TRUE(sim::EntryExists(kept)) << kept;
         EXPECT_EQ(1u, sim::PendingDeletions().size()) << "the uninstaller's file alone";
       }},
      {"empty Desktop and Programs values name nothing in the root",
       [] {
         sim::SetRegText(HKEY_CURRENT_USER, ShellFoldersKey, DesktopValue, "");
         sim::SetRegText(HKEY_CURRENT_USER, ShellFoldersKey, ProgramsValue, "");
       },
       [] {
         for (const std::string& done : Deletions())
           EXPECT_EQ(std::string::npos, done.find(" \\")) << done;
       }},
      {"a helper written short is deleted and not started", [] { sim::FillDiskAt(Helper, 4); },
       [] {
         EXPECT_FALSE(sim::EntryExists(Helper));
         EXPECT_FALSE(sim::Processes().at(0).started);
       }},
      {"a Windows folder that cannot be read skips zel.ini", [] { sim::SetWindowsFolder(""); },
       [] {
         EXPECT_TRUE(sim::EntryExists(Ini));
         for (const std::string& done : Deletions())
           EXPECT_EQ(std::string::npos, done.find(PlayerIniFile)) << done;
       }},
      {"no short path: the long one, which holds a blank, is left out",
       [] { sim::FailShortPaths(); },
       [] { EXPECT_EQ(Lines({"\"" + Helper + "\" 2"}), CommandLines()); }},
  };
  for (const Case& c : cases) {
    sim::Reset();
    SetUp();
    LayDown(c.agentRunning);
    c.change();
    EXPECT_EQ(255, Run({Click(OkButtonId)})) << c.what;
    SCOPED_TRACE(c.what);
    c.check();
  }
}

TEST_F(UninstallTest, WithoutAnInstallationFolderNothingIsTakenFromTheCurrentFolder) {
  LayDown();
  sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, UninstallStringValue, "Uninstall.exe");
  EXPECT_EQ(255, Run({Click(OkButtonId)}));
  for (const sim::ChangeCall& call : sim::ChangeCalls()) {
    if (call.function.find("Reg") == 0) continue;
    EXPECT_EQ(0u, call.path.find("C:\\")) << call.path;
  }
  EXPECT_EQ(Lines({"DeleteFileA " + Ini}), Lines({Deletions().at(0)}));
  EXPECT_TRUE(sim::Processes().empty());
  EXPECT_TRUE(sim::EntryExists(Install + "favorites.dat"));
  EXPECT_FALSE(sim::EntryExists(Desktop + "\\ZEL Musical Player.lnk"));
  EXPECT_FALSE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
}

TEST_F(UninstallTest, AnUnreadableLogEndsTheRunWithTheRuntimeError) {
  LayDown();
  sim::FailOpen(Install + "uninstall.dat");
  EXPECT_EQ(1, Run({Click(OkButtonId)}));
  ASSERT_EQ(1u, sim::MessageBoxes().size());
  sim::MessageBoxShown box = sim::MessageBoxes()[0];
  EXPECT_EQ("Application Error", box.caption);
  EXPECT_EQ("I/O error 5 reading " + Install + "uninstall.dat", box.text);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND | MB_TASKMODAL), box.style);
  Lines done = Deletions();
  EXPECT_EQ("DeleteFileA " + Install + "H_help.txt", done.back()) << "nothing after the log";
  EXPECT_TRUE(sim::EntryExists(Menu + "Agent.lnk"));
  EXPECT_TRUE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
  EXPECT_TRUE(sim::Processes().empty());
}

TEST_F(UninstallTest, TheHelpersCommandLine) {
  struct Case {
    const char* what;
    std::string module, shortPath;  // shortPath "" : GetShortPathNameA fails
    std::string own;
  } cases[] = {
      {"the short path", Self, SelfShort, SelfShort},
      {"no short path, a long one without blanks", "C:\\PLAYER\\UNINST.EXE", "",
       "C:\\PLAYER\\UNINST.EXE"},
      {"no short path, a long one with a blank", Self, "", ""},
      {"a short path with a tab", Self, "C:\\A\tB.EXE", ""},
  };
  for (const Case& c : cases) {
    sim::Reset();
    sim::SetModulePath(c.module);
    sim::AddFile(c.module, "x");
    if (c.shortPath.empty())
      sim::FailShortPaths();
    else
      sim::SetShortPath(c.module, c.shortPath);
    std::strcpy(PathBuffer, "C:\\WINDOWS");  // what the favourites left there
    EXPECT_EQ(c.own, OwnPathForHelper()) << c.what;
  }
  EXPECT_EQ("\"C:\\P Q\\delete.exe\" 255 C:\\X.EXE",
            HelperCommandLine("C:\\P Q\\delete.exe", 255, "C:\\X.EXE"));
  EXPECT_EQ("\"C:\\delete.exe\" 0", HelperCommandLine("C:\\delete.exe", 0, ""));
}

// Windows deletes whatever lives at a scheduled path at its restart: the
// uninstaller's file is renamed first, so a reinstallation keeps its own.
TEST_F(UninstallTest, WhereTheHelperCannotStartItsWorkWaitsForTheRestart) {
  const std::string Folder = "C:\\Program Files\\Player", Top = "C:\\Program Files";
  const std::string Mine = Top + "\\Mine", Notes = Mine + "\\notes.txt";
  const std::string Readme = Top + "\\readme.txt", Temp = "C:\\Temp", OnD = "D:\\Temp";
  const std::string Moved = Temp + "\\uni0001.TMP", Here = Folder + "\\uni0002.TMP";
  // The user's files in Top stay around what is left of the installation
  // folder there, in path order.
  auto Kept = [&](const Lines& player, const Lines& temp = {}) {
    return Join(Join({Mine, Notes}, player), Join({Readme}, temp));
  };
  const char *Two = "Program Files\\Player", *Five = "A\\B\\C\\D\\E";  // CreatePath
  struct Case {
    const char* what;
    const char* createPath;
    UINT winExec;
    std::string temp;
    bool ownInUse, windows95;
    Lines pending, left;  // left: below Top, then in the temp folder, in path order
  } cases[] = {
      {"temp folder works", Two, 11, Temp, false, false, {Moved}, Kept({}, {Moved})},
      {"count 0: the folder stays", "", 11, Temp, false, false, {Moved}, Kept({Folder}, {Moved})},
      {"count 5: never the drive", Five, 0, Temp, false, false, {Moved}, Kept({}, {Moved})},
      {"temp on D:", Two, 31, OnD, false, false, {Here, Folder, Top}, Kept({Folder, Here})},
      {"D:, count 5", Five, 11, OnD, false, false, {Here, Folder, Top}, Kept({Folder, Here})},
      {"both moves refused", Two, 11, OnD, true, false, {Self, Folder, Top}, Kept({Folder, Self})},
      {"Windows 95 refuses every move", Two, 11, Temp, false, true, {}, Kept({Folder, Self})},
      {"the helper started", Two, 33, Temp, false, false, {}, Kept({Folder, Helper, Self})},
  };
  for (const Case& c : cases) {
    sim::Reset();
    SetUp();
    LayDown();
    sim::SetRegText(HKEY_LOCAL_MACHINE, UninstallKey, CreatePathValue, c.createPath);
    sim::SetWinExecResult(c.winExec);
    sim::AddDrive('D', DRIVE_FIXED);
    sim::AddFolder(c.temp);
    sim::SetTempFolder(c.temp + "\\");
    if (c.ownInUse) sim::UseFile(Self);
    if (c.windows95) sim::FailMoveFileEx();
    EXPECT_EQ(255, Run({Click(OkButtonId)})) << c.what;
    EXPECT_EQ(c.pending, sim::PendingDeletions()) << c.what;
    EXPECT_EQ(c.left, Join(sim::Listing(Top), sim::Listing(c.temp))) << c.what;
    for (const std::string& done : Deletions()) {
      std::string path = done.substr(done.find(' ') + 1);
      EXPECT_TRUE(path != "C:" && path != "C:\\") << c.what << ": a drive's root: " << done;
    }
    EXPECT_TRUE(sim::MessageBoxes().empty()) << c.what;
  }
}

TEST_F(UninstallTest, AWindowThatCannotBeMadeEndsTheProgram) {
  for (auto fail : {sim::FailRegisterClass, sim::FailCreateWindow}) {
    sim::Reset();
    SetUp();
    fail();
    EXPECT_EQ(255, Run({}));
    EXPECT_EQ(0, sim::Starved()) << "it does not wait without a window";
  }
}

TEST_F(UninstallTest, TheFolderOfAPath) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\A\\B.exe", "C:\\A"},   {"C:\\A", "C:\\"}, {"C:\\", "C:\\"},
      {"C:x.exe", "C:"},           {"\\x", "\\"},     {"\\\\srv\\share", "\\\\srv"},
      {"C:\\A\\\\B", "C:\\A\\\\"}, {"Agent.exe", ""}, {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.second, FolderKeepingRoot(c.first)) << c.first;
  }
  // The walk of the helper's work: one level up, and where it must stop.
  const std::pair<const char*, bool> below[] = {
      {"C:\\A", true},
      {"C:\\A\\", true},
      {"\\\\srv\\share\\A", true},
      {"\\A", true},
      {"C:\\", false},
      {"C:", false},
      {"\\\\srv\\share", false},
      {"\\\\srv\\share\\", false},
      {"\\\\srv", false},
      {"Player", false},
      {"", false},
  };
  for (const auto& c : below) EXPECT_EQ(c.second, IsBelowRoot(c.first)) << c.first;
  EXPECT_EQ("C:\\A", CutAtLastBackslash("C:\\A\\B"));
  EXPECT_EQ("C:", CutAtLastBackslash("C:\\A"));
  EXPECT_EQ("", CutAtLastBackslash("C:"));
}

}  // namespace

// The stand-in's windows, queue, tray, menus, boxes, processes and mutexes,
// where the programs rely on them behaving as Windows does.
#include <cstring>
#include <functional>

#include "TestMachine.h"

namespace {

std::vector<UINT> seen;
HWND created;  // the window WM_CREATE came with
std::function<void(UINT)> reaction;

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  seen.push_back(message);
  if (message == WM_CREATE) created = window;
  if (reaction) reaction(message);
  return DefWindowProcA(window, message, wParam, lParam);
}

class StandInUserTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    seen.clear();
    reaction = nullptr;
  }
  static HWND MakeWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Record;
    windowClass.lpszClassName = "ZelWatch";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "zelwatch", "Zel", WS_POPUP, 1, 2, 3, 4, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  // What the window procedure saw since the last call.
  static std::vector<UINT> Messages() {
    std::vector<UINT> messages;
    messages.swap(seen);
    return messages;
  }
};

TEST_F(StandInUserTest, WindowsAreMadeFoundAndDestroyedAsOnWindows) {
  char name[] = "ZelWatch";
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Record;
  windowClass.lpszClassName = name;
  EXPECT_NE(0, RegisterClassA(&windowClass));
  name[0] = 'z';
  sim::ClassInfo info;
  EXPECT_TRUE(sim::GetClass("ZELWATCH", &info) && info.className == "ZelWatch") << "copied";
  EXPECT_EQ(0, RegisterClassA(&windowClass)) << "zelWatch is the same class";
  EXPECT_EQ(ERROR_CLASS_ALREADY_EXISTS, static_cast<long>(GetLastError()));

  HWND ours = MakeWindow();
  EXPECT_EQ(ours, created) << "WM_CREATE comes with the window's own handle";

  const char title[] = "\x01Zel\x01 Player";
  HWND player = sim::AddForeignWindow("ZelPlayerClass", title);
  EXPECT_EQ(player, FindWindowA("zelplayerclass", "\x01zel\x01 PLAYER"));
  EXPECT_EQ(player, FindWindowA(nullptr, title));
  EXPECT_EQ(nullptr, FindWindowA("ZelPlayerClass", "Zel Player"));
  EXPECT_EQ(ours, FindWindowA("ZELWATCH", nullptr));

  SendMessageA(player, WM_USER, 1, 2);
  PostMessageA(player, WM_CLOSE, 0, 0);
  auto foreign = sim::ForeignMessages();
  ASSERT_EQ(2u, foreign.size());
  EXPECT_TRUE(!foreign[0].posted && foreign[1].posted);
  EXPECT_TRUE(sim::QueuedMessages().empty()) << "nothing for another program is queued here";

  SendMessageA(ours, WM_CLOSE, 0, 0);  // DefWindowProcA destroys it
  EXPECT_EQ((std::vector<UINT>{WM_CREATE, WM_CLOSE, WM_DESTROY}), Messages());
  EXPECT_EQ(nullptr, FindWindowA("ZelWatch", nullptr));
}

TEST_F(StandInUserTest, MessagesComeInWindowsOrder) {
  HWND window = MakeWindow();
  EXPECT_EQ(7u, SetTimer(window, 7, 1000, nullptr));
  sim::AdvanceClock(3500);
  PostMessageA(window, WM_USER, 1, 0);
  PostQuitMessage(3);
  PostMessageA(window, WM_USER, 2, 0);
  auto queued = sim::QueuedMessages();
  ASSERT_EQ(4u, queued.size());
  EXPECT_TRUE(queued[1].wParam == 2 && queued[2].message == WM_QUIT &&
              queued[3].message == WM_TIMER);

  Messages();
  EXPECT_TRUE(sim::PumpMessages());
  EXPECT_EQ((std::vector<UINT>{WM_USER, WM_USER}), Messages()) << "no timer behind the quit";
  int code = 0;
  EXPECT_TRUE(sim::QuitPending(&code) && code == 3);

  MSG msg;
  PostMessageA(window, WM_USER, 3, 0);
  EXPECT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(3u, msg.wParam) << "a message posted after the quit still comes first";
  EXPECT_EQ(0, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_TRUE(msg.message == WM_QUIT && msg.wParam == 3);
  EXPECT_FALSE(sim::QuitPending());
  EXPECT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_TRUE(msg.message == WM_TIMER && msg.hwnd == window && msg.wParam == 7);
  EXPECT_EQ(-1, GetMessageA(&msg, nullptr, 0, 0)) << "three periods passed, one WM_TIMER";
  EXPECT_EQ(1, sim::Starved());

  sim::OnIdle([] { sim::AdvanceClock(1000); });
  EXPECT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
  DispatchMessageA(&msg);
  EXPECT_EQ((std::vector<UINT>{WM_TIMER}), Messages());

  SetTimer(window, 7, 5000, nullptr);
  ASSERT_EQ(1u, sim::Timers().size()) << "the same id replaces the timer";
  sim::ClearCallCounts();
  for (int second = 0; second < 5; ++second) sim::Tick();
  EXPECT_EQ((std::vector<UINT>{WM_TIMER}), Messages());
  EXPECT_EQ(0u, sim::CallCounts().count("DispatchMessageA")) << "the test's pump is not counted";
  EXPECT_TRUE(KillTimer(window, 7));
  EXPECT_FALSE(KillTimer(window, 7));
}

TEST_F(StandInUserTest, SentMessagesReenterWhileABoxIsUp) {
  HWND window = MakeWindow();
  int answer = 0;
  reaction = [&](UINT message) {
    if (message == WM_USER + 1) answer = MessageBoxA(window, "Eject?", "Zel", MB_YESNO);
  };
  sim::OnMessageBox([&](const sim::MessageBoxShown&) {
    SendMessageA(window, WM_USER + 2, 0, 0);
    sim::PumpMessages();  // the box's own loop
    return IDNO;
  });
  PostMessageA(window, WM_USER + 1, 0, 0);
  PostMessageA(window, WM_USER + 3, 0, 0);
  Messages();
  sim::PumpMessages();
  EXPECT_EQ((std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}), Messages());
  EXPECT_EQ(IDNO, answer);

  sim::OnMessageBox(nullptr);
  EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Done", nullptr, MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(IDYES, MessageBoxA(nullptr, "Play?", "Zel", MB_YESNO));
  EXPECT_EQ(IDNO, MessageBoxA(nullptr, "Play?", "Zel", MB_YESNO | MB_DEFBUTTON2));
  auto boxes = sim::MessageBoxes();
  ASSERT_EQ(4u, boxes.size());
  EXPECT_TRUE(boxes[0].owner == window && boxes[0].text == "Eject?");
}

TEST_F(StandInUserTest, TrayKeepsTheIconsShown) {
  sim::AddIconResource("ZelIcon");
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), "ZELICON");
  EXPECT_EQ("ZelIcon", sim::IconName(icon));
  EXPECT_NE(icon, LoadIconA(GetModuleHandleA(nullptr), "ZelIcon")) << "each load its own";
  EXPECT_EQ(nullptr, LoadIconA(nullptr, "ZelIcon")) << "not a system icon";

  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = MakeWindow();
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_USER + 5;
  data.hIcon = icon;
  std::strcpy(data.szTip, "Zel");
  EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data));
  NOTIFYICONDATAA tip = data;
  tip.uFlags = NIF_TIP;
  tip.hIcon = nullptr;
  std::strcpy(tip.szTip, "Zel: no disc");
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &tip));
  auto icons = sim::TrayIcons();
  ASSERT_EQ(1u, icons.size());
  EXPECT_EQ(icon, icons[0].hIcon) << "what is not flagged stays as it was";
  EXPECT_STREQ("Zel: no disc", icons[0].szTip);
  tip.cbSize = 88;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &tip)) << "the record has the host's size";
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data) || Shell_NotifyIconA(NIM_DELETE, &data));
  sim::FailTray();
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_TRUE(sim::TrayIcons().empty());
  EXPECT_EQ(8u, sim::TrayCalls().size()) << "failed calls are recorded too";
}

TEST_F(StandInUserTest, ChosenMenuCommandsArePostedToTheOwner) {
  HWND window = MakeWindow();
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 10, "Eject");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING | MF_CHECKED, 11, "Quit");
  sim::SetCursorPos(5, 6);
  POINT at;
  GetCursorPos(&at);
  SetForegroundWindow(window);
  sim::OnMenu([](const sim::MenuShown& shown) { return shown.items.at(2).id; });
  EXPECT_TRUE(TrackPopupMenuEx(menu, 0, at.x, at.y, window, nullptr));
  auto queued = sim::QueuedMessages();
  ASSERT_EQ(1u, queued.size());
  EXPECT_TRUE(queued[0].message == WM_COMMAND && queued[0].wParam == 11);
  EXPECT_EQ(11, TrackPopupMenuEx(menu, TPM_RETURNCMD, 0, 0, window, nullptr));
  EXPECT_EQ(1u, sim::QueuedMessages().size()) << "a returned command is not posted";
  sim::OnMenu(nullptr);
  EXPECT_EQ(0, TrackPopupMenuEx(menu, TPM_RETURNCMD, 0, 0, window, nullptr));

  auto shown = sim::MenusShown();
  ASSERT_EQ(3u, shown.size());
  EXPECT_TRUE(shown[0].y == 6 && shown[0].foreground == window);
  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_EQ(0, sim::OpenMenus());
}

TEST_F(StandInUserTest, NamedMutexesAreSharedWithOtherProcesses) {
  sim::HoldMutex("ZelAgent");
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "ZelAgent");
  EXPECT_EQ(ERROR_ALREADY_EXISTS, static_cast<long>(GetLastError()));
  EXPECT_EQ(DWORD{WAIT_TIMEOUT}, WaitForSingleObject(mutex, 0));
  EXPECT_FALSE(ReleaseMutex(mutex)) << "creating an existing mutex does not take it";
  EXPECT_EQ(ERROR_NOT_OWNER, static_cast<long>(GetLastError()));
  sim::ReleaseHeldMutex("ZelAgent");
  EXPECT_TRUE(sim::MutexExists("ZelAgent")) << "our handle keeps it";
  EXPECT_EQ(DWORD{WAIT_OBJECT_0}, WaitForSingleObject(mutex, 0));
  EXPECT_EQ(DWORD{WAIT_OBJECT_0}, WaitForSingleObject(mutex, 0));
  EXPECT_TRUE(ReleaseMutex(mutex) && ReleaseMutex(mutex)) << "taken twice, released twice";
  EXPECT_FALSE(ReleaseMutex(mutex));
  CloseHandle(mutex);
  EXPECT_FALSE(sim::MutexExists("ZelAgent"));

  sim::AbandonMutex("ZelAgent");
  mutex = CreateMutexA(nullptr, FALSE, "ZelAgent");
  EXPECT_EQ(DWORD{WAIT_ABANDONED}, WaitForSingleObject(mutex, INFINITE));
  HANDLE second = CreateMutexA(nullptr, FALSE, "ZelAgent");
  EXPECT_EQ(ERROR_ALREADY_EXISTS, static_cast<long>(GetLastError()));
  EXPECT_EQ(DWORD{WAIT_OBJECT_0}, WaitForSingleObject(second, 0));
  CloseHandle(mutex);
  EXPECT_TRUE(sim::MutexExists("ZelAgent"));
  CloseHandle(second);
  EXPECT_FALSE(sim::MutexExists("ZelAgent")) << "the last handle takes the mutex with it";

  mutex = CreateMutexA(nullptr, TRUE, "ZelAgent");
  EXPECT_TRUE(GetLastError() == 0 && ReleaseMutex(mutex)) << "a new mutex is ours at once";
  CloseHandle(mutex);
  EXPECT_EQ(DWORD{WAIT_FAILED}, WaitForSingleObject(mutex, 0));
}

TEST_F(StandInUserTest, StartedProgramsAndTheirHandles) {
  std::vector<std::string> ran;
  sim::OnProcessStart(
      [&](const sim::ProcessStarted& started) { ran.push_back(started.commandLine); });
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  char command[] = "\"C:\\Zel\\player.exe\" /play E:";
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "C:\\Zel",
                             &startup, &info));
  EXPECT_EQ(2, sim::OpenHandles());
  EXPECT_EQ(DWORD{WAIT_OBJECT_0}, WaitForSingleObject(info.hProcess, INFINITE));
  EXPECT_EQ(std::vector<DWORD>{INFINITE}, sim::ProcessWaits());
  EXPECT_TRUE(CloseHandle(info.hThread) && CloseHandle(info.hProcess));

  startup.dwFlags = 1;
  sim::FailCreateProcess();
  EXPECT_FALSE(CreateProcessA("C:\\Zel\\gone.exe", command, nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, static_cast<long>(GetLastError()));
  EXPECT_EQ(33u, WinExec("zel.exe", SW_SHOW));
  EXPECT_EQ((std::vector<std::string>{command, "zel.exe"}), ran) << "only started programs run";

  auto started = sim::Processes();
  ASSERT_EQ(3u, started.size());
  EXPECT_TRUE(started[0].startupZero && started[0].currentDirectory && !started[0].environment);
  EXPECT_EQ(DWORD{sizeof startup}, started[0].startupSize);
  EXPECT_FALSE(started[1].startupZero || started[1].started) << "dwFlags set, and failed";
  EXPECT_TRUE(started[2].winExec && started[2].started);
}

}  // namespace

// disc_cycles: puts a product disc into a drive and takes it out again while
// the agent watches, for the Wine tests; one program, so that a long run does
// not pay for a start of Wine each time.
//   disc_cycles latency LETTER LOG COUNT announce|tick
//       COUNT insertions, each at another phase of the agent's one-second
//       timer, announced as the system does or left to the timer; prints how
//       long each took to start the player (until LOG grew), then min,
//       median and max
//   disc_cycles soak LETTER LOG CYCLES MENUS
//       the agent's handles, user and GDI objects and private bytes before
//       and after CYCLES announced insertions and removals and MENUS openings
//       and closings of its tray menu; fails when one grew by more than a few
// The disc's files wait in the folder "away" of the drive's root: moving them
// to the root puts the disc in, moving them back takes it out. The drive keeps
// its label and serial throughout, so the agent must have seen another serial
// in it before the first insertion. Exits 1 when the player did not start for
// an insertion, something failed, or (soak) a count grew too much.
#include <windows.h>
// after windows.h, which they need
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Announce.h"
#include "TrayIcon.h"

namespace {

const double StartDeadlineMs = 5000;
const double TickPeriodMs = 1000;
// The agent's pause after it starts a player (agent/Player.cpp), and more.
const DWORD AgentPauseMs = 150;
// The running mutex of the stand-in ZEL player (cmake/wine-tools.cmake).
const char PlayerMutex[] = "ZEL Musical PlayerZEL32.Def";

double NowMs() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return count.QuadPart * 1000.0 / frequency.QuadPart;
}

// Calls condition every few ms until it holds or ms have passed.
template <typename Condition>
bool WaitFor(Condition condition, double ms) {
  for (double start = NowMs(); !condition(); Sleep(5))
    if (NowMs() - start > ms) return false;
  return true;
}

struct Drive {
  HWND agent;
  char letter;
  const char* log;
  std::vector<std::string> files;  // the disc's files, by name
};

std::string Root(char letter) { return std::string(1, letter) + ":\\"; }

std::vector<std::string> FilesAway(char letter) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((Root(letter) + "away\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

bool MoveDisc(const Drive& drive, bool in) {
  for (const std::string& name : drive.files) {
    std::string root = Root(drive.letter) + name, away = Root(drive.letter) + "away\\" + name;
    if (!MoveFileA((in ? away : root).c_str(), (in ? root : away).c_str()))
      return std::printf("cannot move %s (error %lu)\n", name.c_str(), GetLastError()), false;
  }
  return true;
}

size_t LogLines(const char* log) {
  std::ifstream in(log, std::ios::binary);
  return std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
}

LONGLONG LogSize(const char* log) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(log, GetFileExInfoStandard, &data)) return 0;
  return static_cast<LONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// A player that still runs when a disc goes in is not started again: the
// stand-in writes its line before it ends, and the next disc waits for that.
bool PlayerEnded() {
  HANDLE running = OpenMutexA(SYNCHRONIZE, FALSE, PlayerMutex);
  if (running) CloseHandle(running);
  return !running;
}

// Tells the agent that the disc went in or out; false, saying why, unless it
// answered TRUE. The agent answers at once and runs its tick after.
bool Announce(const Drive& drive, bool arrival) {
  DWORD_PTR answer = 0;
  if (AnnounceVolume(drive.agent, drive.letter, arrival, &answer) && answer == TRUE) return true;
  std::printf("the %s was answered %lu (error %lu)\n", arrival ? "arrival" : "removal",
              static_cast<unsigned long>(answer), GetLastError());
  return false;
}

// Puts the disc in and waits until the player has written its line: the
// delay in ms, or -1.
double Insert(const Drive& drive, bool announce) {
  LONGLONG size = LogSize(drive.log);
  if (!MoveDisc(drive, true)) return -1;
  double start = NowMs();
  if (announce && !Announce(drive, true)) return -1;
  if (!WaitFor([&] { return LogSize(drive.log) > size; }, StartDeadlineMs))
    return std::printf("the player did not start within 5 s\n"), -1;
  return NowMs() - start;
}

// Takes the disc out; unannounced, only the agent's next tick sees it gone.
// The agent may take the announcement while it still waits for the player it
// started; the tick it posts runs after that wait and its pause after a start.
// The disc comes back only then, as no disc comes back that fast in a drive.
bool Eject(const Drive& drive, bool announce) {
  if (!MoveDisc(drive, false) || (announce && !Announce(drive, false))) return false;
  if (!WaitFor(PlayerEnded, StartDeadlineMs)) return std::printf("the player still runs\n"), false;
  if (announce) Sleep(AgentPauseMs);
  return true;
}

// "min 3 median 5 max 9 ms" of delays.
std::string Summary(std::vector<double> delays) {
  std::sort(delays.begin(), delays.end());
  size_t n = delays.size();
  double median = n % 2 ? delays[n / 2] : (delays[n / 2 - 1] + delays[n / 2]) / 2;
  char text[96];
  std::snprintf(text, sizeof text, "min %.0f median %.0f max %.0f ms", delays.front(), median,
                delays.back());
  return text;
}

// Waits for insertion i of count: its phase is i/count of the timer's period
// after origin, in the first period that starts no sooner than earliest, so
// that the insertions spread over the period. Its phase in ms.
double WaitForPhase(int i, int count, double origin, double earliest) {
  double phase = TickPeriodMs * i / count, at = origin + phase;
  while (at < earliest) at += TickPeriodMs;
  Sleep(static_cast<DWORD>(at - std::min(at, NowMs())));
  return phase;
}

int Latency(const Drive& drive, int count, bool announce) {
  size_t lines = LogLines(drive.log);
  std::vector<double> delays;
  double origin = NowMs(), ejected = origin;
  for (int i = 0; i < count; ++i) {
    // Unannounced, a tick must have seen the drive empty first.
    double earliest = std::max(NowMs(), ejected + (announce ? 0 : TickPeriodMs * 1.2));
    double phase = WaitForPhase(i, count, origin, earliest);
    double delay = Insert(drive, announce);
    if (delay < 0) return std::printf("insertion %d failed\n", i + 1), 1;
    std::printf("insertion %d at phase %.0f ms: %.0f ms\n", i + 1, phase, delay);
    delays.push_back(delay);
    if (!Eject(drive, announce)) return 1;
    ejected = NowMs();
  }
  size_t started = LogLines(drive.log) - lines;
  std::printf("%s: %s over %d insertions, %u starts\n", announce ? "announce" : "tick",
              Summary(delays).c_str(), count, static_cast<unsigned>(started));
  return started == static_cast<size_t>(count) ? 0 : 1;
}

// The tray menu, open and shown: only the agent opens menus in the test's
// Wine prefix.
HWND OpenMenu() {
  for (HWND menu = nullptr; (menu = FindWindowExA(nullptr, menu, "#32768", nullptr));)
    if (IsWindowVisible(menu)) return menu;
  return nullptr;
}

// Opens the menu as a right click on the icon does and closes it with a key
// press of Escape.
bool MenuCycle(const Drive& drive) {
  PostMessageA(drive.agent, WM_TRAYNOTIFY, TrayIconId, WM_RBUTTONDOWN);
  if (!WaitFor(OpenMenu, 5000)) return std::puts("the tray menu did not open"), false;
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
  if (!WaitFor([] { return !OpenMenu(); }, 5000))
    return std::puts("the tray menu stayed open"), false;
  return true;
}

struct Counts {
  DWORD handles, user, gdi;
  SIZE_T privateBytes;
};

Counts Read(HANDLE process) {
  Counts counts = {};
  if (!GetProcessHandleCount(process, &counts.handles)) counts.handles = 0;
  counts.user = GetGuiResources(process, GR_USEROBJECTS);
  counts.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  // PagefileUsage is the same commit charge; Wine 8 leaves PrivateUsage 0.
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory))
    counts.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
  return counts;
}

// One count's line; false when it grew by more than limit. A count read as 0
// is one the system does not report: it is shown and not judged.
bool Judge(const char* name, double before, double after, double limit) {
  if (!before || !after) {
    std::printf("%s: before %.0f after %.0f: not reported here, not checked\n", name, before,
                after);
    return true;
  }
  std::printf("%s: before %.0f after %.0f growth %+.0f (limit %.0f)\n", name, before, after,
              after - before, limit);
  return after - before <= limit;
}

// COUNT announced insertions and removals, each insertion's delay added to
// delays; false, saying which failed.
bool DiscCycles(const Drive& drive, int count, std::vector<double>& delays) {
  for (int i = 0; i < count; ++i) {
    double delay = Insert(drive, true);
    if (delay < 0 || !Eject(drive, true)) return std::printf("cycle %d failed\n", i + 1), false;
    delays.push_back(delay);
  }
  return true;
}

bool MenuCycles(const Drive& drive, int count) {
  for (int i = 0; i < count; ++i)
    if (!MenuCycle(drive)) return std::printf("menu %d failed\n", i + 1), false;
  return true;
}

int Soak(const Drive& drive, int cycles, int menus) {
  DWORD id = 0;
  GetWindowThreadProcessId(drive.agent, &id);
  HANDLE process =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, id);
  if (!process) return std::printf("cannot open the agent (error %lu)\n", GetLastError()), 1;
  double start = NowMs();
  std::vector<double> delays;
  // The first rounds may allocate what the agent then keeps: a warm-up.
  if (!DiscCycles(drive, 3, delays) || !MenuCycles(drive, 2)) return 1;
  Counts before = Read(process);
  size_t lines = LogLines(drive.log);
  double cyclesStart = NowMs();
  delays.clear();
  if (!DiscCycles(drive, cycles, delays)) return 1;
  size_t started = LogLines(drive.log) - lines;
  std::printf("%d cycles in %.1f s, %u starts of the player, %s from insertion to start\n", cycles,
              (NowMs() - cyclesStart) / 1000, static_cast<unsigned>(started),
              Summary(delays).c_str());
  double menusStart = NowMs();
  if (!MenuCycles(drive, menus)) return 1;
  std::printf("%d menus in %.1f s\n", menus, (NowMs() - menusStart) / 1000);
  Counts after = Read(process);
  bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT && FindAgent() == drive.agent;
  CloseHandle(process);

  bool ok = Judge("handles", before.handles, after.handles, 8);
  ok = Judge("user objects", before.user, after.user, 8) && ok;
  ok = Judge("GDI objects", before.gdi, after.gdi, 8) && ok;
  ok = Judge("private bytes", before.privateBytes, after.privateBytes, 64 * 1024) && ok;
  std::printf("took %.1f s\n", (NowMs() - start) / 1000);
  if (!alive) std::puts("the agent is gone");
  if (started != static_cast<size_t>(cycles)) std::puts("not one start for each insertion");
  return ok && alive && started == static_cast<size_t>(cycles) ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: disc_cycles latency LETTER LOG COUNT announce|tick |"
               " soak LETTER LOG CYCLES MENUS\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) return Usage();
  Drive drive = {FindAgent(), argv[2][0], argv[3], FilesAway(argv[2][0])};
  int count = std::atoi(argv[4]);
  bool latency = !std::strcmp(argv[1], "latency"), soak = !std::strcmp(argv[1], "soak");
  bool announce = !std::strcmp(argv[5], "announce");
  if (count < 1 || !(soak || (latency && (announce || !std::strcmp(argv[5], "tick")))))
    return Usage();
  if (!drive.agent) return std::puts("no agent window"), 1;
  if (drive.files.empty())
    return std::printf("no disc waits in %saway\n", Root(drive.letter).c_str()), 1;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (latency) return Latency(drive, count, announce);
  return Soak(drive, count, std::atoi(argv[5]));
}

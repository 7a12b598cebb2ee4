// The MS-DOS stand-in: the INT 21h services of Dos.h over an in-memory
// file system, and the program's PSP and environment as bytes.
#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "Helper.h"
#include "SimDos.h"

namespace {

constexpr Segment PspSegment = 0x1000, EnvironmentAt = 0x0F00;
// Vectors as segment:offset in one number.
using Vector = unsigned;
constexpr Vector SystemCritical = 0xF000'1240, SystemBreak = 0xF000'1230;
Vector Own(unsigned char interrupt) { return 0x2000'0000u | interrupt; }

struct Exit {
  int code;
};

struct Machine {
  unsigned char version = 6;
  char drive = 'C';
  std::map<char, std::string> current;  // folder per drive, without "X:\"
  std::set<std::string> folders, files, readOnly;
  std::set<char> notReady;
  std::map<Segment, std::vector<unsigned char>> memory;
  std::map<unsigned char, Vector> vectors;
  std::vector<simdos::Call> calls;
  int prompts = 0, strayReads = 0, callCount = 0, breakAt = 0;
};

Machine machine;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// MS-DOS's own reading of a path: "X:\NAME\NAME" in capitals, "." and ".."
// resolved; empty when it names no place.
std::string Canonical(const std::string& path) {
  std::string rest = path;
  char drive = machine.drive;
  if (rest.size() >= 2 && rest[1] == ':') {
    drive = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
    rest.erase(0, 2);
  }
  if (!machine.current.count(drive)) return "";
  std::vector<std::string> names;
  std::string walk = rest[0] == '\\' ? rest : machine.current[drive] + "\\" + rest;
  size_t start = 0;
  while (start <= walk.size()) {
    size_t end = std::min(walk.find('\\', start), walk.size());
    std::string name = walk.substr(start, end - start);
    if (name == "..") {
      if (names.empty()) return "";
      names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(Upper(name));
    }
    start = end + 1;
  }
  std::string full(1, drive);
  full += ":";
  for (const std::string& name : names) full += "\\" + name;
  return names.empty() ? full + "\\" : full;
}

std::string Parent(const std::string& full) {
  size_t slash = full.rfind('\\');
  return slash <= 2 ? full.substr(0, 3) : full.substr(0, slash);
}

bool HoldsAnything(const std::string& folder) {
  auto below = [&](const std::string& entry) { return entry.rfind(folder + "\\", 0) == 0; };
  return std::any_of(machine.files.begin(), machine.files.end(), below) ||
         std::any_of(machine.folders.begin(), machine.folders.end(), below);
}

// Each INT 21h call: Ctrl-Break may strike, a drive may not be ready.
void Enter() {
  if (++machine.callCount != machine.breakAt) return;
  throw Exit{machine.vectors[0x23] == Own(0x23) ? 255 : -1};
}

bool Ready(const std::string& full) {
  if (full.empty() || !machine.notReady.count(full[0])) return true;
  if (machine.vectors[0x24] != Own(0x24)) ++machine.prompts;
  return false;
}

void Record(char service, const char* path, bool done) {
  machine.calls.push_back({service, path, done});
}

}  // namespace

unsigned char DosMajorVersion() {
  Enter();
  return machine.version;
}

unsigned char DosCurrentDrive() {
  Enter();
  return static_cast<unsigned char>(machine.drive - 'A');
}

bool DosCurrentFolder(unsigned char drive, char* folder) {
  Enter();
  char letter = static_cast<char>('A' + drive - 1);
  if (drive == 0) letter = machine.drive;
  if (!machine.current.count(letter) || !Ready(std::string(1, letter))) return false;
  std::string text = machine.current[letter];
  std::copy(text.begin(), text.end(), folder);
  folder[text.size()] = 0;
  return true;
}

void DosDeleteFile(const char* path) {
  Enter();
  std::string full = Canonical(path);
  bool done = Ready(full) && machine.files.count(full) && !machine.readOnly.count(full);
  if (done) machine.files.erase(full);
  Record('D', path, done);
}

void DosRemoveFolder(const char* path) {
  Enter();
  std::string full = Canonical(path);
  // Never a root, nor the current folder of its drive.
  bool fixed = full.size() <= 3 || full == Canonical(full.substr(0, 2));
  bool done = Ready(full) && machine.folders.count(full) && !fixed && !HoldsAnything(full);
  if (done) machine.folders.erase(full);
  Record('R', path, done);
}

void DosGetVector(unsigned char interrupt, FarPointer& handler) {
  Enter();
  Vector vector = machine.vectors[interrupt];
  handler = {static_cast<unsigned short>(vector), static_cast<Segment>(vector >> 16)};
}

void DosSetVector(unsigned char interrupt, const FarPointer& handler) {
  Enter();
  machine.vectors[interrupt] = static_cast<Vector>(handler.segment) << 16 | handler.offset;
}

void DosTakeOver(unsigned char interrupt) {
  Enter();
  machine.vectors[interrupt] = Own(interrupt);
}

void DosExit(unsigned char code) {
  Enter();
  throw Exit{code};
}

char* CommandTail() { return reinterpret_cast<char*>(&machine.memory[PspSegment][0x80]); }

Segment EnvironmentSegment() { return FarWord(PspSegment, 0x2C); }

unsigned char FarByte(Segment segment, unsigned short offset) {
  auto block = machine.memory.find(segment);
  if (block == machine.memory.end() || offset >= block->second.size()) {
    ++machine.strayReads;
    return 0;
  }
  return block->second[offset];
}

unsigned short FarWord(Segment segment, unsigned short offset) {
  return static_cast<unsigned short>(FarByte(segment, offset) | FarByte(segment, offset + 1) << 8);
}

namespace simdos {

void Reset() {
  machine = Machine{};
  machine.current['C'] = "";
  machine.folders.insert("C:\\");
  machine.vectors[0x23] = SystemBreak;
  machine.vectors[0x24] = SystemCritical;
}

void SetVersion(unsigned char major) { machine.version = major; }

void AddFolder(const std::string& path) {
  std::string full = Upper(path);
  machine.current.emplace(full[0], "");
  for (; machine.folders.insert(full).second; full = Parent(full)) {
  }
}

void AddFile(const std::string& path, bool readOnly) {
  std::string full = Upper(path);
  AddFolder(Parent(full));
  machine.files.insert(full);
  if (readOnly) machine.readOnly.insert(full);
}

bool Exists(const std::string& path) {
  std::string full = Upper(path);
  return machine.files.count(full) || machine.folders.count(full);
}

void SetCurrent(char drive, const std::string& folder) {
  machine.drive = drive;
  machine.current[drive] = Upper(folder);
}

void SetNotReady(char drive) {
  machine.current.emplace(drive, "");
  machine.notReady.insert(drive);
}

void Load(const std::string& ownPath, const std::string& tail, int lengthByte) {
  // The PSP, and the program's first byte behind it: a zero (Start.S).
  std::vector<unsigned char> psp(257, 0);
  psp[0x2C] = EnvironmentAt & 0xFF;
  psp[0x2D] = EnvironmentAt >> 8;
  psp[0x80] = static_cast<unsigned char>(lengthByte < 0 ? tail.size() : lengthByte);
  std::copy_n(tail.begin(), std::min<size_t>(tail.size(), 127), psp.begin() + 0x81);
  if (tail.size() < 127) psp[0x81 + tail.size()] = '\r';
  machine.memory[PspSegment] = psp;

  std::string environment =
      std::string("COMSPEC=C:\\COMMAND.COM") + '\0' + "PATH=C:\\DOS" + '\0' + '\0';
  if (machine.version >= 3) environment += std::string("\1\0", 2) + ownPath + '\0';
  machine.memory[EnvironmentAt].assign(environment.begin(), environment.end());
}

void EmptyEnvironment() {
  std::vector<unsigned char>& block = machine.memory[EnvironmentAt];
  const unsigned char end[] = {0, 0};
  auto strings = std::search(block.begin(), block.end(), end, end + 2);
  block.erase(block.begin(), strings + 1);
}

void LoseEnvironment() { machine.memory[PspSegment][0x2C] = machine.memory[PspSegment][0x2D] = 0; }

void BreakAtCall(int n) { machine.breakAt = n; }

int Run() {
  try {
    DeleteMain();
  } catch (const Exit& exit) {
    return exit.code;
  }
}

std::vector<Call> Calls() { return machine.calls; }
int Prompts() { return machine.prompts; }
int StrayReads() { return machine.strayReads; }
bool VectorsRestored() {
  return machine.vectors[0x23] == SystemBreak && machine.vectors[0x24] == SystemCritical;
}

}  // namespace simdos

#include "Helper.h"

namespace {

// Critical error and Ctrl-Break.
constexpr unsigned char TakenOver[] = {0x24, 0x23};
constexpr unsigned EnvironmentLimit = 0x8000;  // MS-DOS keeps it below 32 KB

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; }

unsigned Length(const char* text) {
  unsigned n = 0;
  while (text[n]) ++n;
  return n;
}

// Appends one name of a path to the expanded path of `length` characters:
// "." and empty names change nothing, ".." drops the last name.
bool AppendName(char* expanded, unsigned& length, const char* name, unsigned size) {
  if (size == 0 || (size == 1 && name[0] == '.')) return true;
  if (size == 2 && name[0] == '.' && name[1] == '.') {
    while (length > 2 && expanded[--length] != '\\') {
    }
    return true;
  }
  if (length + 1 + size > MaxPath) return false;
  expanded[length++] = '\\';
  for (unsigned i = 0; i < size; ++i) expanded[length++] = Upper(name[i]);
  return true;
}

}  // namespace

void ParentPath(char* path) {
  unsigned length = Length(path);
  while (length > 0 && path[length - 1] != '\\') --length;
  if (length > 0) --length;
  path[length] = 0;
}

unsigned char ReadCount(const char* argument) {
  char sign = *argument;
  if (sign == '+' || sign == '-') ++argument;
  unsigned base = 10;
  if (*argument == '$') {
    base = 16;
    ++argument;
  }
  if (!*argument) return 0;
  unsigned char value = 0;
  do {
    char c = *argument | 0x20;  // letters in lower case, digits as they are
    unsigned digit = c - '0';
    if (digit > 9) {
      digit = c - 'a';
      if (digit > 5) return 0;
      digit += 10;
    }
    if (digit >= base) return 0;
    value = value * base + digit;
  } while (*++argument);
  return sign == '-' ? -value : value;
}

char* CutArguments(char* tail) {
  unsigned length = static_cast<unsigned char>(*tail++);
  if (length > 127) length = 127;
  for (unsigned i = 0; i < length; ++i) {
    if (IsSeparator(tail[i])) tail[i] = 0;
  }
  tail[length] = 0;
  return tail + length;
}

const char* NextArgument(const char*& at, const char* end) {
  while (at < end && !*at) ++at;
  if (at == end) return nullptr;
  const char* argument = at;
  unsigned size = Length(argument);
  at += size;
  return size <= MaxPath ? argument : at;
}

bool ExpandPath(const char* path, char* expanded) {
  unsigned char drive;
  if (path[0] && path[1] == ':') {
    drive = Upper(path[0]) - 'A';
    path += 2;
  } else {
    drive = DosCurrentDrive();
  }
  expanded[0] = 'A' + drive;
  expanded[1] = ':';
  expanded[2] = '\\';
  unsigned length = 2;
  if (*path != '\\') {
    // MS-DOS keeps the current folder in full and in capitals; it gives it
    // without the drive and the first backslash, in at most 64 bytes.
    if (!DosCurrentFolder(drive + 1, expanded + 3)) return false;
    length = Length(expanded);
    if (length == 3) length = 2;  // the root
  }
  while (*path) {
    const char* end = path;
    while (*end && *end != '\\') ++end;
    if (!AppendName(expanded, length, path, end - path)) return false;
    path = *end ? end + 1 : end;
  }
  if (length == 2) expanded[length++] = '\\';
  expanded[length] = 0;
  return true;
}

bool ReadOwnPath(char* path) {
  if (DosMajorVersion() < 3) return false;
  Segment environment = EnvironmentSegment();
  if (!environment) return false;
  // The strings end with an empty one: two zeros in a row, or a lone zero
  // when there are none. A word follows, the number of strings after it (1),
  // then the path.
  unsigned count = 1;
  if (FarByte(environment, 0) || !FarByte(environment, 1)) {
    unsigned end = 0;
    while (FarWord(environment, end)) {
      if (++end >= EnvironmentLimit) return false;
    }
    count = end + 2;
  }
  if (!FarWord(environment, count)) return false;
  unsigned at = count + 2;
  for (unsigned length = 0; length <= MaxPath; ++length, ++at) {
    path[length] = FarByte(environment, at);
    if (!path[length]) return length > 0;
  }
  return false;
}

extern "C" [[noreturn]] void DeleteMain() {
  static FarPointer saved[sizeof TakenOver];
  for (unsigned i = 0; i < sizeof TakenOver; ++i) {
    DosGetVector(TakenOver[i], saved[i]);
    DosTakeOver(TakenOver[i]);
  }

  static char own[MaxPath + 1], walk[MaxPath + 1];
  bool haveOwn = ReadOwnPath(own);
  bool canWalk = haveOwn && ExpandPath(own, walk);
  if (haveOwn) DosDeleteFile(own);

  char* tail = CommandTail();
  const char* end = CutArguments(tail);
  const char* at = tail + 1;
  const char* count = NextArgument(at, end);
  while (const char* file = NextArgument(at, end)) {
    if (*file) DosDeleteFile(file);
  }

  unsigned char levels = count ? ReadCount(count) : 0;
  if (canWalk) {
    ParentPath(walk);
    for (; levels > 0; --levels) {
      DosRemoveFolder(walk);
      ParentPath(walk);
    }
  }

  for (unsigned i = 0; i < sizeof TakenOver; ++i) DosSetVector(TakenOver[i], saved[i]);
  DosExit(0);
}

// The shipped programs' own start-up and C runtime, built as they build it
// and run under Wine: the command line WinMain receives, a static
// constructor, the heap, and the memory and string functions the compiler and
// the C++ library call. Prints "ok - ..." / "not ok - ..." lines; the exit
// code is the number of failures.
//
//   "...\runtime check.exe" one "two three"
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Called through pointers, so that the compiler cannot put its own inline
// code in their place.
void* (*volatile Move)(void*, const void*, std::size_t) = memmove;
void* (*volatile Fill)(void*, int, std::size_t) = memset;
int (*volatile CompareMemory)(const void*, const void*, std::size_t) = memcmp;
void* (*volatile FindByte)(const void*, int, std::size_t) = memchr;
int (*volatile Compare)(const char*, const char*) = strcmp;
int (*volatile CompareN)(const char*, const char*, std::size_t) = strncmp;
std::size_t (*volatile Length)(const char*) = strlen;

// Initialised when the program starts, not at build time.
const DWORD StartVersion = GetVersion();

int Failures = 0;

void Report(bool passed, const char* what) {
  std::string line = passed ? "ok - " : "not ok - ";
  line += what;
  line += "\n";
  DWORD written;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
  if (!passed) ++Failures;
}

bool Moved(std::size_t to, std::size_t from, const char* expected) {
  char text[] = "abcdefgh";
  Move(text + to, text + from, 4);
  return Compare(text, expected) == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  Report(instance == GetModuleHandleA(nullptr), "WinMain gets the program's instance");
  const char* expected = GetCommandLineA();
  expected += Length(expected) - Length(arguments);
  Report(arguments == expected && Compare(arguments, "one \"two three\"") == 0,
         "WinMain gets the arguments after the quoted program name");
  Report(StartVersion == GetVersion(), "static constructors ran");

  Report(Moved(2, 0, "ababcdgh"), "memmove to a later, overlapping place");
  Report(Moved(0, 2, "cdefefgh"), "memmove to an earlier, overlapping place");
  char filled[] = "abcdef";
  Fill(filled + 1, 0x1C0, 3);
  Report(Compare(filled,
                 "a\xC0\xC0\xC0"
                 "ef") == 0,
         "memset fills the size only, with a byte");
  Report(CompareMemory("ab\xC0", "ab\x41", 3) > 0 && CompareMemory("ab", "ac", 2) < 0 &&
             CompareMemory("ab", "ab", 2) == 0,
         "memcmp orders bytes as unsigned");
  const char block[] = "abc\xC0z";
  Report(FindByte(block, 0xC0, 5) == block + 3 && FindByte(block, 'z', 4) == nullptr,
         "memchr finds a byte within the size only");
  Report(Compare("\xC0", "A") > 0 && Compare("ab", "abc") < 0 && Compare("abc", "abc") == 0 &&
             CompareN("abcX", "abcY", 3) == 0 && CompareN("ab", "abc", 5) < 0,
         "strcmp and strncmp order as unsigned and stop at the end");

  std::string grown;
  for (int i = 0; i < 20000; ++i) grown += static_cast<char>('a' + i % 26);
  grown.insert(0, "start");
  grown.erase(1, 3);
  Report(
      grown.size() == 20002 && grown.compare(0, 4, "stab") == 0 && grown.back() == 'a' + 19999 % 26,
      "a string grows on the heap and moves its text both ways");
  return Failures;
}

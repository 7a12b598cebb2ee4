// The start-up and C runtime of the shipped programs. They import nothing
// but the system's own DLLs, since a clean Windows 95 has no msvcrt.dll and
// its loader refuses a program whose DLL is missing. Here is what the
// compiler and the C++ library need of a C runtime, over kernel32.
//
// Neither program raises an exception of its own; the only ones the library
// could raise are out-of-memory and length errors of its strings, after which
// nothing sensible is left to do. Ending the process at once keeps the C++
// runtime's exception machinery (unwinder, demangler, printf) out of the
// program file. The containers' bounds checks stay on and end the process
// the same way.
//
// This file is built with -fno-builtin and without loop-to-call rewriting,
// so that the loops below do not become calls to themselves.
#include <windows.h>

#include <cstddef>
#include <new>

// The static constructors, as the linker gathers them: its list starts with
// a count or -1 and ends with a null entry, and the compiler files each
// object's constructors so that the list runs from its end.
extern "C" void (*__CTOR_LIST__[])();

namespace {

// The exit code of abort() in Microsoft's runtime.
constexpr UINT AbortExitCode = 3;

void RunStaticConstructors() {
  std::size_t count = 0;
  while (__CTOR_LIST__[count + 1]) ++count;
  for (std::size_t i = count; i > 0; --i) __CTOR_LIST__[i]();
}

// The arguments of a command line: what follows the program's name, quoted
// or not, and the blanks after it.
char* ArgumentsOf(char* line) {
  bool quoted = false;
  for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line) {
    if (*line == '"') quoted = !quoted;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

}  // namespace

// The program's entry point, the one the linker picks for a GUI program.
extern "C" void WinMainCRTStartup() {
  RunStaticConstructors();
  ExitProcess(
      WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), SW_SHOWDEFAULT));
}

extern "C" {

void* malloc(std::size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void free(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

void abort() { ExitProcess(AbortExitCode); }

// The process ends with ExitProcess, and the system takes back all it held:
// the static destructors have nothing left to do.
int atexit(void (*)()) { return 0; }

void* memcpy(void* to, const void* from, std::size_t size) {
  auto* out = static_cast<unsigned char*>(to);
  auto* in = static_cast<const unsigned char*>(from);
  while (size--) *out++ = *in++;
  return to;
}

void* memmove(void* to, const void* from, std::size_t size) {
  auto* out = static_cast<unsigned char*>(to);
  auto* in = static_cast<const unsigned char*>(from);
  if (out <= in) return memcpy(to, from, size);
  while (size--) out[size] = in[size];
  return to;
}

void* memset(void* to, int value, std::size_t size) {
  auto* out = static_cast<unsigned char*>(to);
  while (size--) *out++ = static_cast<unsigned char>(value);
  return to;
}

int memcmp(const void* left, const void* right, std::size_t size) {
  auto* a = static_cast<const unsigned char*>(left);
  auto* b = static_cast<const unsigned char*>(right);
  for (; size; --size, ++a, ++b) {
    if (*a != *b) return *a - *b;
  }
  return 0;
}

void* memchr(const void* block, int value, std::size_t size) {
  auto* at = static_cast<const unsigned char*>(block);
  for (; size; --size, ++at) {
    if (*at == static_cast<unsigned char>(value)) return const_cast<unsigned char*>(at);
  }
  return nullptr;
}

std::size_t strlen(const char* text) {
  const char* end = text;
  while (*end) ++end;
  return static_cast<std::size_t>(end - text);
}

int strncmp(const char* left, const char* right, std::size_t size) {
  for (; size; --size, ++left, ++right) {
    auto a = static_cast<unsigned char>(*left), b = static_cast<unsigned char>(*right);
    if (a != b || !a) return a - b;
  }
  return 0;
}

int strcmp(const char* left, const char* right) { return strncmp(left, right, ~std::size_t{0}); }

}  // extern "C"

void* operator new(std::size_t size) {
  void* block = malloc(size);
  if (!block) abort();
  return block;
}
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }

namespace __gnu_cxx {
void __verbose_terminate_handler() { abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
void __throw_bad_array_new_length() { abort(); }
// A failed bounds check of a string or vector.
void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept { abort(); }
}  // namespace std

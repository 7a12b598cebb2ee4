// Neither program raises an exception of its own; the only ones the runtime
// could raise are out-of-memory and length errors of its strings, after which
// nothing sensible is left to do. Ending the process at once keeps the C++
// runtime's exception machinery (unwinder, demangler, printf) out of the
// program file, which is most of its size otherwise. The containers' bounds
// checks stay on and end the process the same way.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) std::abort();
  return block;
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
// A failed bounds check of a string or vector.
void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept { std::abort(); }
}  // namespace std

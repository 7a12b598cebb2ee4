// Arbitrary bytes as the delete helper's command tail (the first byte is the
// PSP's length byte): it must end with exit code 0 and its vectors given
// back, delete only what an argument names verbatim or its own file, and walk
// up exactly as many folders as the count says.
#include <cstdlib>
#include <string>
#include <vector>

#include "SimDos.h"

namespace {

const std::string Own = "C:\\PROGRA~1\\PLAYER\\DELETE.EXE";
const char* const Files[] = {"C:\\PROGRA~1\\PLAYER\\UNINST~1.EXE", "C:\\A.TXT", "C:\\B\\C"};
const char* const Walk[] = {"C:\\PROGRA~1\\PLAYER", "C:\\PROGRA~1", "C:"};

std::vector<std::string> Split(const std::string& tail) {
  std::vector<std::string> arguments(1);
  for (unsigned char c : tail) {
    if (c > ' ')
      arguments.back() += static_cast<char>(c);
    else if (!arguments.back().empty())
      arguments.emplace_back();
  }
  if (arguments.back().empty()) arguments.pop_back();
  return arguments;
}

int Count(const std::string& text) {
  size_t at = text.size() > 0 && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  int base = at < text.size() && text[at] == '$' ? 16 : 10;
  if (base == 16) ++at;
  if (at == text.size() || text.size() > 79) return 0;
  int value = 0;
  for (; at < text.size(); ++at) {
    const std::string digits = "0123456789abcdef", upper = "0123456789ABCDEF";
    size_t digit = std::min(digits.find(text[at]), upper.find(text[at]));
    if (digit >= static_cast<size_t>(base)) return 0;
    value = (value * base + static_cast<int>(digit)) % 256;
  }
  return text[0] == '-' ? (256 - value) % 256 : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string tail(reinterpret_cast<const char*>(data) + 1, std::min<size_t>(size - 1, 127));
  simdos::Reset();
  simdos::AddFile(Own);
  for (const char* file : Files) simdos::AddFile(file);
  simdos::Load(Own, tail, data[0]);
  if (simdos::Run() != 0 || !simdos::VectorsRestored()) std::abort();
  if (simdos::StrayReads() != 0 || simdos::Prompts() != 0) std::abort();

  std::vector<std::string> arguments = Split(tail.substr(0, std::min<size_t>(data[0], 127)));
  int count = arguments.empty() ? 0 : Count(arguments[0]);
  std::vector<simdos::Call> calls = simdos::Calls();
  size_t next = 0, deleted = 0;
  if (calls.empty() || calls[0].service != 'D' || calls[0].path != Own) std::abort();
  for (size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i].size() > 79) continue;
    if (++next >= calls.size() || calls[next].service != 'D' || calls[next].path != arguments[i])
      std::abort();
    deleted += calls[next].done ? 1 : 0;
  }
  for (int level = 0; level < count; ++level) {
    if (++next >= calls.size() || calls[next].service != 'R') std::abort();
    if (calls[next].path != (level < 3 ? Walk[level] : "")) std::abort();
  }
  if (next + 1 != calls.size()) std::abort();
  size_t gone = 0;
  for (const char* file : Files) gone += simdos::Exists(file) ? 0 : 1;
  if (gone != deleted) std::abort();
  return 0;
}

#include "FileVersion.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

const char NoVersion[] = "0.0.0.0";

// Four upper-case hexadecimal digits.
Text HexWord(unsigned value) {
  Text digits(4, '0');
  for (int i = 3; i >= 0; --i, value >>= 4) digits[i] = "0123456789ABCDEF"[value & 15];
  return digits;
}

Text TranslationKey(const std::vector<BYTE>& block) {
  void* data = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &data, &length) || !data ||
      length < 4)
    return Text();
  const BYTE* word = static_cast<const BYTE*>(data);
  unsigned language = word[0] | (word[1] << 8);
  unsigned codePage = word[2] | (word[3] << 8);
  return HexWord(language) + HexWord(codePage);
}

// The value of one component: leading blanks and a sign, then the leading
// digits; large values are held at a bound instead of overflowing.
long long ComponentValue(const Text& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (value < 100000000000LL) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

void SplitVersion(Text text, long long (&parts)[4]) {
  for (long long& part : parts) {
    size_t dot = text.find('.');
    part = ComponentValue(text.substr(0, dot));
    text = dot == Text::npos ? Text() : text.substr(dot + 1);
  }
}

}  // namespace

Text GetFileVersion(const Text& path) {
  DWORD scratch = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &scratch);
  if (size == 0) return NoVersion;
  std::vector<BYTE> block(size + 1, 0);
  GetFileVersionInfoA(path.c_str(), 0, size, block.data());

  Text query = "\\StringFileInfo\\" + TranslationKey(block) + "\\FileVersion";
  void* data = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), query.c_str(), &data, &length) || !data || length <= 1)
    return NoVersion;
  // The length counts the closing zero, stored or not; the text ends at its
  // first zero byte, so one that starts with a zero is empty.
  const char* text = static_cast<const char*>(data);
  const void* end = std::memchr(text, 0, length - 1);
  return Text(text, end ? static_cast<const char*>(end) - text : length - 1);
}

TVersionInfo GetFileVersionRecord(const Text& path) { return TVersionInfo{GetFileVersion(path)}; }

bool IsNewerVersion(const Text& a, const Text& b) {
  long long left[4], right[4];
  SplitVersion(a, left);
  SplitVersion(b, right);
  for (int i = 0; i < 4; ++i)
    if (left[i] != right[i]) return left[i] > right[i];
  return false;
}

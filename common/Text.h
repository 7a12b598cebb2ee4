// The programs' string type: a byte string in the Windows ANSI code page.
#pragma once

#include <string>

typedef std::string Text;

// A number in decimal, without sign or leading zeros.
inline Text Decimal(unsigned long value) {
  Text digits;
  do digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
  while (value /= 10);
  return digits;
}

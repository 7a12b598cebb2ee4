// The programs' string type: a byte string in the Windows ANSI code page.
#pragma once

#include <string>

typedef std::string Text;

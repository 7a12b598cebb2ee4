// The delete helper: deletes its own file and the files named on its command
// line, then removes the folder it was started from and as many parents as
// its first argument says, each only if it is empty.
#pragma once

#include "Dos.h"

// The longest MS-DOS path; a longer argument names no file.
constexpr unsigned MaxPath = 79;

// One folder up: drops the last name and the backslash before it, or a
// trailing backslash alone ("C:\PROGRA~1" -> "C:", "C:" -> ""). Where the
// helper cannot run, the uninstaller's own walk repeats this rule
// (CutAtLastBackslash); this program keeps its copy, sharing no code.
void ParentPath(char* path);

// The folder-level count: optional sign, then decimal digits or "$" and
// hexadecimal ones, the whole argument a number; the low 8 bits of it. Any
// other text gives 0.
unsigned char ReadCount(const char* argument);

// Cuts the command tail (its length byte, then at most 127 bytes of text) into
// arguments in place: each separator, a code from 0 to 32, becomes a zero,
// and so does the byte behind the text, which must be writable. Returns the
// end of the text.
char* CutArguments(char* tail);

// The first argument of the cut text from `at` up to `end`, with `at` moved
// behind it; nullptr when none is left. An argument longer than MaxPath comes
// back empty.
const char* NextArgument(const char*& at, const char* end);

// The full form of an MS-DOS path: drive and current folder added where
// missing, "." and ".." resolved, a to z in capitals. False when the result
// would be longer than MaxPath or the current folder cannot be read.
// `expanded` holds MaxPath + 1 bytes.
bool ExpandPath(const char* path, char* expanded);

// The program's own path as MS-DOS 3.0 and later keep it behind the
// environment strings; false on an earlier MS-DOS or a path longer than MaxPath.
bool ReadOwnPath(char* path);

// The whole program.
extern "C" [[noreturn]] void DeleteMain();

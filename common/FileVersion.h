// The "FileVersion" text of a program file's version resource, and the
// comparison of two such texts.
#pragma once

#include "Text.h"

struct TVersionInfo {
  Text FileVersion;
};

// "0.0.0.0" when the file has no readable "FileVersion" in the string table
// of its first translation. The text is as stored, up to its first zero byte
// and one byte short of the length the table gives.
Text GetFileVersion(const Text& path);
TVersionInfo GetFileVersionRecord(const Text& path);

// True when version a is strictly greater than b, component by component.
bool IsNewerVersion(const Text& a, const Text& b);

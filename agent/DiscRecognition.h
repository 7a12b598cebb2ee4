// Telling the maker's product discs from other discs, and their edition,
// by volume label, marker files and the content of one marker file.
#pragma once

#include <windows.h>

#include "Text.h"

// As a filter: which edition the caller wants (EditionAny: either); as an
// answer: which edition the disc is (EditionAny: not a product disc).
typedef signed char Edition;
const Edition EditionAny = 0;
const Edition EditionZel = 1;
const Edition EditionOxd = -1;

// The disc format, the same for every disc of the product line.
struct LabelRow {
  const char* BaseLabel;  // at most 11 characters
  BYTE SuffixCount;       // numbered forms BaseLabel1 .. BaseLabelN
};
const int LabelRowCount = 20;
extern const LabelRow LabelTable[LabelRowCount];  // rows 1 to 20
const BYTE SeedKey = 0x5B;
const DWORD WordKey = 0x3C6EF372;
const DWORD ZelFlag = 0x10;  // bit of the signature form's flags word

inline constexpr char AaaMarker[] = "aaa.cfg";
inline constexpr char SettingsMarker[] = "settings.cfg";
inline constexpr char ListMarker[] = "list.psf";
inline constexpr char ZelMarker[] = "zel.cfg";
inline constexpr char OxdRecordPrefix[] = "CD=";
inline constexpr char ZelRecordPrefix[] = "CDZEL=";
const size_t SignatureSize = 6;
inline constexpr char OxdSignature[] = "OXDL\0";  // with its array's zero: 6 bytes
inline constexpr char ZelSignature[] = "ZELP\0";

bool RecogniseDisc(const Text& root, bool fullCheck, Edition& edition, Edition wanted);
bool IsListedDisc(const Text& root);
bool MatchesLabelRow(const Text& label, int row);
bool CheckConfigRecord(const Text& root, Edition wanted);
bool CheckSignatureFile(const Text& root, Edition wanted, bool& isOxd, bool& isZel);

// One scrambled item of an open marker file; false when the file ends or
// fails before the item is complete.
bool ReadScrambledText(HANDLE file, BYTE& key, Text& text);
bool ReadScrambledDword(HANDLE file, BYTE& key, DWORD& value);

// True when FindFirstFileA finds the path: a file, a folder, or anything
// that matches a wildcard pattern.
bool PathExists(const Text& path);

#include "DiscRecognition.h"

#include <cstring>

// Volume labels of the ZEL edition's discs, scanned from row 1 to row 20.
const LabelRow LabelTable[LabelRowCount] = {
    {"ZELMUSIC", 4}, {"zelmusic", 0},  {"ZEL_CLASSIC", 3}, {"ZEL_JAZZ", 2},  {"ZEL_ROCK", 0},
    {"zel_rock", 0}, {"ZELHITS", 4},   {"ZEL_KIDS", 1},    {"ZELLOUNGE", 0}, {"zellounge", 2},
    {"ZEL_FOLK", 0}, {"ZEL_DANCE", 3}, {"ZEL_GOLD", 0},    {"zel_gold", 0},  {"ZEL_RETRO", 1},
    {"ZEL_SOUL", 0}, {"ZELMIX", 2},    {"zelmix", 0},      {"ZEL_CHILL", 0}, {"ZEL_BLUES", 0},
};

namespace {

HANDLE OpenMarker(const Text& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadBytes(HANDLE file, void* buffer, DWORD size) {
  DWORD read = 0;
  return ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

bool WantsOxd(Edition wanted) { return wanted == EditionAny || wanted == EditionOxd; }
bool WantsZel(Edition wanted) { return wanted == EditionAny || wanted == EditionZel; }

// The signature form of one marker file, read to its third record.
bool SignatureFileMatches(const Text& path, const char* signature, bool zelFlagSet) {
  HANDLE file = OpenMarker(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  char header[8];
  BYTE key = SeedKey;
  Text first, second, third;
  DWORD flags = 0;
  bool complete = ReadBytes(file, header, sizeof header) && ReadScrambledText(file, key, first) &&
                  ReadScrambledText(file, key, second) && ReadScrambledDword(file, key, flags) &&
                  ReadScrambledText(file, key, third);
  CloseHandle(file);
  return complete && std::memcmp(header, signature, SignatureSize) == 0 &&
         ((flags & ZelFlag) != 0) == zelFlagSet && third == Text(signature, SignatureSize);
}

}  // namespace

bool PathExists(const Text& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

bool ReadScrambledText(HANDLE file, BYTE& key, Text& text) {
  BYTE lengthByte;
  if (!ReadBytes(file, &lengthByte, 1)) return false;
  BYTE length = key ^ lengthByte;
  key = lengthByte;
  text.clear();
  for (int i = 0; i < length; ++i) {
    BYTE masked;
    if (!ReadBytes(file, &masked, 1)) return false;
    text += static_cast<char>(masked ^ key);
    key = static_cast<BYTE>(key + length);
  }
  return true;
}

bool ReadScrambledDword(HANDLE file, BYTE& key, DWORD& value) {
  BYTE raw[4];
  if (!ReadBytes(file, raw, sizeof raw)) return false;
  DWORD stored = raw[0] | (raw[1] << 8) | (raw[2] << 16) | (static_cast<DWORD>(raw[3]) << 24);
  value = stored ^ (static_cast<DWORD>(key) + WordKey);
  key = static_cast<BYTE>(key + 1);
  return true;
}

bool MatchesLabelRow(const Text& label, int row) {
  if (row < 1 || row > LabelRowCount) return false;
  const LabelRow& entry = LabelTable[row - 1];
  Text base = entry.BaseLabel;
  if (entry.SuffixCount == 0) return label == base;
  for (int k = 1; k <= entry.SuffixCount; ++k)
    if (label == base + std::to_string(k)) return true;
  return false;
}

bool IsListedDisc(const Text& root) {
  Text driveRoot = root.substr(0, 2) + "\\";
  if (GetDriveTypeA(driveRoot.c_str()) != DRIVE_CDROM) return false;
  char label[36];
  DWORD maxComponent, fsFlags;
  if (!GetVolumeInformationA(driveRoot.c_str(), label, sizeof label, nullptr, &maxComponent,
                             &fsFlags, nullptr, 0))
    return false;
  if (!PathExists(root + AaaMarker)) return false;
  const void* end = std::memchr(label, 0, sizeof label);
  Text volumeLabel(label, end ? static_cast<const char*>(end) - label : sizeof label);
  for (int row = 1; row <= LabelRowCount; ++row)
    if (MatchesLabelRow(volumeLabel, row)) return true;
  return false;
}

bool CheckConfigRecord(const Text& root, Edition wanted) {
  BYTE key = SeedKey;
  Text file;
  const char* prefix;
  if (WantsOxd(wanted) && PathExists(root + AaaMarker)) {
    file = AaaMarker, prefix = OxdRecordPrefix;
  } else if (WantsOxd(wanted) && PathExists(root + SettingsMarker)) {
    file = SettingsMarker, prefix = OxdRecordPrefix;
  } else if (WantsZel(wanted) && PathExists(root + ZelMarker)) {
    file = ZelMarker, prefix = ZelRecordPrefix;
  } else {
    return false;
  }
  HANDLE handle = OpenMarker(root + file);
  if (handle == INVALID_HANDLE_VALUE) return false;
  Text record;
  bool read = ReadScrambledText(handle, key, record);
  CloseHandle(handle);
  return read && record.compare(0, std::strlen(prefix), prefix) == 0;
}

bool CheckSignatureFile(const Text& root, Edition wanted, bool& isOxd, bool& isZel) {
  isOxd = false;
  isZel = false;
  bool asOxd = wanted == EditionOxd || (wanted == EditionAny && PathExists(root + AaaMarker));
  Text file = root + (asOxd ? AaaMarker : ZelMarker);
  if (!PathExists(file)) return false;
  if (asOxd) return isOxd = SignatureFileMatches(file, OxdSignature, false);
  return isZel = SignatureFileMatches(file, ZelSignature, true);
}

bool RecogniseDisc(const Text& root, bool fullCheck, Edition& edition, Edition wanted) {
  Text path = root;
  if (path.empty() || path.back() != '\\') path += '\\';
  bool listed = IsListedDisc(path);
  bool oxdFiles = (PathExists(path + SettingsMarker) && PathExists(path + ListMarker)) ||
                  (PathExists(path + AaaMarker) && !listed);
  bool zelFiles = PathExists(path + ZelMarker) || listed;
  bool match = (wanted == EditionAny && (oxdFiles || zelFiles)) ||
               (wanted == EditionOxd && oxdFiles) || (wanted == EditionZel && zelFiles);
  if (match && fullCheck) {
    match = CheckConfigRecord(path, wanted);
    if (!match) match = CheckSignatureFile(path, wanted, oxdFiles, zelFiles);
  }
  edition = match ? (oxdFiles ? EditionOxd : EditionZel) : EditionAny;
  return match;
}

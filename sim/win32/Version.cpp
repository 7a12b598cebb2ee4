// Version resources of simulated files. The block that GetFileVersionInfoA
// fills holds the file's query paths with their data, so the pointers that
// VerQueryValueA gives point into the caller's block, as on Windows.
#include <cstdio>
#include <cstring>

#include "Machine.h"
#include "SimMachine.h"

namespace sim {
namespace {

const char kMagic[4] = {'S', 'I', 'M', 'V'};

void PutWord(std::string& out, DWORD value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

DWORD GetWord(const BYTE* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<DWORD>(at[3]) << 24);
}

std::string Serialise(const FileEntry& entry) {
  std::string block(kMagic, sizeof kMagic);
  PutWord(block, static_cast<DWORD>(entry.version.size()));
  for (const auto& item : entry.version) {
    PutWord(block, static_cast<DWORD>(item.first.size()));
    block += item.first;
    PutWord(block, static_cast<DWORD>(item.second.size()));
    block += item.second;
  }
  return block;
}

const FileEntry* Versioned(LPCSTR path) {
  const FileEntry* entry = path ? LookUp(path) : nullptr;
  return entry && !entry->folder && entry->hasVersion ? entry : nullptr;
}

}  // namespace

void SetVersionInfo(const std::string& path, const VersionEntries& entries) {
  FileEntry& entry = M().files.at(NormalPath(path));
  entry.hasVersion = true;
  entry.version = entries;
}

void SetFileVersion(const std::string& path, const std::string& version, WORD language,
                    WORD codePage) {
  char key[9];
  std::snprintf(key, sizeof key, "%04X%04X", language, codePage);
  std::string translation;
  translation += static_cast<char>(language & 0xFF);
  translation += static_cast<char>(language >> 8);
  translation += static_cast<char>(codePage & 0xFF);
  translation += static_cast<char>(codePage >> 8);
  SetVersionInfo(path, {{"\\VarFileInfo\\Translation", translation},
                        {std::string("\\StringFileInfo\\") + key + "\\FileVersion",
                         version + std::string(1, '\0')}});
}

}  // namespace sim

using namespace sim;

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle) {
  Count("GetFileVersionInfoSizeA");
  if (handle) *handle = 0;
  const FileEntry* entry = Versioned(path);
  if (!entry) return Fail(ERROR_FILE_NOT_FOUND), 0;
  return static_cast<DWORD>(Serialise(*entry).size());
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR path, DWORD, DWORD size, LPVOID block) {
  Count("GetFileVersionInfoA");
  const FileEntry* entry = Versioned(path);
  if (!entry || !block) return Fail(ERROR_FILE_NOT_FOUND), FALSE;
  std::string data = Serialise(*entry);
  if (size < data.size()) return Fail(ERROR_INSUFFICIENT_BUFFER), FALSE;
  std::memcpy(block, data.data(), data.size());
  return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) {
  Count("VerQueryValueA");
  const BYTE* at = static_cast<const BYTE*>(block);
  if (!at || !subBlock || std::memcmp(at, kMagic, sizeof kMagic) != 0) return FALSE;
  std::string wanted = Upper(subBlock);
  if (wanted.find("\\\\") != std::string::npos) return FALSE;  // an empty part names nothing
  DWORD count = GetWord(at + 4);
  at += 8;
  for (DWORD i = 0; i < count; ++i) {
    DWORD pathSize = GetWord(at);
    std::string itemPath(reinterpret_cast<const char*>(at + 4), pathSize);
    at += 4 + pathSize;
    DWORD dataSize = GetWord(at);
    at += 4;
    if (Upper(itemPath) == wanted) {
      if (buffer) *buffer = const_cast<BYTE*>(at);
      if (length) *length = dataSize;
      return TRUE;
    }
    at += dataSize;
  }
  if (length) *length = 0;
  return FALSE;
}

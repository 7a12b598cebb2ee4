#include "Removal.h"

#include <cstring>

#include "InstallRecord.h"
#include "Paths.h"

namespace {

const char CtrlZ = 26;
const DWORD LogBlockSize = 4096;
const DWORD ListedFilesPause = 100;  // ms between reading the log and deleting it

// The error of the call that just failed, never ERROR_SUCCESS.
DWORD LastError() {
  DWORD error = GetLastError();
  return error == ERROR_SUCCESS ? ERROR_READ_FAULT : error;
}

// Calls `visit` with the name and attributes of every entry matching the
// pattern; the search stays open meanwhile.
template <typename Visit>
void ForEachEntry(const Text& pattern, Visit visit) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do visit(found.cFileName, found.dwFileAttributes);
  while (FindNextFileA(search, &found));
  FindClose(search);
}

// A folder link (junction, symbolic link) goes as a link: following it
// would delete what lies outside the folder being removed.
void DeleteEntry(const Text& path, DWORD attributes) {
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
    ClearAndDeleteFile(path);
  else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    RemoveDirectoryA(path.c_str());
  else
    DeleteTree(path);
}

// One line of the log. Only a file goes: a folder keeps its attributes, and
// a line holding a zero byte names nothing (Windows would read a shorter,
// other path from it).
void DeleteLoggedPath(const Text& path) {
  if (path.empty() || path.find('\0') != Text::npos) return;
  if (IsFile(path)) ClearAndDeleteFile(path);
}

// Reads the open log block by block, deleting each path as its line ends.
DWORD DeleteLoggedPaths(HANDLE log) {
  char block[LogBlockSize];
  Text line;
  bool afterCr = false;
  DWORD got = LogBlockSize;
  while (got == LogBlockSize) {
    if (!ReadFile(log, block, LogBlockSize, &got, nullptr)) return LastError();
    for (DWORD i = 0; i < got; ++i) {
      char c = block[i];
      if (c == '\n' && afterCr) {
        afterCr = false;
        continue;
      }
      afterCr = c == '\r';
      if (c == CtrlZ) {
        DeleteLoggedPath(line);
        return ERROR_SUCCESS;
      }
      if (c == '\r') {
        DeleteLoggedPath(line);
        line.clear();
      } else {
        line += c;
      }
    }
  }
  DeleteLoggedPath(line);
  return ERROR_SUCCESS;
}

// The search also matches the short names Windows makes ("A+B Songs" is
// found as A_B_~1): only a long name that begins with the prefix, which is
// in capitals, counts.
bool BeginsWith(const char* name, const char* prefix) {
  for (; *prefix; ++name, ++prefix) {
    char c = *name >= 'a' && *name <= 'z' ? *name - ('a' - 'A') : *name;
    if (c != *prefix) return false;
  }
  return true;
}

}  // namespace

bool ClearAndDeleteFile(const Text& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  return DeleteFileA(path.c_str()) != FALSE;
}

void DeletePrefixedEntries(const Text& folder) {
  for (const char* prefix : {PlayerDataPrefixA, PlayerDataPrefixH})
    ForEachEntry(folder + prefix + "*.*", [&](const char* name, DWORD attributes) {
      if (BeginsWith(name, prefix)) DeleteEntry(folder + name, attributes);
    });
}

IoResult DeleteListedFiles(const Text& folder) {
  Text logPath = folder + InstallLogFile;
  if (!IsFile(logPath)) return {ERROR_SUCCESS};
  HANDLE log = CreateFileA(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return {LastError()};
  DWORD error = DeleteLoggedPaths(log);
  CloseHandle(log);
  if (error != ERROR_SUCCESS) return {error};
  Sleep(ListedFilesPause);
  ClearAndDeleteFile(logPath);
  return {ERROR_SUCCESS};
}

void DeleteTree(const Text& folder) {
  ForEachEntry(folder + "\\*.*", [&](const char* name, DWORD attributes) {
    if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
      DeleteEntry(folder + "\\" + name, attributes);
  });
  RemoveDirectoryA(folder.c_str());
}

void RemoveFolderChain(const Text& base, Text relative) {
  if (!RemoveDirectoryA((base + relative).c_str())) return;
  do {
    size_t last = relative.rfind('\\');
    relative.erase(last == Text::npos ? 0 : last);
  } while (RemoveDirectoryA((base + relative).c_str()) && !relative.empty());
}

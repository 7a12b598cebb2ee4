// Changes to the simulated file system: attributes, deleting files and
// removing folders, with Windows' refusals (read-only, in use, not empty) and
// a journal of the calls in their order.
#include <cstdio>
#include <cstring>

#include "Machine.h"
#include "SimMachine.h"

namespace sim {

std::vector<ChangeCall> ChangeCalls() { return M().changeCalls; }
void FailMoveFileEx() { M().failMoveFileEx = true; }
std::vector<std::string> PendingDeletions() { return M().pending; }
void OnChangeCall(std::function<void(const ChangeCall&)> hook) {
  M().onChangeCall = std::move(hook);
}

void JournalCall(const ChangeCall& call) {
  M().changeCalls.push_back(call);
  if (auto hook = M().onChangeCall) hook(call);
}

namespace {

BOOL Journal(const char* function, LPCSTR path, DWORD attributes, DWORD error) {
  BOOL result = error == ERROR_SUCCESS;
  if (!result) Fail(error);
  JournalCall({function, path ? path : "", attributes, result});
  return result;
}

// The entry a call names, links on the way followed; null with the error
// Windows gives when there is none.
FileEntry* Named(const std::string& normal, DWORD* error) {
  *error = !DriveOf(normal)                     ? ERROR_PATH_NOT_FOUND
           : !DriveReadable(normal)             ? ERROR_NOT_READY
           : !M().files.count(ParentOf(normal)) ? ERROR_PATH_NOT_FOUND
                                                : ERROR_FILE_NOT_FOUND;
  auto it = M().files.find(normal);
  if (it == M().files.end()) return nullptr;
  *error = ERROR_SUCCESS;
  return &it->second;
}

bool OpenByUs(const std::string& normal) {
  for (const auto& handle : M().handles)
    if (handle.second.kind == HandleKind::File && handle.second.path == normal) return true;
  return false;
}

bool HasContent(const std::string& normal) {
  std::string prefix = normal + "\\";
  auto it = M().files.lower_bound(prefix);
  return it != M().files.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

DWORD DeleteError(const std::string& normal, const FileEntry& entry) {
  if (entry.folder || (entry.attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
  if (entry.inUse || OpenByUs(normal)) return ERROR_SHARING_VIOLATION;
  return ERROR_SUCCESS;
}

DWORD RemoveError(const std::string& normal, const FileEntry& entry) {
  if (!entry.folder) return ERROR_DIRECTORY;
  if (normal.size() <= 3) return ERROR_ACCESS_DENIED;  // a drive's root
  if (entry.linkTarget.empty() && HasContent(normal)) return ERROR_DIR_NOT_EMPTY;
  return ERROR_SUCCESS;
}

// Takes the entry a path names (a link as the link itself) off the disk
// unless `refusal` gives the error Windows refuses it with.
BOOL Erase(const char* function, LPCSTR path,
           DWORD (*refusal)(const std::string& normal, const FileEntry& entry)) {
  std::string normal = Follow(NormalPath(path ? path : ""), false);
  DWORD error;
  FileEntry* entry = Named(normal, &error);
  if (entry) error = refusal(normal, *entry);
  if (error == ERROR_SUCCESS) M().files.erase(normal);
  return Journal(function, path, 0, error);
}

// Renames a file on its drive, over an older file of the new name when
// `replace` allows it.
DWORD Move(LPCSTR path, LPCSTR newPath, bool replace) {
  std::string from = Follow(NormalPath(path), false), to = Follow(NormalPath(newPath), false);
  DWORD error;
  FileEntry* source = Named(from, &error);
  if (!source) return error;
  if (source->folder) return ERROR_ACCESS_DENIED;
  if (source->inUse || OpenByUs(from)) return ERROR_SHARING_VIOLATION;
  if (DriveOf(to) && DriveOf(to) != DriveOf(from)) return ERROR_NOT_SAME_DEVICE;
  if (FileEntry* target = Named(to, &error)) {
    if (!replace) return ERROR_ALREADY_EXISTS;
    if ((error = DeleteError(to, *target)) != ERROR_SUCCESS) return error;
  } else if (error != ERROR_FILE_NOT_FOUND) {
    return error;
  }
  FileEntry moved = *source;
  std::string name = newPath;
  moved.name = name.substr(name.find_last_of("\\/") + 1);
  M().files.erase(from);
  M().files[to] = moved;
  return ERROR_SUCCESS;
}

}  // namespace
}  // namespace sim

using namespace sim;

DWORD WINAPI GetFileAttributesA(LPCSTR path) {
  Count("GetFileAttributesA");
  DWORD error;
  FileEntry* entry = Named(Follow(NormalPath(path ? path : ""), false), &error);
  if (!entry) return Fail(error), INVALID_FILE_ATTRIBUTES;
  return entry->attributes;
}

BOOL WINAPI SetFileAttributesA(LPCSTR path, DWORD attributes) {
  Count("SetFileAttributesA");
  DWORD error;
  FileEntry* entry = Named(Follow(NormalPath(path ? path : "")), &error);
  if (entry) {
    const DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_ARCHIVE;
    DWORD kept = entry->attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    entry->attributes = (attributes & settable) | kept;
    if (!entry->attributes) entry->attributes = FILE_ATTRIBUTE_NORMAL;
  }
  return Journal("SetFileAttributesA", path, attributes, error);
}

BOOL WINAPI DeleteFileA(LPCSTR path) {
  Count("DeleteFileA");
  return Erase("DeleteFileA", path, DeleteError);
}

BOOL WINAPI RemoveDirectoryA(LPCSTR path) {
  Count("RemoveDirectoryA");
  return Erase("RemoveDirectoryA", path, RemoveError);
}

// A rename now, or a deletion at the next restart: Windows keeps that path
// for its next start and looks at nothing now.
BOOL WINAPI MoveFileExA(LPCSTR path, LPCSTR newPath, DWORD flags) {
  Count("MoveFileExA");
  bool later = flags == MOVEFILE_DELAY_UNTIL_REBOOT && !newPath;
  bool now = newPath && (flags & ~DWORD(MOVEFILE_REPLACE_EXISTING)) == 0;
  DWORD error = M().failMoveFileEx ? ERROR_CALL_NOT_IMPLEMENTED
                : later            ? ERROR_SUCCESS
                : now              ? Move(path, newPath, flags & MOVEFILE_REPLACE_EXISTING)
                                   : ERROR_INVALID_PARAMETER;
  if (later && error == ERROR_SUCCESS) M().pending.push_back(path);
  return Journal("MoveFileExA", path, 0, error);
}

// Makes an empty file of a name no file in the folder has and gives its path.
UINT WINAPI GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR name) {
  Count("GetTempFileNameA");
  if (unique) return Fail(ERROR_INVALID_PARAMETER), 0;  // a name only: not used here
  FileEntry* where = folder ? LookUp(folder) : nullptr;
  if (!where || !where->folder) return Fail(ERROR_DIRECTORY), 0;
  std::string base = folder;
  if (base.back() != '\\') base += '\\';
  base += std::string(prefix ? prefix : "").substr(0, 3);
  std::string path;
  do {
    char number[8];
    std::snprintf(number, sizeof number, "%04X", ++M().tempNames & 0xFFFF);
    path = base + number + ".TMP";
  } while (LookUp(path));
  if (path.size() >= MAX_PATH) return Fail(ERROR_BUFFER_OVERFLOW), 0;
  AddFile(path, "");
  std::strcpy(name, path.c_str());
  return M().tempNames;
}

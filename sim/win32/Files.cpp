// Drives and the file system of the simulated machine: case-insensitive
// paths, removable media that hide their files while ejected, searches with
// Windows wildcards, file handles with a position.
#include <algorithm>
#include <cstring>

#include "Machine.h"
#include "SimMachine.h"

namespace sim {

namespace {

// Drops "." and empty components and lets ".." take the one before it back,
// never above the root "X:\\" that `path` begins with.
std::string Resolved(const std::string& path) {
  std::string result = path.substr(0, 3);
  size_t start = 3;
  while (start <= path.size()) {
    size_t end = std::min(path.find('\\', start), path.size());
    std::string part = path.substr(start, end - start);
    if (part == "..") {
      size_t cut = result.find_last_of('\\', result.size() - 2);
      if (result.size() > 3) result.erase(cut + 1);
    } else if (!part.empty() && part != ".") {
      result += part + "\\";
    }
    start = end + 1;
  }
  return result;
}

// The path with backslashes only, "." and ".." resolved, no trailing
// backslash but a root's; case kept.
std::string ShownPath(const std::string& path) {
  std::string result = path;
  std::replace(result.begin(), result.end(), '/', '\\');
  if (result.size() == 2 && result[1] == ':') result += '\\';
  if (result.size() >= 3 && result[1] == ':' && result[2] == '\\') result = Resolved(result);
  while (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}

}  // namespace

std::string NormalPath(const std::string& path) { return Upper(ShownPath(path)); }

std::string ParentOf(const std::string& normalPath) {
  size_t cut = normalPath.find_last_of('\\');
  if (cut == std::string::npos) return "";
  if (cut == 2) return normalPath.substr(0, 3);
  return normalPath.substr(0, cut);
}

Drive* DriveOf(const std::string& normalPath) {
  if (normalPath.size() < 3 || normalPath[1] != ':' || normalPath[2] != '\\') return nullptr;
  auto it = M().drives.find(normalPath[0]);
  return it == M().drives.end() ? nullptr : &it->second;
}

bool DriveReadable(const std::string& normalPath) {
  Drive* drive = DriveOf(normalPath);
  return drive && drive->media;
}

std::string Follow(const std::string& normalPath, bool last) {
  std::string path = normalPath;
  for (int hop = 0; M().links && hop < 32; ++hop) {
    bool replaced = false;
    for (size_t length = 4; length <= path.size() && !replaced; ++length) {
      bool whole = length == path.size();
      if (whole ? !last : path[length] != '\\') continue;
      auto it = M().files.find(path.substr(0, length));
      if (it != M().files.end() && !it->second.linkTarget.empty()) {
        path = it->second.linkTarget + path.substr(length);
        replaced = true;
      }
    }
    if (!replaced) break;
  }
  return path;
}

FileEntry* LookUp(const std::string& path) {
  std::string normal = Follow(NormalPath(path));
  if (!DriveReadable(normal)) return nullptr;
  auto it = M().files.find(normal);
  return it == M().files.end() ? nullptr : &it->second;
}

namespace {

std::string LastComponent(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Creates the entry (or renews it) and the folders above it that are missing,
// each named as the path given spells it.
FileEntry& Make(const std::string& path, bool folder) {
  std::string shown = ShownPath(path);
  std::string normal = Upper(shown);
  std::string parent = ParentOf(normal);
  if (!parent.empty() && parent != normal && !M().files.count(parent))
    Make(shown.substr(0, parent.size()), true);
  FileEntry& entry = M().files[normal];
  entry.name = LastComponent(shown);
  entry.folder = folder;
  entry.attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  return entry;
}

// Windows wildcard match, upper-cased on both sides: '*' any run, '?' one
// character. A pattern ending in ".*" also matches names without a dot, as
// "A_*.*" finds "A_data".
bool Match(const char* pattern, const char* name) {
  if (!*pattern) return !*name;
  if (*pattern == '*') {
    for (const char* rest = name;; ++rest) {
      if (Match(pattern + 1, rest)) return true;
      if (!*rest) return false;
    }
  }
  if (!*name) return std::strcmp(pattern, ".*") == 0 || std::strcmp(pattern, ".") == 0;
  if (*pattern == '?' || *pattern == *name) return Match(pattern + 1, name + 1);
  return false;
}

bool FitsEightThree(const std::string& name) {
  size_t dot = name.find('.');
  size_t stem = std::min(dot, name.size());
  return name.find_first_of(" +,;=[]") == std::string::npos && stem >= 1 && stem <= 8 &&
         (dot == std::string::npos ||
          (name.find('.', dot + 1) == std::string::npos && name.size() - dot - 1 <= 3));
}

// The 8.3 alias that Windows gives a name that is no 8.3 name (empty for one
// that is): in capitals, without blanks and without dots but the last one,
// "+,;=[]" as "_", the first six characters, "~1" and the first three of the
// extension. Searches match it as well as the name.
std::string ShortAlias(const std::string& name) {
  if (name == "." || name == ".." || FitsEightThree(name)) return "";
  auto squeezed = [](const std::string& part, size_t most) {
    std::string out;
    for (char c : Upper(part)) {
      if (c == ' ' || c == '.') continue;
      if (std::strchr("+,;=[]", c)) c = '_';
      if (out.size() < most) out += c;
    }
    return out;
  };
  size_t dot = name.rfind('.');
  std::string extension = dot == std::string::npos ? "" : squeezed(name.substr(dot + 1), 3);
  return squeezed(name.substr(0, dot), 6) + "~1" + (extension.empty() ? "" : "." + extension);
}

void Fill(const FileEntry& entry, const std::string& name, LPWIN32_FIND_DATAA data) {
  std::memset(data, 0, sizeof *data);
  data->dwFileAttributes = entry.attributes;
  data->nFileSizeLow = static_cast<DWORD>(entry.content.size());
  std::strncpy(data->cFileName, name.c_str(), MAX_PATH - 1);
  std::strncpy(data->cAlternateFileName, ShortAlias(name).c_str(), 13);
}

// Fills in the next entry of a search that is still there; false when none
// is left. The dots stand for the folder searched and its parent.
bool DeliverNext(HandleObject& search, LPWIN32_FIND_DATAA data) {
  while (search.next < search.found.size()) {
    const std::string& path = search.found[search.next++];
    std::string name = LastComponent(path);
    bool dots = name == "." || name == "..";
    auto it = M().files.find(dots ? ParentOf(path) : path);
    if (it == M().files.end()) continue;
    Fill(it->second, dots ? name : it->second.name, data);
    return true;
  }
  return false;
}

}  // namespace

void ResetFiles() {
  M().files.clear();
  M().links = false;
  M().changeCalls.clear();
  M().onChangeCall = nullptr;
  M().failMoveFileEx = false;
  M().pending.clear();
  M().diskFullAt.clear();
  M().tempNames = 0;
  AddDrive('C', DRIVE_FIXED);
}

void AddDrive(char letter, UINT type) {
  char upper = static_cast<char>(Upper(std::string(1, letter))[0]);
  Drive& drive = M().drives[upper];
  drive = Drive{};
  drive.type = type;
  drive.media = type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK;
  FileEntry& root = M().files[std::string(1, upper) + ":\\"];
  root.folder = true;
  root.attributes = FILE_ATTRIBUTE_DIRECTORY;
}

void InsertMedia(char letter, const std::string& label, DWORD serial) {
  Drive& drive = M().drives.at(Upper(std::string(1, letter))[0]);
  drive.media = true;
  drive.label = label;
  drive.serial = serial;
}

void EjectMedia(char letter) { M().drives.at(Upper(std::string(1, letter))[0]).media = false; }

void AddFile(const std::string& path, const std::string& content, DWORD attributes) {
  FileEntry& entry = Make(path, false);
  entry.content = content;
  entry.attributes = attributes;
}

void AddFolder(const std::string& path) { Make(path, true); }

void RemoveEntry(const std::string& path) {
  std::string normal = NormalPath(path);
  std::string below = normal.back() == '\\' ? normal : normal + "\\";
  for (auto it = M().files.begin(); it != M().files.end();) {
    bool inside = it->first.compare(0, below.size(), below) == 0;
    it = (it->first == normal || inside) ? M().files.erase(it) : std::next(it);
  }
}

bool EntryExists(const std::string& path) { return M().files.count(NormalPath(path)) != 0; }

std::vector<std::string> Listing(const std::string& folder) {
  std::string top = NormalPath(folder), below = top.back() == '\\' ? top : top + "\\";
  std::map<std::string, std::string> shown = {{top, ShownPath(folder)}};
  std::vector<std::string> paths;
  for (auto it = M().files.lower_bound(below);
       it != M().files.end() && it->first.compare(0, below.size(), below) == 0; ++it) {
    std::string parent = shown[ParentOf(it->first)];
    paths.push_back(shown[it->first] =
                        parent + (parent.back() == '\\' ? "" : "\\") + it->second.name);
  }
  return paths;
}

std::string FileContent(const std::string& path) {
  auto it = M().files.find(NormalPath(path));
  return it == M().files.end() ? std::string() : it->second.content;
}

void FailOpen(const std::string& path) { M().files.at(NormalPath(path)).failOpen = true; }

void FailReadAt(const std::string& path, size_t offset) {
  M().files.at(NormalPath(path)).failReadAt = offset;
}

void FillDiskAt(const std::string& path, size_t offset) {
  M().diskFullAt[NormalPath(path)] = offset;
}

void UseFile(const std::string& path) { M().files.at(NormalPath(path)).inUse = true; }

void AddFolderLink(const std::string& path, const std::string& target) {
  FileEntry& link = Make(path, true);
  link.attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  link.linkTarget = NormalPath(target);
  M().links = true;
}

DWORD Attributes(const std::string& path) {
  auto it = M().files.find(NormalPath(path));
  return it == M().files.end() ? INVALID_FILE_ATTRIBUTES : it->second.attributes;
}

}  // namespace sim

using namespace sim;

UINT WINAPI GetDriveTypeA(LPCSTR root) {
  Count("GetDriveTypeA");
  std::string path = root ? Upper(root) : "";
  if (path.size() != 3 || path[1] != ':' || path[2] != '\\') return DRIVE_NO_ROOT_DIR;
  Drive* drive = DriveOf(path);
  return drive ? drive->type : DRIVE_NO_ROOT_DIR;
}

BOOL WINAPI GetVolumeInformationA(LPCSTR root, LPSTR label, DWORD labelSize, LPDWORD serial,
                                  LPDWORD maxComponent, LPDWORD fsFlags, LPSTR fsName,
                                  DWORD fsNameSize) {
  Count("GetVolumeInformationA");
  std::string path = root ? Upper(root) : "";
  Drive* drive = path.size() == 3 && path[2] == '\\' ? DriveOf(path) : nullptr;
  if (!drive) return Fail(ERROR_INVALID_NAME), FALSE;
  if (!drive->media) return Fail(ERROR_NOT_READY), FALSE;
  if (label) {
    if (labelSize <= drive->label.size()) return Fail(ERROR_BAD_LENGTH), FALSE;
    std::memcpy(label, drive->label.c_str(), drive->label.size() + 1);
  }
  if (serial) *serial = drive->serial;
  if (maxComponent) *maxComponent = 255;
  if (fsFlags) *fsFlags = 0;
  const char* system = drive->type == DRIVE_CDROM ? "CDFS" : "NTFS";
  if (fsName && fsNameSize > std::strlen(system)) std::strcpy(fsName, system);
  return TRUE;
}

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
  Count("FindFirstFileA");
  std::string text = pattern ? pattern : "";
  if (text.empty() || text.back() == '\\' || text.back() == '/')
    return Fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
  size_t cut = text.find_last_of("\\/");
  std::string folder =
      Follow(NormalPath(cut == std::string::npos ? text : text.substr(0, cut + 1)));
  std::string wanted = Upper(text.substr(cut == std::string::npos ? 0 : cut + 1));
  if (!DriveReadable(folder)) return Fail(ERROR_NOT_READY), INVALID_HANDLE_VALUE;
  auto dir = M().files.find(folder);
  if (dir == M().files.end() || !dir->second.folder)
    return Fail(ERROR_PATH_NOT_FOUND), INVALID_HANDLE_VALUE;

  HandleObject search;
  search.kind = HandleKind::Find;
  search.path = folder;
  std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
  // Every folder but a drive's root lists itself and its parent first.
  for (const char* dots : {".", ".."})
    if (folder.size() > 3 && Match(wanted.c_str(), dots)) search.found.push_back(prefix + dots);
  for (auto it = M().files.lower_bound(prefix);
       it != M().files.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    std::string name = it->first.substr(prefix.size());
    if (name.empty() || name.find('\\') != std::string::npos) continue;
    std::string alias = ShortAlias(name);
    if (Match(wanted.c_str(), name.c_str()) ||
        (!alias.empty() && Match(wanted.c_str(), alias.c_str())))
      search.found.push_back(it->first);
  }
  if (search.found.empty()) return Fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
  DeliverNext(search, data);
  return NewHandle(std::move(search));
}

BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
  Count("FindNextFileA");
  HandleObject* search = FindHandle(find, HandleKind::Find);
  if (!search) return Fail(ERROR_INVALID_HANDLE), FALSE;
  if (DeliverNext(*search, data)) return TRUE;
  return Fail(ERROR_NO_MORE_FILES), FALSE;
}

BOOL WINAPI FindClose(HANDLE find) {
  Count("FindClose");
  if (!FindHandle(find, HandleKind::Find)) return Fail(ERROR_INVALID_HANDLE), FALSE;
  M().handles.erase(reinterpret_cast<uintptr_t>(find));
  return TRUE;
}

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD, HANDLE) {
  Count("CreateFileA");
  std::string normal = Follow(NormalPath(path ? path : ""));
  if (!DriveReadable(normal)) return Fail(ERROR_NOT_READY), INVALID_HANDLE_VALUE;
  FileEntry* entry = LookUp(normal);
  if (entry && (entry->folder || entry->failOpen))
    return Fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
  if (entry && (access & GENERIC_WRITE) && (entry->attributes & FILE_ATTRIBUTE_READONLY))
    return Fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
  bool creates =
      disposition == CREATE_ALWAYS || disposition == CREATE_NEW || disposition == OPEN_ALWAYS;
  if (!entry && !creates) return Fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
  if (entry && disposition == CREATE_NEW) return Fail(ERROR_ALREADY_EXISTS), INVALID_HANDLE_VALUE;
  if (!entry) {
    auto parent = M().files.find(ParentOf(normal));
    if (parent == M().files.end() || !parent->second.folder)
      return Fail(ERROR_PATH_NOT_FOUND), INVALID_HANDLE_VALUE;
    AddFile(path, "");
    entry = LookUp(normal);
  }
  if (disposition == CREATE_ALWAYS) entry->content.clear();
  HandleObject file;
  file.kind = HandleKind::File;
  file.path = normal;
  file.canRead = (access & GENERIC_READ) != 0;
  file.canWrite = (access & GENERIC_WRITE) != 0;
  return NewHandle(std::move(file));
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED) {
  Count("ReadFile");
  if (read) *read = 0;
  HandleObject* open = FindHandle(file, HandleKind::File);
  if (!open || !open->canRead)
    return Fail(open ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE), FALSE;
  FileEntry* entry = LookUp(open->path);
  if (!entry) return Fail(ERROR_NOT_READY), FALSE;
  const std::string& content = entry->content;
  if (open->sawEnd && size) ++M().readsPastEnd;
  size_t start = std::min(open->position, content.size());
  size_t count = std::min<size_t>(size, content.size() - start);
  if (count && entry->failReadAt >= start && entry->failReadAt < start + count)
    return Fail(ERROR_READ_FAULT), FALSE;
  if (count) std::memcpy(buffer, content.data() + start, count);
  open->position = start + count;
  if (count < size) open->sawEnd = true;
  if (read) *read = static_cast<DWORD>(count);
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED) {
  Count("WriteFile");
  if (written) *written = 0;
  HandleObject* open = FindHandle(file, HandleKind::File);
  if (!open || !open->canWrite)
    return Fail(open ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE), FALSE;
  FileEntry* entry = LookUp(open->path);
  if (!entry) return Fail(ERROR_NOT_READY), FALSE;
  auto full = M().diskFullAt.find(open->path);
  size_t room = SIZE_MAX;
  if (full != M().diskFullAt.end()) room = full->second - std::min(full->second, open->position);
  DWORD part = static_cast<DWORD>(std::min<size_t>(size, room));
  std::string& content = entry->content;
  if (content.size() < open->position + part) content.resize(open->position + part);
  if (part) std::memcpy(&content[open->position], buffer, part);
  open->position += part;
  if (written) *written = part;
  if (part < size) return Fail(ERROR_DISK_FULL), FALSE;
  return TRUE;
}

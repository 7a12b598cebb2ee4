// The test side of the Win32 stand-in: set up the simulated machine, inject
// faults and inspect what the program left behind.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// Puts the whole machine back to its start: an empty registry, drive C: as a
// fixed disk with an empty root folder, no open handles.
void Reset();

// Handles the program holds open: files, searches, registry keys.
int OpenHandles();
// ReadFile calls made on a file after an earlier read had already come back
// short: the program went on reading past the end it had been shown.
int ReadsPastEnd();

// Registry. Key paths are given below a predefined root, names compare
// without regard to case.
void SetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& data);
void SetRegText(HKEY root, const std::string& key, const std::string& name,
                const std::string& text);  // REG_SZ with its closing zero
void SetRegByte(HKEY root, const std::string& key, const std::string& name, BYTE value);
void CreateRegKey(HKEY root, const std::string& key);
bool RegKeyExists(HKEY root, const std::string& key);
bool GetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD* type,
                 std::string* data);
// A key below which nothing can be created, set or deleted (a user without
// administrator rights under HKEY_LOCAL_MACHINE).
void DenyRegWrite(HKEY root, const std::string& key);

// Drives. A drive letter has a type; a drive with removable media may be
// empty, in which case its files are hidden and its volume unreadable.
void AddDrive(char letter, UINT type);
void InsertMedia(char letter, const std::string& label, DWORD serial);
void EjectMedia(char letter);

// Files and folders. Parent folders are created as needed.
void AddFile(const std::string& path, const std::string& content,
             DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
void AddFolder(const std::string& path);
void RemoveEntry(const std::string& path);  // with everything below it
bool EntryExists(const std::string& path);
std::string FileContent(const std::string& path);
// Faults: the file cannot be opened at all, or a read that reaches the byte
// at the given offset fails.
void FailOpen(const std::string& path);
void FailReadAt(const std::string& path, size_t offset);

// Version resources. Each entry is a query path of VerQueryValueA (such as
// "\\VarFileInfo\\Translation") with the bytes it yields.
typedef std::vector<std::pair<std::string, std::string>> VersionEntries;
void SetVersionInfo(const std::string& path, const VersionEntries& entries);
// The usual resource: one translation with a "FileVersion" string.
void SetFileVersion(const std::string& path, const std::string& version, WORD language = 0x0409,
                    WORD codePage = 1252);

// How often each Win32 function was called since the last reset or
// ClearCallCounts, by the function's name ("ReadFile", "RegOpenKeyExA").
std::map<std::string, int> CallCounts();
void ClearCallCounts();

}  // namespace sim

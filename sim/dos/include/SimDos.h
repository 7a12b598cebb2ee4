// The test side of the MS-DOS stand-in: a machine with one program loaded,
// its drives, files and folders, and what the program did to them.
#pragma once

#include <string>
#include <vector>

#include "Dos.h"

namespace simdos {

// An empty machine: MS-DOS 6, drive C: current with its root as the current
// folder, nothing on it, the interrupt vectors at MS-DOS's own handlers.
void Reset();

void SetVersion(unsigned char major);
// Paths are full ("C:\\A\\B"); parent folders are made as needed.
void AddFolder(const std::string& path);
void AddFile(const std::string& path, bool readOnly = false);
bool Exists(const std::string& path);
void SetCurrent(char drive, const std::string& folder);  // folder without the drive
// A drive whose media cannot be read: every access is a critical error.
void SetNotReady(char drive);

// Loads the program: its own path as MS-DOS keeps it behind the environment
// (none on MS-DOS before 3.0) and the command tail as it stands in the PSP:
// at most 127 bytes, behind a length byte that is its size unless given.
void Load(const std::string& ownPath, const std::string& tail, int lengthByte = -1);
// The environment holds no strings: a lone zero, then the count and the path.
void EmptyEnvironment();
// The PSP names no environment at all.
void LoseEnvironment();
// Ctrl-Break is pressed during the n-th INT 21h call (1 is the first).
void BreakAtCall(int n);

// Runs the loaded program to its end; its exit code, or -1 when MS-DOS's
// own Ctrl-Break handler ended it.
int Run();

// The deletions and removals in their order, with the paths as passed.
struct Call {
  char service;  // 'D' delete file (41h), 'R' remove folder (3Ah)
  std::string path;
  bool done;
};
std::vector<Call> Calls();
// What the program left: every critical error that would have asked the
// user, bytes read outside the PSP and the environment, vectors not given back.
int Prompts();
int StrayReads();
bool VectorsRestored();

}  // namespace simdos

// winevdm.exe for the Wine suites on machines that run no 32-bit program.
// Wine starts an MS-DOS program through C:\windows\syswow64\winevdm.exe, its
// MS-DOS loader, with the command line
//   winevdm.exe --app-name "PROGRAM" "PROGRAM" ARGUMENTS
// Wine's own loader is a 32-bit program; a 64-bit prefix gets this one in
// its place. Like Wine's, it runs the program in DOSBox with every Wine drive
// mounted, from the program's drive, and waits for it.
//
// A Windows' MS-DOS support sees the short names that Win32 gives. Wine's
// short names are hashes that DOSBox does not know (C:\PROG~FBU), and DOSBox
// makes its own (C:\PROGRA~1). So the program and every argument that names
// an existing file or folder go to DOSBox in DOSBox's form: a long name as
// its first six characters without blanks, upper case, "~1" and the first
// three characters of its extension; an 8.3 name in upper case. That is
// DOSBox's name only while no other long name in the same folder starts
// alike (DOSBox would count on to "~2"): the suites put installations where
// that holds.
//
// The command line it was given and the one DOSBox runs are appended to the
// file that the environment variable DOS_LOADER_LOG names.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

typedef LONG(__cdecl* UnixSpawn)(char* const argv[], int wait);
typedef char*(__cdecl* UnixFileName)(const WCHAR* path);

UnixFileName unixFileName;

// A function of Wine's own, looked up by name.
template <typename Function>
Function WineFunction(const char* module, const char* name) {
  FARPROC found = GetProcAddress(GetModuleHandleA(module), name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// DOSBox's name for one component of a path.
std::string DosBoxName(const std::string& name) {
  std::string upper;
  for (char c : name)
    if (c != ' ') upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  size_t firstDot = upper.find('.'), lastDot = upper.rfind('.');
  std::string base = upper.substr(0, firstDot);
  std::string extension = lastDot == std::string::npos ? "" : upper.substr(lastDot + 1);
  bool isShort = upper.size() == name.size() && !base.empty() && base.size() <= 8 &&
                 extension.size() <= 3 && firstDot == lastDot;
  if (isShort) return upper;
  return base.substr(0, 6) + "~1" + (extension.empty() ? "" : "." + extension.substr(0, 3));
}

// An existing path in DOSBox's form; anything else as it is.
std::string DosBoxPath(const std::string& path) {
  char longPath[MAX_PATH];
  DWORD length = GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
  if (path.size() < 3 || path[1] != ':' || !length || length >= MAX_PATH) return path;
  std::string result = DosBoxName(std::string(longPath, 3)), rest = longPath + 3;
  for (size_t start = 0; start < rest.size();) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    result += DosBoxName(rest.substr(start, end - start));
    if (end < rest.size()) result += '\\';
    start = end + 1;
  }
  return result;
}

// The words of a command line, split at blanks and tabs, a quoted word kept whole.
std::vector<std::string> Words(const char* line) {
  std::vector<std::string> words;
  while (*line) {
    while (*line == ' ' || *line == '\t') ++line;
    if (!*line) break;
    std::string word;
    bool quoted = *line == '"';
    if (quoted) ++line;
    while (*line && (quoted ? *line != '"' : *line != ' ' && *line != '\t')) word += *line++;
    if (quoted && *line) ++line;
    words.push_back(word);
  }
  return words;
}

std::string UnixPath(const std::string& path) {
  std::wstring wide(path.begin(), path.end());
  char* unix = unixFileName(wide.c_str());
  std::string result = unix ? unix : "";
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

void Log(const std::string& line) {
  char file[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("DOS_LOADER_LOG", file, MAX_PATH);
  if (!length || length >= MAX_PATH) return;
  if (FILE* log = std::fopen(file, "ab")) {
    std::fprintf(log, "%s\r\n", line.c_str());
    std::fclose(log);
  }
}

// The DOSBox configuration: every drive, then the program from its drive.
std::string Config(const std::string& command) {
  std::string config = "[mixer]\r\nnosound=true\r\n[dos]\r\nkeyboardlayout=none\r\n[autoexec]\r\n";
  DWORD drives = GetLogicalDrives();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string root = std::string(1, letter) + ":\\";
    std::string unix = drives & (1u << (letter - 'A')) ? UnixPath(root) : "";
    if (unix.empty()) continue;
    config += "mount " + root.substr(0, 1) + " \"" + unix + "\"";
    config += GetDriveTypeA(root.c_str()) == DRIVE_CDROM ? " -t cdrom\r\n" : "\r\n";
  }
  return config + command.substr(0, 2) + "\r\n" + command + "\r\nexit\r\n";
}

}  // namespace

int main() {
  UnixSpawn spawn = WineFunction<UnixSpawn>("ntdll.dll", "__wine_unix_spawnvp");
  unixFileName = WineFunction<UnixFileName>("kernel32.dll", "wine_get_unix_file_name");
  const char* given = GetCommandLineA();
  Log("given: " + std::string(given));
  // winevdm.exe --app-name PROGRAM PROGRAM ARGUMENTS...
  std::vector<std::string> words = Words(given);
  if (!spawn || !unixFileName || words.size() < 4 || words[1] != "--app-name") return 1;
  std::string command = DosBoxPath(words[2]);
  for (size_t i = 4; i < words.size(); ++i) command += " " + DosBoxPath(words[i]);
  Log("dosbox: " + command);

  char folder[MAX_PATH], configPath[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "dos", 0, configPath)) return 1;
  FILE* file = std::fopen(configPath, "wb");
  if (!file) return 1;
  std::fputs(Config(command).c_str(), file);
  std::fclose(file);
  std::string unixConfig = UnixPath(configPath);
  char* argv[] = {const_cast<char*>("dosbox"), const_cast<char*>("-conf"), &unixConfig[0],
                  const_cast<char*>("-noconsole"), nullptr};
  LONG result = spawn(argv, TRUE);
  DeleteFileA(configPath);
  return static_cast<int>(result);
}

// winevdm.exe for the Wine suites on machines that run no 32-bit program.
// Wine starts an MS-DOS program through C:\windows\syswow64\winevdm.exe, its
// MS-DOS loader, with the command line
//   winevdm.exe --app-name "PROGRAM" "PROGRAM" ARGUMENTS
// Wine's own loader is a 32-bit program; a 64-bit prefix gets this one in
// its place. Like Wine's, it runs the program in DOSBox with the fixed Wine
// drives mounted and waits for it.
//
// A Windows' MS-DOS support sees the short names that Win32 gives. Wine's
// short names are hashes that DOSBox does not know (C:\PROG~FBU), and DOSBox
// makes its own (C:\PROGRA~1). So every path on the command line that names
// an existing file or folder goes to DOSBox in DOSBox's form: a long name as
// its first six characters without blanks, upper case, "~1" and the first
// three characters of its extension. That is DOSBox's name for it as long as
// no other long name in the same folder starts alike, which the suites see to.
//
// What it was given and what it ran are appended to the file that the
// environment variable DOS_LOADER_LOG names.
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
Function Lookup(const char* module, const char* name) {
  FARPROC found = GetProcAddress(GetModuleHandleA(module), name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// DOSBox's name for one long or short name.
std::string DosBoxName(const std::string& name) {
  size_t dot = name.rfind('.');
  std::string base = name.substr(0, dot), extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  std::string bare;
  for (char c : base)
    if (c != ' ') bare += c;
  bool isShort = bare == base && !bare.empty() && bare.size() <= 8 && extension.size() <= 3 &&
                 base.find('.') == std::string::npos;
  if (!isShort) bare = bare.substr(0, 6) + "~1";
  return Upper(extension.empty() ? bare : bare + "." + extension.substr(0, 3));
}

// An existing path in DOSBox's form; anything else as it is.
std::string DosBoxPath(const std::string& path) {
  char longPath[MAX_PATH];
  DWORD length = GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
  if (!length || length >= MAX_PATH || path.size() < 3 || path[1] != ':') return path;
  std::string result = Upper(std::string(longPath, 3)), rest = longPath + 3;
  for (size_t start = 0; start < rest.size();) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    result += DosBoxName(rest.substr(start, end - start));
    if (end < rest.size()) result += '\\';
    start = end + 1;
  }
  return result;
}

// The words of a command line, split at blanks, a quoted word kept whole.
std::vector<std::string> Words(const char* line) {
  std::vector<std::string> words;
  while (*line) {
    while (*line == ' ' || *line == '\t') ++line;
    if (!*line) break;
    std::string word;
    char end = *line == '"' ? *line++ : ' ';
    while (*line && *line != end && !(end == ' ' && *line == '\t')) word += *line++;
    if (*line == '"') ++line;
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
  if (!GetEnvironmentVariableA("DOS_LOADER_LOG", file, MAX_PATH)) return;
  if (FILE* log = std::fopen(file, "ab")) {
    std::fprintf(log, "%s\r\n", line.c_str());
    std::fclose(log);
  }
}

// The DOSBox configuration: the fixed drives, then the program in its folder.
std::string Config(const std::string& command) {
  std::string config = "[autoexec]\r\n";
  DWORD drives = GetLogicalDrives();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string root = std::string(1, letter) + ":\\";
    if (!(drives & (1u << (letter - 'A'))) || GetDriveTypeA(root.c_str()) != DRIVE_FIXED) continue;
    std::string unix = UnixPath(root);
    if (!unix.empty()) config += "mount " + std::string(1, letter) + " \"" + unix + "\"\r\n";
  }
  return config + command.substr(0, 2) + "\r\n" + command + "\r\nexit\r\n";
}

}  // namespace

int main() {
  UnixSpawn spawn = Lookup<UnixSpawn>("ntdll.dll", "__wine_unix_spawnvp");
  unixFileName = Lookup<UnixFileName>("kernel32.dll", "wine_get_unix_file_name");
  const char* given = GetCommandLineA();
  Log("given: " + std::string(given));
  std::vector<std::string> words = Words(given);
  // winevdm.exe --app-name PROGRAM PROGRAM ARGUMENTS...
  if (!spawn || !unixFileName || words.size() < 4 || words[1] != "--app-name") return 1;
  std::string command = DosBoxPath(words[2]);
  for (size_t i = 4; i < words.size(); ++i) command += " " + DosBoxPath(words[i]);
  Log("dosbox: " + command);

  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string configPath = std::string(folder) + "dosloader.conf";
  FILE* file = std::fopen(configPath.c_str(), "wb");
  if (!file) return 1;
  std::fputs(Config(command).c_str(), file);
  std::fclose(file);
  std::string unixConfig = UnixPath(configPath);
  char* argv[] = {const_cast<char*>("dosbox"), const_cast<char*>("-conf"), &unixConfig[0],
                  const_cast<char*>("-noconsole"), nullptr};
  LONG status = spawn(argv, TRUE);
  DeleteFileA(configPath.c_str());
  return status == 0 ? 0 : 1;
}

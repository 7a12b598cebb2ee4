#include "Paths.h"

namespace {

// The part of a path that names its drive or network share: "C:", or
// "\\server\share".
size_t RootLength(const Text& path) {
  if (path.size() >= 2 && path[1] == ':') return 2;
  if (path.compare(0, 2, "\\\\") != 0) return 0;
  size_t server = path.find('\\', 2);
  size_t share = server == Text::npos ? Text::npos : path.find('\\', server + 1);
  return share == Text::npos ? path.size() : share;
}

}  // namespace

bool IsFile(const Text& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsBelowRoot(const Text& folder) {
  size_t slash = folder.find('\\', RootLength(folder));
  return slash != Text::npos && slash + 1 < folder.size();
}

Text FolderKeepingRoot(const Text& path) {
  size_t last = path.find_last_of("\\:");
  if (last == Text::npos) return Text();
  bool keepBackslash =
      path[last] != '\\' || last == 0 || path[last - 1] == ':' || path[last - 1] == '\\';
  return path.substr(0, keepBackslash ? last + 1 : last);
}

Text CutAtLastBackslash(const Text& path) {
  size_t last = path.rfind('\\');
  return last == Text::npos ? Text() : path.substr(0, last);
}

// Arbitrary bytes as the install log: reading it must not crash, read on
// after the end it has seen or keep a handle open, and only files named by a
// whole line of the log (or the log itself) may go.
#include <cstdlib>
#include <string>
#include <vector>

#include "Removal.h"
#include "SimMachine.h"

namespace {

const char* const Files[] = {"C:\\a", "C:\\b.txt", "C:\\d\\c", "C:\\d\\e\\f"};
const std::string Folder = "C:\\P\\";
const std::string Log = Folder + "uninstall.dat";

// The log's lines, split the plain way: up to the first Ctrl-Z, each ended
// by CR or by CR LF.
std::vector<std::string> Lines(std::string text) {
  text = text.substr(0, text.find('\x1a'));
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = std::min(text.find('\r', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

bool Listed(const std::vector<std::string>& lines, const std::string& path) {
  for (const std::string& line : lines)
    if (line == path) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Reset();
  for (const char* file : Files) sim::AddFile(file, "x", FILE_ATTRIBUTE_READONLY);
  std::string log(reinterpret_cast<const char*>(data), size);
  sim::AddFile(Log, log);

  if (DeleteListedFiles(Folder).Failed()) std::abort();

  // Every deletion names a whole line, and each file gone went by one of them.
  std::vector<std::string> lines = Lines(log);
  int deleted = 0, gone = 0;
  for (const sim::ChangeCall& call : sim::ChangeCalls()) {
    if (call.function != "DeleteFileA" || call.path == Log) continue;
    if (!Listed(lines, call.path)) std::abort();
    deleted += call.result ? 1 : 0;
  }
  for (const char* file : Files) gone += sim::EntryExists(file) ? 0 : 1;
  if (gone != deleted) std::abort();
  if (sim::EntryExists(Log) || !sim::EntryExists("C:\\d\\e")) std::abort();
  if (sim::OpenHandles() != 0 || sim::ReadsPastEnd() != 0) std::abort();
  return 0;
}

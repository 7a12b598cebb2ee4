// Times DeleteListedFiles on the stand-in with install logs of 10,000 and
// 100,000 lines, each naming a file that exists, and fails when the longer
// log costs more than 12 times the shorter: the work must grow linearly.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "Removal.h"
#include "SimMachine.h"

namespace {

const char Folder[] = "C:\\Program Files\\Player\\";

// The best of three runs, in milliseconds.
double Time(int lines) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    sim::Reset();
    std::string log;
    for (int i = 0; i < lines; ++i) {
      std::string path = std::string(Folder) + "Data\\file" + std::to_string(i) + ".bin";
      sim::AddFile(path, "");
      log += path + "\r\n";
    }
    sim::AddFile(std::string(Folder) + "uninstall.dat", log);
    auto start = std::chrono::steady_clock::now();
    if (DeleteListedFiles(Folder).Failed()) return -1;
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main() {
  double small = Time(10000), large = Time(100000);
  if (small <= 0 || large <= 0) {
    std::printf("removal cost: the log could not be read\n");
    return 1;
  }
  double ratio = large / small;
  std::printf(
      "DeleteListedFiles on the stand-in: 10,000 lines %.1f ms, 100,000 lines %.1f ms, ratio "
      "%.1f\n",
      small, large, ratio);
  return ratio <= 12 ? 0 : 1;
}

// makedisc KIND DIR: writes the files of a product disc (or a plain disc)
// into DIR and prints its volume label and serial number (hex).
#include <cstdio>
#include <fstream>

#include "DiscMaker.h"

int main(int argc, char** argv) {
  disc::Kind kind;
  if (argc != 3 || !disc::KindByName(argv[1], kind)) {
    std::fprintf(stderr,
                 "usage: makedisc zel-record|zel-signature|zel-listed|oxd-record|"
                 "oxd-signature|oxd-settings|forged|plain DIR\n");
    return 2;
  }
  disc::Disc made = disc::Make(kind);
  for (const auto& file : made.files) {
    std::ofstream out(std::string(argv[2]) + "/" + file.first, std::ios::binary);
    out << file.second;
    if (!out) return std::perror(file.first.c_str()), 1;
  }
  std::printf("%s %08X\n", made.label.c_str(), static_cast<unsigned>(made.serial));
  return 0;
}

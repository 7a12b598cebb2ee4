// Arbitrary bytes as the two marker files that are read for their content:
// the checks must not crash, read on after the end they have seen, or keep a
// handle open.
#include <cstdlib>
#include <string>

#include "DiscRecognition.h"
#include "SimMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Reset();
  sim::AddDrive('D', DRIVE_CDROM);
  sim::InsertMedia('D', size % 2 ? "ZELMUSIC1" : "OTHER", 1);
  // The first byte splits the input between "aaa.cfg" and "zel.cfg".
  std::string bytes(reinterpret_cast<const char*>(data), size);
  size_t split = size ? std::min<size_t>(data[0], size - 1) : 0;
  sim::AddFile("D:\\aaa.cfg", bytes.substr(0, split));
  sim::AddFile("D:\\zel.cfg", bytes.substr(split));
  Edition edition;
  bool isOxd, isZel;
  for (Edition wanted : {EditionAny, EditionZel, EditionOxd}) {
    RecogniseDisc("D:\\", true, edition, wanted);
    CheckSignatureFile("D:\\", wanted, isOxd, isZel);
    if (edition != EditionAny && edition != EditionZel && edition != EditionOxd) std::abort();
  }
  if (sim::OpenHandles() != 0 || sim::ReadsPastEnd() != 0) std::abort();
  return 0;
}

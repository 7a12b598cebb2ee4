// The MS-DOS services in real mode. The program shares one segment with its
// program segment prefix: CS, DS, ES and SS are equal throughout (mz.ld), so
// a near pointer is a DS offset and the PSP starts at offset 0.
#include "Dos.h"

extern "C" char CriticalErrorHandler[], BreakHandler[];  // Start.S

namespace {

// One INT 21h call with AX and DX; DOS's AX comes back.
unsigned Int21(unsigned ax, unsigned dx = 0) {
  asm volatile("int $0x21" : "+a"(ax), "+d"(dx) : : "cc", "memory");
  return ax;
}

}  // namespace

unsigned char DosMajorVersion() { return Int21(0x3000); }

unsigned char DosCurrentDrive() { return Int21(0x1900); }

bool DosCurrentFolder(unsigned char drive, char* folder) {
  bool failed;
  unsigned ax = 0x4700;
  asm volatile("int $0x21" : "=@ccc"(failed), "+a"(ax) : "d"(drive), "S"(folder) : "memory");
  return !failed;
}

void DosDeleteFile(const char* path) { Int21(0x4100, reinterpret_cast<unsigned>(path)); }

void DosRemoveFolder(const char* path) { Int21(0x3A00, reinterpret_cast<unsigned>(path)); }

void DosGetVector(unsigned char interrupt, FarPointer& handler) {
  // ES comes back as the handler's segment; the compiler relies on ES = DS.
  asm volatile("pushw %%es\n\tint $0x21\n\tmov %%es, %0\n\tpopw %%es"
               : "=r"(handler.segment), "=b"(handler.offset)
               : "a"(0x3500 | interrupt));
}

void DosSetVector(unsigned char interrupt, const FarPointer& handler) {
  asm volatile("pushw %%ds\n\tldsw %1, %%dx\n\tint $0x21\n\tpopw %%ds"
               :
               : "a"(0x2500 | interrupt), "m"(handler)
               : "dx", "memory");
}

void DosTakeOver(unsigned char interrupt) {
  char* handler = interrupt == 0x24 ? CriticalErrorHandler : BreakHandler;
  Int21(0x2500 | interrupt, reinterpret_cast<unsigned>(handler));
}

void DosExit(unsigned char code) {
  asm volatile("int $0x21" : : "a"(0x4C00 | code));
  __builtin_unreachable();
}

const char* CommandTail() {
  const char* tail;
  asm("mov $0x80, %0" : "=r"(tail));  // a constant address the compiler cannot second-guess
  return tail;
}

Segment EnvironmentSegment() {
  Segment segment;
  asm volatile("mov 0x2C, %0" : "=r"(segment));
  return segment;
}

unsigned char FarByte(Segment segment, unsigned short offset) {
  unsigned char byte;
  asm volatile("mov %w1, %%fs\n\tmovb %%fs:(%2), %0"
               : "=q"(byte)
               : "r"(segment), "r"(static_cast<unsigned>(offset)));
  return byte;
}

unsigned short FarWord(Segment segment, unsigned short offset) {
  unsigned short word;
  asm volatile("mov %w1, %%fs\n\tmovw %%fs:(%2), %0"
               : "=r"(word)
               : "r"(segment), "r"(static_cast<unsigned>(offset)));
  return word;
}

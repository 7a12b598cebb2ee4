// The MS-DOS services in real mode. The program is one segment: CS, DS, ES
// and SS are equal throughout (Start.S), so a near pointer is a DS offset.
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

FarAddress DosGetVector(unsigned char interrupt) {
  unsigned segment, offset, ax = 0x3500 | interrupt;
  // ES comes back as the handler's segment; the compiler relies on ES = DS.
  asm volatile("pushw %%es\n\tint $0x21\n\tmov %%es, %w0\n\tpopw %%es"
               : "=r"(segment), "=b"(offset), "+a"(ax));
  return segment << 16 | (offset & 0xFFFF);
}

void DosSetVector(unsigned char interrupt, FarAddress handler) {
  unsigned ax = 0x2500 | interrupt;
  asm volatile("pushw %%ds\n\tmov %w1, %%ds\n\tint $0x21\n\tpopw %%ds"
               : "+a"(ax)
               : "r"(handler >> 16), "d"(handler)
               : "memory");
}

void DosExit(unsigned char code) {
  asm volatile("int $0x21" : : "a"(0x4C00 | code));
  __builtin_unreachable();
}

FarAddress OwnHandler(unsigned char interrupt) {
  unsigned segment;
  asm("mov %%cs, %0" : "=r"(segment));
  char* handler = interrupt == 0x24 ? CriticalErrorHandler : BreakHandler;
  return segment << 16 | reinterpret_cast<unsigned>(handler);
}

unsigned char FarByte(Segment segment, unsigned short offset) {
  unsigned char byte;
  asm volatile("mov %w1, %%fs\n\tmovb %%fs:(%2), %0"
               : "=q"(byte)
               : "r"(segment), "r"(static_cast<unsigned>(offset)));
  return byte;
}

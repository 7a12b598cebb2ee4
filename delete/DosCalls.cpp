// The MS-DOS services in real mode. The program shares one segment with its
// program segment prefix: CS, DS, ES and SS are equal throughout (mz.ld), so
// a near pointer is a DS offset and the PSP starts at offset 0.
#include "Dos.h"

extern "C" char CriticalErrorHandler[], BreakHandler[];  // Start.S

namespace {

// Operands as `movw` takes them: a constant stays a 3-byte immediate, where
// the compiler would load a 6-byte 32-bit one.
#define WORD_IN "ri"

// INT 21h with AX and DX; DOS's AX comes back.
unsigned short Int21(unsigned short function, const void* dx) {
  unsigned short ax;
  asm volatile("movw %w1, %%ax\n\tmovw %w2, %%dx\n\tint $0x21"
               : "=&a"(ax)
               : WORD_IN(function), WORD_IN(dx)
               : "dx", "cc", "memory");
  return ax;
}

// A byte or a word of another segment, read through FS, which nothing else uses.
template <typename Value>
Value Far(Segment segment, unsigned short offset) {
  Value value;
  asm volatile("mov %w1, %%fs\n\tmov %%fs:(%2), %0"
               : "=q"(value)
               : "r"(segment), "r"(static_cast<unsigned>(offset)));
  return value;
}

}  // namespace

unsigned char DosMajorVersion() {
  unsigned short ax;
  // 30h also gives the OEM number and a serial number in BX and CX.
  asm volatile("movw $0x3000, %%ax\n\tint $0x21" : "=a"(ax) : : "bx", "cx", "cc");
  return ax;
}

unsigned char DosCurrentDrive() { return Int21(0x1900, nullptr); }

bool DosCurrentFolder(unsigned char drive, char* folder) {
  bool failed;
  asm volatile("movw $0x4700, %%ax\n\tmovw %w2, %%si\n\tint $0x21"
               : "=@ccc"(failed)
               : "d"(drive), WORD_IN(folder)
               : "ax", "si", "cc", "memory");
  return !failed;
}

void DosDeleteFile(const char* path) { Int21(0x4100, path); }

void DosRemoveFolder(const char* path) { Int21(0x3A00, path); }

void DosGetVector(unsigned char interrupt, FarPointer& handler) {
  // ES comes back as the handler's segment; the compiler relies on ES = DS.
  asm volatile("movw %w2, %%ax\n\tpushw %%es\n\tint $0x21\n\tmov %%es, %0\n\tpopw %%es"
               : "=r"(handler.segment), "=b"(handler.offset)
               : WORD_IN(0x3500 | interrupt)
               : "ax");
}

void DosSetVector(unsigned char interrupt, const FarPointer& handler) {
  asm volatile("movw %w0, %%ax\n\tpushw %%ds\n\tldsw %1, %%dx\n\tint $0x21\n\tpopw %%ds"
               :
               : WORD_IN(0x2500 | interrupt), "m"(handler)
               : "ax", "dx", "memory");
}

void DosTakeOver(unsigned char interrupt) {
  Int21(0x2500 | interrupt, interrupt == 0x24 ? CriticalErrorHandler : BreakHandler);
}

void DosExit(unsigned char code) {
  asm volatile("movw %w0, %%ax\n\tint $0x21" : : WORD_IN(0x4C00 | code) : "ax");
  __builtin_unreachable();
}

char* CommandTail() {
  char* tail;
  asm("mov $0x80, %0" : "=r"(tail));  // a constant address the compiler cannot second-guess
  return tail;
}

Segment EnvironmentSegment() {
  Segment segment;
  asm volatile("mov 0x2C, %0" : "=r"(segment));
  return segment;
}

unsigned char FarByte(Segment segment, unsigned short offset) {
  return Far<unsigned char>(segment, offset);
}

unsigned short FarWord(Segment segment, unsigned short offset) {
  return Far<unsigned short>(segment, offset);
}

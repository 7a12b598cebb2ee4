// The MS-DOS services the helper calls: INT 21h and reads of other segments.
// Real mode: DosCalls.cpp and Start.S; on the host: sim/dos.
#pragma once

using Segment = unsigned short;
// A handler's address as the interrupt table holds it.
struct FarPointer {
  unsigned short offset;
  Segment segment;
};

unsigned char DosMajorVersion();                                        // 30h
unsigned char DosCurrentDrive();                                        // 19h, 0 is A:
bool DosCurrentFolder(unsigned char drive, char* folder);               // 47h, 1 is A:; 64 bytes
void DosDeleteFile(const char* path);                                   // 41h
void DosRemoveFolder(const char* path);                                 // 3Ah
void DosGetVector(unsigned char interrupt, FarPointer& handler);        // 35h
void DosSetVector(unsigned char interrupt, const FarPointer& handler);  // 25h
// 25h with the helper's own handler: for 24h it fails the call that met a
// critical error, for 23h (Ctrl-Break) it ends the program with exit code 255.
void DosTakeOver(unsigned char interrupt);
[[noreturn]] void DosExit(unsigned char code);  // 4Ch

// The program segment prefix: the command tail at 80h (a length byte, then
// the text) and the segment of the environment at 2Ch.
char* CommandTail();
Segment EnvironmentSegment();

unsigned char FarByte(Segment segment, unsigned short offset);
unsigned short FarWord(Segment segment, unsigned short offset);

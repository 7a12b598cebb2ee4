// The MS-DOS services the helper calls: INT 21h and reads of other segments.
// Real mode: DosCalls.cpp and Start.S; on the host: sim/dos.
#pragma once

using Segment = unsigned short;
using FarAddress = unsigned int;  // segment in the high word, offset in the low

unsigned char DosMajorVersion();                              // 30h
unsigned char DosCurrentDrive();                              // 19h, 0 is A:
bool DosCurrentFolder(unsigned char drive, char* folder);     // 47h, 1 is A:; 64 bytes
void DosDeleteFile(const char* path);                         // 41h
void DosRemoveFolder(const char* path);                       // 3Ah
FarAddress DosGetVector(unsigned char interrupt);             // 35h
void DosSetVector(unsigned char interrupt, FarAddress handler);  // 25h
[[noreturn]] void DosExit(unsigned char code);                // 4Ch

// The helper's own handlers: 24h fails the call that met a critical error,
// 23h (Ctrl-Break) ends the program with exit code 255.
FarAddress OwnHandler(unsigned char interrupt);

unsigned char FarByte(Segment segment, unsigned short offset);

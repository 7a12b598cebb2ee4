// wine_cdrom LETTER UNIX_FOLDER: makes LETTER: a CD-ROM drive showing a host
// folder, live, through Wine's mount manager. Wine reads a drive's volume
// label and serial number (the folder's .windows-label and .windows-serial)
// only when the drive is defined, so this is how a test swaps the disc in a
// drive while programs watch it. Runs under Wine only.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// Wine's own request (Wine 6 to 8 and later): a header, then the strings.
struct UnixDrive {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};
static_assert(sizeof(UnixDrive) == 32, "Wine's struct mountmgr_unix_drive");

const DWORD DefineUnixDrive =
    CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

}  // namespace

int main(int argc, char** argv) {
  char letter = argc == 3 ? argv[1][0] | 0x20 : 0;
  size_t pathSize = argc == 3 ? std::strlen(argv[2]) + 1 : 0;
  union {
    UnixDrive drive;
    char bytes[sizeof(UnixDrive) + 4096];
  } request = {};
  if (letter < 'd' || letter > 'z' || pathSize > sizeof request - sizeof(UnixDrive)) {
    std::fprintf(stderr, "usage: wine_cdrom LETTER UNIX_FOLDER\n");
    return 2;
  }
  DWORD size = sizeof(UnixDrive) + pathSize;
  request.drive.size = size;
  request.drive.type = DRIVE_CDROM;
  request.drive.letter = letter;
  request.drive.mountPointOffset = sizeof(UnixDrive);
  std::memcpy(request.bytes + sizeof(UnixDrive), argv[2], pathSize);

  HANDLE manager =
      CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) {
    std::printf("no mount manager (error %lu)\n", GetLastError());
    return 1;
  }
  DWORD returned;
  BOOL done =
      DeviceIoControl(manager, DefineUnixDrive, &request, size, nullptr, 0, &returned, nullptr);
  DWORD error = GetLastError();
  CloseHandle(manager);
  if (!done) {
    std::printf("the mount manager refused (error %lu)\n", error);
    return 1;
  }
  return 0;
}

// The stand-in's own behaviour where the programs rely on it matching Windows.
#include "TestMachine.h"

namespace {

class StandInTest : public MachineTest {};

std::vector<std::string> Search(const char* pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

TEST_F(StandInTest, SearchesMatchAsWindowsDoes) {
  sim::AddFile("C:\\Zel\\A_data", "");
  sim::AddFile("C:\\Zel\\a_list.txt", "");
  sim::AddFile("C:\\Zel\\Sub\\A_deep", "");
  sim::AddFile("C:\\Zel\\BA_x", "");
  EXPECT_EQ((std::vector<std::string>{"A_data", "a_list.txt"}), Search("C:\\Zel\\A_*.*"));
  EXPECT_EQ((std::vector<std::string>{"a_list.txt"}), Search("c:\\zel\\?_LIST.TXT"));
  EXPECT_EQ((std::vector<std::string>{".", "..", "A_data", "a_list.txt", "BA_x", "Sub"}),
            Search("C:\\Zel\\*.*"));
  EXPECT_EQ(1u, Search("C:\\*.*").size()) << "a drive's root lists no dots";
  EXPECT_EQ((std::vector<std::string>{"a_list.txt"}), Search("C:\\Zel\\Sub\\..\\.\\a_l*"));
  EXPECT_EQ((std::vector<std::string>{"Zel"}), Search("C:\\..\\..\\Z*"));
  EXPECT_TRUE(Search("C:\\Zel\\").empty()) << "a trailing backslash finds nothing";
  EXPECT_TRUE(Search("C:\\").empty());
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, static_cast<long>(GetLastError()));
}

TEST_F(StandInTest, EjectedMediaHideTheirFiles) {
  sim::AddDrive('E', DRIVE_CDROM);
  sim::AddFile("E:\\zel.cfg", "x");
  DWORD serial = 0;
  EXPECT_FALSE(GetVolumeInformationA("E:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(ERROR_NOT_READY, static_cast<long>(GetLastError()));
  EXPECT_TRUE(Search("E:\\zel.cfg").empty());
  sim::InsertMedia('E', "LABEL", 0xCAFE);
  char label[6];
  EXPECT_TRUE(
      GetVolumeInformationA("E:\\", label, sizeof label, &serial, nullptr, nullptr, nullptr, 0));
  EXPECT_STREQ("LABEL", label);
  EXPECT_EQ(0xCAFEu, serial);
  EXPECT_FALSE(GetVolumeInformationA("E:\\", label, 5, nullptr, nullptr, nullptr, nullptr, 0))
      << "a label buffer without room for the zero";
  EXPECT_FALSE(GetVolumeInformationA("E:", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(1u, Search("E:\\zel.cfg").size());
  EXPECT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("e:\\"));
  EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("Q:\\"));
}

TEST_F(StandInTest, RegistryKeepsAccessRightsAndSizes) {
  sim::SetRegText(HKEY_LOCAL_MACHINE, "Software\\Maker", "Path", "C:\\x");
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\MAKER", 0, KEY_READ, &key));
  char small[2];
  DWORD size = sizeof small;
  EXPECT_EQ(ERROR_MORE_DATA,
            RegQueryValueExA(key, "path", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size));
  EXPECT_EQ(5u, size);
  BYTE one = 1;
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(key, "New", 0, REG_BINARY, &one, 1))
      << "a key opened for reading";
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(key, "Path"));
  EXPECT_EQ(1, sim::OpenHandles());
  RegCloseKey(key);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Other", 0, KEY_READ, &key));

  // As on Windows, a text counted without its zero keeps the zero that follows.
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Maker", 0, KEY_SET_VALUE, &key));
  RegSetValueExA(key, "Counted", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
  RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcd"), 3);
  RegCloseKey(key);
  std::string counted, bare;
  sim::GetRegValue(HKEY_LOCAL_MACHINE, "Software\\Maker", "Counted", nullptr, &counted);
  sim::GetRegValue(HKEY_LOCAL_MACHINE, "Software\\Maker", "Bare", nullptr, &bare);
  EXPECT_EQ(std::string("abc", 4), counted);
  EXPECT_EQ("abc", bare);
}

TEST_F(StandInTest, FileHandlesReadAndWriteWithAPosition) {
  HANDLE file = CreateFileA("C:\\new.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD done = 0;
  EXPECT_TRUE(WriteFile(file, "abc", 3, &done, nullptr));
  EXPECT_FALSE(ReadFile(file, &done, 1, &done, nullptr)) << "opened for writing only";
  CloseHandle(file);
  EXPECT_EQ("abc", sim::FileContent("C:\\NEW.BIN"));
  EXPECT_EQ(INVALID_HANDLE_VALUE,
            CreateFileA("C:\\none\\x", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, static_cast<long>(GetLastError()));
  EXPECT_EQ(INVALID_HANDLE_VALUE,
            CreateFileA("C:\\", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

}  // namespace

#include "InstallRecord.h"
#include "Settings.h"
#include "TestMachine.h"

namespace {

class SettingsTest : public MachineTest {
 protected:
  static std::string Stored(const char* name, DWORD* type = nullptr) {
    std::string data;
    if (!sim::GetRegValue(HKEY_LOCAL_MACHINE, AgentKey, name, type, &data)) return "missing";
    return data;
  }
  static void Put(const char* name, DWORD type, const std::string& data) {
    sim::SetRegValue(HKEY_LOCAL_MACHINE, AgentKey, name, type, data);
  }
};

TEST_F(SettingsTest, MissingKeyMeansBothOnAndTheFirstSaveCreatesIt) {
  Enabled = Autorun = false;
  LoadSettings();
  EXPECT_TRUE(Enabled);
  EXPECT_TRUE(Autorun);
  EXPECT_FALSE(sim::RegKeyExists(HKEY_LOCAL_MACHINE, AgentKey)) << "loading never writes";

  Autorun = false;
  SaveSettings();
  DWORD type = 0;
  EXPECT_EQ(std::string("\x01", 1), Stored(EnabledValue, &type));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  EXPECT_EQ(std::string("\x00", 1), Stored(AutorunValue, &type));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);

  Enabled = Autorun = true;
  LoadSettings();
  EXPECT_TRUE(Enabled);
  EXPECT_FALSE(Autorun) << "round trip";
}

TEST_F(SettingsTest, OnlyASingleByteOtherThanOneSwitchesASettingOff) {
  struct Case {
    const char* why;
    DWORD type;
    std::string data;
    bool on;
  } cases[] = {
      {"byte 1", REG_BINARY, std::string("\x01", 1), true},
      {"byte 0", REG_BINARY, std::string("\x00", 1), false},
      {"byte 2", REG_BINARY, "\x02", false},
      {"byte 0xFF", REG_BINARY, "\xFF", false},
      {"REG_DWORD 0 does not fit one byte", REG_DWORD, std::string(4, '\0'), true},
      {"REG_DWORD 1", REG_DWORD, std::string("\x01\0\0\0", 4), true},
      {"type is not looked at", REG_SZ, "\x01", true},
      {"two bytes", REG_BINARY, std::string("\x00\x00", 2), true},
      {"zero length holds no setting", REG_BINARY, "", true},
  };
  for (const Case& c : cases) {
    sim::Reset();
    Put(EnabledValue, c.type, c.data);
    Put(AutorunValue, REG_BINARY, std::string("\x00", 1));
    LoadSettings();
    EXPECT_EQ(c.on, Enabled) << c.why;
    EXPECT_FALSE(Autorun) << c.why;
  }
  sim::Reset();
  Put(AutorunValue, REG_BINARY, std::string("\x00", 1));
  LoadSettings();
  EXPECT_TRUE(Enabled) << "missing value";
  EXPECT_FALSE(Autorun);
}

TEST_F(SettingsTest, SaveWritesBothValuesAndFailsQuietly) {
  Put("RootDir", REG_SZ, std::string("C:\\Agent.exe\0", 13));
  Enabled = false;
  Autorun = true;
  SaveSettings();
  EXPECT_EQ(std::string("\x00", 1), Stored(EnabledValue));
  EXPECT_EQ(std::string("\x01", 1), Stored(AutorunValue));
  EXPECT_EQ(std::string("C:\\Agent.exe\0", 13), Stored("RootDir")) << "other values stay";

  sim::Reset();
  sim::DenyRegWrite(HKEY_LOCAL_MACHINE, AgentKey);
  Enabled = false;
  SaveSettings();
  EXPECT_FALSE(Enabled) << "the flag in memory stays as the user set it";
  EXPECT_EQ("missing", Stored(EnabledValue));
}

TEST_F(SettingsTest, RemoveAutostartDeletesOnlyTheAgentsValue) {
  sim::SetRegText(HKEY_CURRENT_USER, RunKey, AutostartValue, "C:\\Agent.exe");
  sim::SetRegText(HKEY_CURRENT_USER, RunKey, "Other Tool", "C:\\tool.exe");
  RemoveAutostart();
  EXPECT_FALSE(sim::GetRegValue(HKEY_CURRENT_USER, RunKey, AutostartValue, nullptr, nullptr));
  EXPECT_TRUE(sim::GetRegValue(HKEY_CURRENT_USER, RunKey, "Other Tool", nullptr, nullptr));
  RemoveAutostart();  // the value is gone already
  EXPECT_TRUE(sim::GetRegValue(HKEY_CURRENT_USER, RunKey, "Other Tool", nullptr, nullptr));

  sim::Reset();
  RemoveAutostart();  // no Run key at all
  EXPECT_FALSE(sim::RegKeyExists(HKEY_CURRENT_USER, RunKey));
}

}  // namespace

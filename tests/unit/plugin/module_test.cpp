#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_registry.h"

#include "farapi/far_api.h"
#include "platform/abi.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "plugin/exports.h"

// The built module (Zantel.dll, or zantel.so on Linux) loaded the way the host loads it: by
// path, its functions found by their plain names.
namespace {

constexpr int kModuleNumber = 17;

// Texts that name their number, so a menu item shows which message it is.
const char* ZANTEL_STDCALL NumberedGetMsg(int, int number) {
  static std::string texts[200];
  if (number < 0 || number >= 200) return "";
  texts[number] = "message " + std::to_string(number);
  return texts[number].c_str();
}

class Module : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_module.IsLoaded()) << m_module.LoadError(); }
  Platform::CModule m_module{ZANTEL_MODULE_PATH};
};

// The settings are read when the host hands over its record: a stored choice of menus shows
// in the very next GetPluginInfo.
TEST_F(Module, SetStartupInfoLoadsTheSettings) {
  const auto setStartupInfo =
      reinterpret_cast<decltype(&SetStartupInfo)>(m_module.Find("SetStartupInfo"));
  const auto getPluginInfo =
      reinterpret_cast<decltype(&GetPluginInfo)>(m_module.Find("GetPluginInfo"));
  ASSERT_NE(setStartupInfo, nullptr);
  ASSERT_NE(getPluginInfo, nullptr);
  CTempRegistry registry;
  const std::string root = registry.Root() + "\\Far\\Plugins";
  Platform::CRegKey key = Platform::CRegKey::Create(root + "\\Zantel");
  const uint32_t off = 0;
  const uint32_t on = 1;
  key.SetValue("PhoneShowInDisksMenu", Platform::kRegDword,
               {reinterpret_cast<const uint8_t*>(&off), sizeof off});
  key.SetValue("SMSShowInDisksMenu", Platform::kRegDword,
               {reinterpret_cast<const uint8_t*>(&on), sizeof on});
  key.Close();

  PluginStartupInfo info{};
  info.StructSize = sizeof info;
  info.ModuleNumber = kModuleNumber;
  info.RootKey = root.c_str();
  info.GetMsg = &NumberedGetMsg;
  setStartupInfo(&info);
  PluginInfo menus{};
  getPluginInfo(&menus);
  ASSERT_EQ(menus.DiskMenuStringsNumber, 1);
  EXPECT_STREQ(menus.DiskMenuStrings[0], "message 7");
  EXPECT_EQ(menus.PluginMenuStringsNumber, 1);
}

TEST_F(Module, ExportsPlainNamesOnly) {
  const char* decorated[] = {"SetStartupInfo@4", "_SetStartupInfo@4", "_SetStartupInfo"};
  for (const char* name : decorated) EXPECT_EQ(m_module.Find(name), nullptr) << name;
}

}  // namespace

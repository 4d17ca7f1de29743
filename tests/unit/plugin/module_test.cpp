#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "farapi/far_api.h"
#include "platform/abi.h"
#include "platform/module.h"
#include "plugin/exports.h"

// The built module (Zantel.dll, or zantel.so on Linux) loaded the way the host loads it: by
// path, its functions found by their plain names.
namespace {

constexpr int kModuleNumber = 17;

struct MessageRequest {
  int module;
  int number;
  bool operator==(const MessageRequest&) const = default;
};

std::vector<MessageRequest> g_requests;

const char* ZANTEL_STDCALL RecordingGetMsg(int module, int number) {
  g_requests.push_back({module, number});
  return "text";
}

class Module : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_module.IsLoaded()) << m_module.LoadError(); }
  Platform::CModule m_module{ZANTEL_MODULE_PATH};
};

TEST_F(Module, SetStartupInfoFetchesTheMessagesItKeeps) {
  const auto setStartupInfo =
      reinterpret_cast<decltype(&SetStartupInfo)>(m_module.Find("SetStartupInfo"));
  ASSERT_NE(setStartupInfo, nullptr);
  PluginStartupInfo info{};
  info.StructSize = sizeof info;
  info.ModuleNumber = kModuleNumber;
  info.GetMsg = &RecordingGetMsg;
  g_requests.clear();
  setStartupInfo(&info);
  EXPECT_EQ(g_requests, (std::vector<MessageRequest>{
                            {kModuleNumber, 0}, {kModuleNumber, 4}, {kModuleNumber, 178}}));
}

TEST_F(Module, ExportsPlainNamesOnly) {
  const char* decorated[] = {"SetStartupInfo@4", "_SetStartupInfo@4", "_SetStartupInfo"};
  for (const char* name : decorated) EXPECT_EQ(m_module.Find(name), nullptr) << name;
}

}  // namespace

#include "test_texts.h"

#include <gtest/gtest.h>

#include "farlib/host.h"

namespace {

CTestTexts* g_current = nullptr;

}  // namespace

CTestTexts::CTestTexts(std::string rootKey) : m_rootKey(std::move(rootKey)) {
  EXPECT_EQ(g_current, nullptr) << "two sets of test texts at once";
  g_current = this;
  Install();
}

CTestTexts::~CTestTexts() {
  g_current = nullptr;
  FarLib::SetStartupInfo(PluginStartupInfo{});
}

void CTestTexts::SetRootKey(std::string rootKey) {
  m_rootKey = std::move(rootKey);
  Install();
}

void CTestTexts::Install() {
  m_info = PluginStartupInfo{};
  m_info.StructSize = sizeof m_info;
  m_info.RootKey = m_rootKey.c_str();
  m_info.GetMsg = &CTestTexts::GetMsg;
  FarLib::SetStartupInfo(m_info);
}

const char* ZANTEL_STDCALL CTestTexts::GetMsg(int, int number) {
  if (!g_current) return "";
  auto [text, added] = g_current->m_texts.try_emplace(number);
  if (added) text->second = "message " + std::to_string(number);
  return text->second.c_str();
}

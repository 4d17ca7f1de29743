#pragma once
#include <map>
#include <string>

#include "farapi/far_api.h"

// The host's start-up record for tests of operations that show nothing themselves: the language
// file's texts (each number reads "message N" unless the test sets it) and the plug-in's
// registry root, without any UI. Installed for the object's lifetime; one at a time.
class CTestTexts {
 public:
  explicit CTestTexts(std::string rootKey = {});
  ~CTestTexts();
  CTestTexts(const CTestTexts&) = delete;
  CTestTexts& operator=(const CTestTexts&) = delete;

  void SetMessageText(int number, std::string text) { m_texts[number] = std::move(text); }
  void SetRootKey(std::string rootKey);

 private:
  static const char* ZANTEL_STDCALL GetMsg(int module, int number);
  void Install();

  std::map<int, std::string> m_texts;
  std::string m_rootKey;
  PluginStartupInfo m_info{};
};

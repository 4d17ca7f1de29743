#include "fake_host.h"

#include <gtest/gtest.h>

#include "farapi/far_api.h"
#include "farlib/host.h"
#include "farlib/message_ids.h"

namespace {

CFakeHost* g_current = nullptr;
constexpr int kModuleNumber = 42;

// Texts with the same placeholders as the language files, so formatting is exercised.
const std::map<int, std::string> kDefaultTexts = {
    {Msg::kOk, "OK"},
    {Msg::kCancel, "Cancel"},
    {Msg::kTitle, "Zantel"},
    {Msg::kCannotOpenDevice, "Cannot open the port"},
    {Msg::kReadFailed, "Cannot read from the phone"},
    {Msg::kWriteFailed, "Cannot write to the phone"},
    {Msg::kPhoneSilent, "The phone has not answered for %d seconds"},
    {Msg::kKeepWaiting, "Wait"},
    {Msg::kGiveUp, "Give up"},
    {Msg::kCommandTooLong, "The command is longer than %d characters"},
};

std::string Describe(const CFakeHost::ShownMessage& message) {
  std::string text = "message box, help topic \"" + message.helpTopic + "\", " +
                     std::to_string(message.buttons) + " button(s):";
  for (const std::string& item : message.items) text += "\n  | " + item;
  return text;
}

}  // namespace

CFakeHost::CFakeHost() : m_texts(kDefaultTexts) {
  g_current = this;
  PluginStartupInfo info{};
  info.StructSize = sizeof(info);
  info.ModuleNumber = kModuleNumber;
  info.Message = &CFakeHost::MessageService;
  info.GetMsg = &CFakeHost::GetMsgService;
  FarLib::SetStartupInfo(info);
}

CFakeHost::~CFakeHost() {
  EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted answer(s) were never asked for";
  FarLib::SetStartupInfo(PluginStartupInfo{});
  g_current = nullptr;
}

void CFakeHost::AnswerMessage(int button, std::function<void()> whileShown) {
  m_answers.push_back({button, std::move(whileShown)});
}

void CFakeHost::AnswerEveryMessage(int button, std::function<void()> whileShown) {
  m_standingAnswer = Answer{button, std::move(whileShown)};
}

void CFakeHost::SetMessageText(int number, const std::string& text) { m_texts[number] = text; }

int ZANTEL_STDCALL CFakeHost::MessageService(int module, uint32_t flags, const char* helpTopic,
                                             const char* const* items, int itemCount,
                                             int buttons) {
  CFakeHost& host = *g_current;
  EXPECT_EQ(module, kModuleNumber);
  ShownMessage shown{flags, helpTopic ? helpTopic : "(none)", {}, buttons};
  for (int i = 0; i < itemCount; ++i) shown.items.emplace_back(items[i] ? items[i] : "(null)");
  host.m_messages.push_back(shown);
  if (buttons == 0) return -1;
  Answer answer;
  if (!host.m_answers.empty()) {
    answer = std::move(host.m_answers.front());
    host.m_answers.pop_front();
  } else if (host.m_standingAnswer) {
    answer = *host.m_standingAnswer;
  } else {
    ADD_FAILURE() << "unscripted " << Describe(shown);
    return -1;
  }
  if (answer.whileShown) answer.whileShown();
  return answer.button;
}

const char* ZANTEL_STDCALL CFakeHost::GetMsgService(int module, int number) {
  EXPECT_EQ(module, kModuleNumber);
  // The host keeps its texts for the plug-in's lifetime, and so must we.
  auto [text, added] = g_current->m_texts.try_emplace(number, "message " + std::to_string(number));
  return text->second.c_str();
}

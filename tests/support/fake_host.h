#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/abi.h"

// Stands in for the host during unit tests: installs a start-up record whose services answer
// from a script and record everything shown. One instance at a time.
class CFakeHost {
 public:
  struct ShownMessage {
    uint32_t flags = 0;
    std::string helpTopic;  // "(none)" when the caller passed no topic
    std::vector<std::string> items;
    int buttons = 0;
  };

  CFakeHost();
  ~CFakeHost();
  CFakeHost(const CFakeHost&) = delete;
  CFakeHost& operator=(const CFakeHost&) = delete;

  // The button the next message box with buttons is answered with; boxes beyond the script
  // fail the test. The hook, when set, runs while the box is shown (the phone may answer then).
  void AnswerMessage(int button, std::function<void()> whileShown = {});
  // From now on every box beyond the script gets this answer.
  void AnswerEveryMessage(int button, std::function<void()> whileShown = {});
  void SetMessageText(int number, const std::string& text);

  const std::vector<ShownMessage>& Messages() const { return m_messages; }

 private:
  struct Answer {
    int button = -1;
    std::function<void()> whileShown;
  };
  static int ZANTEL_STDCALL MessageService(int module, uint32_t flags, const char* helpTopic,
                            const char* const* items, int itemCount, int buttons);
  static const char* ZANTEL_STDCALL GetMsgService(int module, int number);

  std::deque<Answer> m_answers;
  std::optional<Answer> m_standingAnswer;
  std::vector<ShownMessage> m_messages;
  std::map<int, std::string> m_texts;
};

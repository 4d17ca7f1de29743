#pragma once
#include <cstddef>
#include <optional>
#include <string>

// The failures the link has words for; their texts come from the program around it.
enum class LinkText { CannotOpenDevice, ReadFailed, WriteFailed, CommandTooLong };

// What the link needs from the program around it. The link itself shows nothing and reads no
// settings: whatever must reach the user or the traffic transcript goes through here, so the
// link can be driven by a test as well as by the plug-in.
class CLinkUser {
 public:
  virtual ~CLinkUser() = default;
  // The phone has said nothing for `timeoutSeconds`: true waits once more, false gives up.
  virtual bool KeepWaiting(int timeoutSeconds) = 0;
  // A command the phone refused, or one that could not be sent, and the line that says why.
  virtual void ShowCommandError(const std::string& command, const std::string& reason) = 0;
  // The user's words for a failure; CommandTooLong names the longest command that can be sent.
  virtual std::string Text(LinkText text) = 0;
  // Raw bytes that went to or came from the phone.
  virtual void LogTraffic(const void* bytes, size_t count) = 0;
  // The phone wants the SIM card's PIN first. `refusal` is the phone's answer to the PIN given
  // before, empty the first time. Nothing means the user gives up. The PIN is not to be kept.
  virtual std::optional<std::string> AskSimPin(const std::string& refusal) = 0;
  // The SIM card takes nothing but its PUK now, which the link never sends: `command` failed
  // with `reason`, and the user must unlock the card in the phone.
  virtual void ShowSimBlocked(const std::string& command, const std::string& reason) = 0;
};

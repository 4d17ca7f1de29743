#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/link_user.h"
#include "phone/handshake.h"
#include "sms/message_stores.h"

// The partners of the operations played by a test: they answer nothing, keep what they were
// shown, and the link's partner gives up at the first time-out.

class CRecordingLinkUser : public CLinkUser {
 public:
  bool KeepWaiting(int) override { return false; }
  void ShowCommandError(const std::string& command, const std::string&) override {
    refused.push_back(command);
  }
  std::string Text(LinkText) override { return "link failure"; }
  void LogTraffic(const void*, size_t) override {}
  std::optional<std::string> AskSimPin(const std::string&) override { return std::nullopt; }
  void ShowSimBlocked(const std::string& command, const std::string&) override {
    refused.push_back(command);
  }

  std::vector<std::string> refused;  // the commands the phone refused, in order
};

template <class Progress>
class CRecordingProgress : public Progress {
 public:
  void Show(const std::string& text) override {
    shown.push_back(text);
    showing = true;
  }
  void Hide() override { showing = false; }

  std::vector<std::string> shown;
  bool showing = false;  // a box is up that was not taken down
};

class CRecordingHandshakeUser : public CRecordingProgress<CHandshakeUser> {
 public:
  void SettingsNotSaved(const std::string& reason) override { notSaved.push_back(reason); }

  std::vector<std::string> notSaved;
};

class CRecordingListUser : public CRecordingProgress<CMessageListUser> {
 public:
  void ShowUndecodable(const std::string& header, const std::string& pdu) override {
    undecodable.emplace_back(header, pdu);
  }

  std::vector<std::pair<std::string, std::string>> undecodable;
};

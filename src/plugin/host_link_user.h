#pragma once
#include "link/link_user.h"

// The link's partner inside the plug-in: it asks the user through the host's boxes, takes
// its texts from the language file, and appends the traffic to the transcript file while the
// WriteLogFile setting is on.
class CHostLinkUser : public CLinkUser {
 public:
  // Only the second button gives up; the first and Escape both mean keep waiting.
  bool KeepWaiting(int timeoutSeconds) override;
  void ShowCommandError(const std::string& command, const std::string& reason) override;
  std::string Text(LinkText text) override;
  // The file is opened and closed on every call, so that it can be read while a session runs;
  // failures to write it are ignored.
  void LogTraffic(const void* bytes, size_t count) override;
  // A dialog with a masked field and no history, so the PIN stays nowhere.
  std::optional<std::string> AskSimPin(const std::string& refusal) override;
  void ShowSimBlocked(const std::string& command, const std::string& reason) override;
};

// The one the plug-in's links share: it keeps no state of its own.
CLinkUser& HostLinkUser();

#include "fake_host.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "host_root_key.h"

namespace {

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
    {Msg::kOutOfRange, "Enter a number from %d to %d"},
    {Msg::kCommandTooLong, "The command is longer than %d characters"},
};

// Fake hosts alive in this program: the settings they caused go with the last one.
int g_liveHosts = 0;

}  // namespace

CFakeHost::CFakeHost() {
  ++g_liveHosts;
  SetRootKey(TestHostRootKey());
  OnFailure([](const std::string& failure) { ADD_FAILURE() << failure; });
  NameMissingMessages();
  for (const auto& [number, text] : kDefaultTexts) SetMessageText(number, text);
  FarLib::SetStartupInfo(StartupInfo());
}

CFakeHost::~CFakeHost() {
  Verify();
  FarLib::SetStartupInfo(PluginStartupInfo{});
  if (--g_liveHosts == 0) ForgetTestHostRootKey();
}

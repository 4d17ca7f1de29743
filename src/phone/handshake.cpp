#include "phone/handshake.h"

#include <algorithm>
#include <array>

#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "link/at_engine.h"
#include "phone/model_profiles.h"
#include "regex/regex.h"
#include "settings/settings.h"

namespace {

std::string ReplaceWithFirstGroup(const std::string& line, const char* pattern) {
  std::string value = line;
  RegexReplace(value, pattern, "$1", false, 0, 0);
  return value;
}

std::vector<std::string> AllFirstGroups(const std::string& line, const char* pattern) {
  std::vector<std::string> values;
  RegexFormatAll(line, pattern, "$1", &values, 0, 0);
  return values;
}

void SaveSettingsOrTell(CHandshakeUser& user) {
  const SettingsSave save = SaveSettings();
  if (!save) user.SettingsNotSaved(save.Reason);
}

// The first line of a successful answer; empty when refused or empty. The first command is
// expected to be refused by some phones and is asked quietly; the fallback's refusal is shown.
std::string AskFirstLine(CConnection& connection, const char* command, const char* fallback) {
  ResponseList responses;
  if (ExecuteQuiet(connection, "%s", &responses, command) ||
      Execute(connection, "%s", &responses, fallback)) {
    return responses.empty() ? std::string() : responses.front();
  }
  return {};
}

void SetModes(CConnection& connection) {
  Execute(connection, "ATE0", nullptr);
  ExecuteQuiet(connection, "AT+CNMI=2,1,1,2,0", nullptr);
  if (!ExecuteQuiet(connection, "AT+CMEE=2", nullptr))
    ExecuteQuiet(connection, "AT+CMEE=1", nullptr);
}

ModelProfile& ProfileFor(ModelProfileList& profiles, const std::string& manufacturer,
                         const std::string& model, CHandshakeUser& user) {
  if (ModelProfile* known = FindProfile(profiles, manufacturer, model)) return *known;
  ModelProfile& added = AddProfile(profiles, manufacturer, model);
  SaveSettingsOrTell(user);
  return added;
}

// The names of the first line of a successful answer, or none.
std::vector<std::string> AskNames(CConnection& connection, const char* command,
                                  std::vector<std::string> (*parse)(const std::string&)) {
  ResponseList responses;
  if (!Execute(connection, "%s", &responses, command) || responses.empty()) return {};
  return parse(responses.front());
}

// A set name stored in the registry or reported by a phone goes into a quoted argument: a quote
// or a control character (a carriage return would start another command) would break out of it.
bool CanBeQuoted(const std::string& name) {
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  });
}

}  // namespace

std::string ParseManufacturer(const std::string& line) {
  return ReplaceWithFirstGroup(line, R"re(\+C?GMI:\s*"?(.*?)"?\s*$)re");
}

std::string ParseModel(const std::string& line) {
  return ReplaceWithFirstGroup(line, R"re(\+C?GMM:\s*"?(.*?)"?\s*$)re");
}

std::string ParseSerialNumber(const std::string& line) {
  return ReplaceWithFirstGroup(line, R"re(\+C?GSN:\s*"?(.*?)"?\s*$)re");
}

std::string ParseSubscriber(const std::string& line) {
  static CRegex imsi(R"re(^\s*(?:\+CIMI:\s*)?"?(\d{5,15})"?\s*$)re", kRegexCaseless);
  GroupList groups;
  if (!imsi.Match(line, 0, &groups)) return {};
  return groups[1];
}

std::string CacheIdentity(const PhoneIdentity& phone) {
  return phone.Subscriber.empty() ? phone.Identity : phone.Identity + " SIM " + phone.Subscriber;
}

std::vector<std::string> ParseStorageNames(const std::string& line) {
  return AllFirstGroups(line, R"re("(\w\w)")re");
}

std::vector<std::string> ParseCharsetNames(const std::string& line) {
  return AllFirstGroups(line, R"re("(.*?)")re");
}

std::string ParseCurrentCharset(const std::string& line) {
  return ReplaceWithFirstGroup(line, R"re(\+CSCS:\s*"?(.*?)"?\s*$)re");
}

PhoneIdentity RunHandshake(CConnection& connection, ModelProfileList& profiles,
                           CHandshakeUser& user) {
  CProgressScope progress(user);
  progress.Show(FarLib::GetMsg(Msg::kConnecting));
  SetModes(connection);

  const std::string manufacturer = ParseManufacturer(AskFirstLine(connection, "AT+CGMI", "AT+GMI"));
  const std::string model = ParseModel(AskFirstLine(connection, "AT+CGMM", "AT+GMM"));
  PhoneIdentity phone;
  phone.Profile = &ProfileFor(profiles, manufacturer, model, user);

  // An empty serial number would make every such phone share one cache, as the model does.
  const std::string serial = ParseSerialNumber(AskFirstLine(connection, "AT+CGSN", "AT+GSN"));
  phone.Identity = serial.empty() ? manufacturer + " " + model : serial;
  // A phone without a SIM, or one waiting for its PIN, refuses: no SIM is then known.
  ResponseList subscriber;
  if (ExecuteQuiet(connection, "AT+CIMI", &subscriber) && !subscriber.empty())
    phone.Subscriber = ParseSubscriber(subscriber.front());
  phone.StorageNames = AskNames(connection, "AT+CPBS=?", ParseStorageNames);
  phone.Charsets = AskNames(connection, "AT+CSCS=?", ParseCharsetNames);
  SelectCharset(connection, *phone.Profile, phone.Charsets, phone.Profile->Charset, user);
  return phone;
}

void SelectCharset(CConnection& connection, ModelProfile& profile,
                   const std::vector<std::string>& charsets, std::string& request,
                   CHandshakeUser& user) {
  if (request.empty()) {
    for (const char* preferred : {"UTF8", "UTF-8", "UCS2", "UCS-2"}) {
      if (std::find(charsets.begin(), charsets.end(), preferred) != charsets.end()) {
        request = preferred;
        break;
      }
    }
  }
  if (!request.empty() && CanBeQuoted(request))
    Execute(connection, "AT+CSCS=\"%s\"", nullptr, request.c_str());
  ResponseList responses;
  if (Execute(connection, "AT+CSCS?", &responses) && !responses.empty())
    profile.Charset = ParseCurrentCharset(responses.front());
  SaveSettingsOrTell(user);
}

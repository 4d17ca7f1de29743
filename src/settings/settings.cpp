#include "settings/settings.h"

#include <cstdio>
#include <functional>
#include <vector>

#include "farlib/host.h"
#include "farlib/registry.h"
#include "platform/error.h"

namespace {

using Platform::CRegKey;

// One stored value of a settings record: how it is read (with the record's default) and
// written. The tables below list them in the order they are stored.
template <class Record>
struct Field {
  std::function<void(const CRegKey&, Record&)> Read;
  std::function<uint32_t(CRegKey&, const Record&)> Write;  // the registry's status
};

template <class Record>
Field<Record> Flag(const char* name, bool Record::*member) {
  return {[=](const CRegKey& key, Record& record) {
            FarLib::ReadRegBool(key, name, record.*member, Record{}.*member);
          },
          [=](CRegKey& key, const Record& record) {
            return FarLib::WriteRegDword(key, name, record.*member ? 1 : 0);
          }};
}

template <class Record, class Number>
Field<Record> Integer(const char* name, Number Record::*member, int32_t low, int32_t high) {
  return {[=](const CRegKey& key, Record& record) {
            const auto fallback = static_cast<int32_t>(Record{}.*member);
            record.*member =
                static_cast<Number>(FarLib::ReadRegInteger(key, name, low, high, fallback));
          },
          [=](CRegKey& key, const Record& record) {
            return FarLib::WriteRegDword(key, name, static_cast<uint32_t>(record.*member));
          }};
}

template <class Record>
Field<Record> Text(const char* name, std::string Record::*member) {
  return {[=](const CRegKey& key, Record& record) {
            FarLib::ReadRegString(key, name, record.*member, (Record{}.*member).c_str());
          },
          [=](CRegKey& key, const Record& record) {
            return FarLib::WriteRegString(key, name, record.*member);
          }};
}

using S = PluginSettings;
using P = PortSettings;

// The longest settle time the loader takes, in milliseconds; a longer one loads as the default.
constexpr int32_t kMaxSettleTime = 10000;

const std::vector<Field<S>>& MainFields() {
  static const std::vector<Field<S>> fields = {
      Flag("PhoneShowInDisksMenu", &S::PhoneShowInDisksMenu),
      Integer("PhoneDiskMenuKey", &S::PhoneDiskMenuKey, 0, 9),
      Flag("PhoneShowInPluginsMenu", &S::PhoneShowInPluginsMenu),
      Flag("SMSShowInDisksMenu", &S::SMSShowInDisksMenu),
      Integer("SMSDiskMenuKey", &S::SMSDiskMenuKey, 0, 9),
      Flag("SMSShowInPluginsMenu", &S::SMSShowInPluginsMenu),
      Flag("EnableSecondCOMPort", &S::EnableSecondCOMPort),
      Flag("AlwaysShowPhone", &S::AlwaysShowPhone),
      Text("DefaultSCA", &S::DefaultSCA),
      Flag("WriteLogFile", &S::WriteLogFile),
      Text("LogFile", &S::LogFile),
      Integer("OutFormat", &S::OutFormat, 0, kLastOutFormat),
      Text("LastNamedPipe", &S::LastNamedPipe),
      Text("LastPhoneSMSSent", &S::LastPhoneSMSSent),
      Text("LastTextSMSSent", &S::LastTextSMSSent),
      Integer("NextConcatReference", &S::NextConcatReference, 0, 255),
      Integer("SettleTime", &S::SettleTime, 0, kMaxSettleTime),
  };
  return fields;
}

const std::vector<Field<P>>& PortFields() {
  static const std::vector<Field<P>> fields = {
      Integer("Port", &P::Port, 1, 8),
      Integer("BaudRate", &P::BaudRate, 300, 8388607),
      Integer("DataBits", &P::DataBits, 4, 8),
      Integer("Parity", &P::Parity, 0, 4),
      Integer("StopBits", &P::StopBits, 0, 2),
      Flag("HwCtl", &P::HwCtl),
      Flag("SwCtl", &P::SwCtl),
      Integer("Timeout", &P::Timeout, 1, 60),
  };
  return fields;
}

template <class Record>
void ReadFields(const CRegKey& key, const std::vector<Field<Record>>& fields, Record& record) {
  for (const Field<Record>& field : fields) field.Read(key, record);
}

// Whether a save has failed and the first reason; the failures after the first one add
// nothing a user could act on.
class CSaveOutcome {
 public:
  // `status` is a registry status: 0 is success, any other value a failure with that reason.
  void Note(uint32_t status) {
    if (status != Platform::kErrorSuccess) Fail(status);
  }
  // `reason` 0: the reason is not known.
  void Fail(uint32_t reason) {
    if (m_failed) return;
    m_failed = true;
    m_reason = reason;
  }
  bool Failed() const { return m_failed; }
  uint32_t Reason() const { return m_reason; }

 private:
  bool m_failed = false;
  uint32_t m_reason = Platform::kErrorSuccess;
};

// Every value is still tried after a failure: without transactions (Windows) the ones that
// can be written then are.
template <class Record>
void WriteFields(CRegKey& key, const std::vector<Field<Record>>& fields, const Record& record,
                 CSaveOutcome& outcome) {
  for (const Field<Record>& field : fields) outcome.Note(field.Write(key, record));
}

constexpr const char* kFirstCom = "\\FirstCOM";
constexpr const char* kSecondCom = "\\SecondCOM";
constexpr const char* kModels = "\\Models";

std::string NumberedProfileKey(size_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "\\Models\\%04zX", number);
  return name;
}

ModelProfileList LoadProfiles() {
  ModelProfileList profiles;
  profiles.push_back(ReadProfile(OpenSettingsKey(kModels)));
  profiles.front().Manufacturer = kDefaultProfileName;
  for (size_t number = 0;; ++number) {
    const CRegKey key = OpenSettingsKey(NumberedProfileKey(number), true);
    if (!key.IsOpen()) break;
    profiles.push_back(ReadProfile(key));
  }
  return profiles;
}

// A key to write into, created when missing; one that cannot be had fails the save.
CRegKey KeyToWrite(const std::string& subkey, CSaveOutcome& outcome) {
  Platform::SetLastError(Platform::kErrorSuccess);
  CRegKey key = OpenSettingsKey(subkey);
  if (!key.IsOpen()) outcome.Fail(Platform::LastError());
  return key;
}

void SaveProfiles(const ModelProfileList& profiles, CSaveOutcome& outcome) {
  CRegKey defaultKey = KeyToWrite(kModels, outcome);
  if (!profiles.empty()) outcome.Note(WriteProfile(defaultKey, profiles.front()));
  for (size_t number = 1; number < profiles.size(); ++number) {
    CRegKey key = KeyToWrite(NumberedProfileKey(number - 1), outcome);
    outcome.Note(WriteProfile(key, profiles[number]));
  }
}

}  // namespace

PluginSettings& Settings() {
  static PluginSettings settings;
  return settings;
}

CRegKey OpenSettingsKey(const std::string& subkey, bool openOnly) {
  const char* root = FarLib::StartupInfo().RootKey;
  const std::string path = std::string(root ? root : "") + "\\Zantel" + subkey;
  if (path.size() > kMaxSettingsKeyPath) return CRegKey();
  return openOnly ? CRegKey::Open(path) : CRegKey::Create(path);
}

void LoadSettings() {
  const Platform::CRegTransaction atomic;
  PluginSettings& settings = Settings();
  ReadFields(OpenSettingsKey(), MainFields(), settings);
  ReadFields(OpenSettingsKey(kFirstCom), PortFields(), settings.FirstCOM);
  ReadFields(OpenSettingsKey(kSecondCom), PortFields(), settings.SecondCOM);
  settings.Profiles = LoadProfiles();
}

SettingsSave SaveSettings() {
  CSaveOutcome outcome;
  Platform::CRegTransaction atomic;
  const PluginSettings& settings = Settings();
  {
    CRegKey main = KeyToWrite({}, outcome);
    WriteFields(main, MainFields(), settings, outcome);
    // The old profiles go so that the list below is stored exactly; none there is no fault.
    const uint32_t deleted = main.DeleteSubtree("Models");
    if (deleted != Platform::kErrorFileNotFound) outcome.Note(deleted);
  }
  CRegKey firstCom = KeyToWrite(kFirstCom, outcome);
  WriteFields(firstCom, PortFields(), settings.FirstCOM, outcome);
  CRegKey secondCom = KeyToWrite(kSecondCom, outcome);
  WriteFields(secondCom, PortFields(), settings.SecondCOM, outcome);
  SaveProfiles(settings.Profiles, outcome);
  if (!atomic.Commit()) outcome.Fail(Platform::LastError());
  if (!outcome.Failed()) return {};
  return {false, outcome.Reason() != Platform::kErrorSuccess ? Platform::ErrorText(outcome.Reason())
                                                             : std::string()};
}

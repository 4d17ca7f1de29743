#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "settings/model_profile.h"

// One serial port as the user configured it. Values stay within the ranges the loader
// enforces: Port 1-8, DataBits 4-8, Parity 0-4, StopBits 0-2, Timeout 1-60 seconds.
struct PortSettings {
  int32_t Port = 1;
  uint32_t BaudRate = 115200;
  uint8_t DataBits = 8;
  uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
  bool HwCtl = true;     // CTS/RTS
  bool SwCtl = false;    // XON/XOFF
  int32_t Timeout = 10;  // seconds

  bool operator==(const PortSettings&) const = default;
};

// OutFormat names an export format, 0 to 3 (text, address book, CSV, vCard): a larger stored
// number is refused by the loader rather than reaching the copy dialog's radio buttons. The
// phone book checks that its formats end here too.
constexpr int32_t kLastOutFormat = 3;

// The process-wide settings. Every panel reads them; the configuration dialogs and the few
// operations that remember the user's last input write them.
struct PluginSettings {
  bool PhoneShowInDisksMenu = true;
  int32_t PhoneDiskMenuKey = 0;
  bool PhoneShowInPluginsMenu = false;
  bool SMSShowInDisksMenu = false;
  int32_t SMSDiskMenuKey = 0;
  bool SMSShowInPluginsMenu = true;
  bool EnableSecondCOMPort = false;
  bool AlwaysShowPhone = false;
  std::string DefaultSCA;
  bool WriteLogFile = false;
  std::string LogFile = "C:\\Zantel.log";
  uint32_t OutFormat = 0;
  std::string LastNamedPipe;
  std::string LastPhoneSMSSent;
  std::string LastTextSMSSent;
  // The concatenation reference of the next long message, 0 to 255; beyond that the count has
  // not started yet (see TakeConcatReference).
  uint32_t NextConcatReference = 256;
  // Milliseconds to wait after the link opens before the first command: phones need a moment
  // before they listen. Not in the dialogs; a test's simulator needs none.
  uint32_t SettleTime = 1000;
  PortSettings FirstCOM;
  PortSettings SecondCOM;
  ModelProfileList Profiles = {DefaultProfile()};

  bool operator==(const PluginSettings&) const = default;
};

PluginSettings& Settings();

// The longest key path the settings use: longer paths (a phone's identity can be any length)
// are refused rather than cut.
constexpr size_t kMaxSettingsKeyPath = 259;

// The settings' key: the host's RootKey, "\Zantel", then `subkey` when given (for example
// "\FirstCOM" or "\Devices\<identity>"). Created when missing unless `openOnly`. A closed
// key when it cannot be had or the path would be longer than kMaxSettingsKeyPath.
Platform::CRegKey OpenSettingsKey(const std::string& subkey = {}, bool openOnly = false);

// Reads every setting into Settings(), each missing or malformed value as its default, and
// the model profiles up to the first gap in their numbering.
void LoadSettings();

// How a save of the settings ended.
struct SettingsSave {
  bool Saved = true;
  // The system's words for the first failure; empty when it gave none.
  std::string Reason;
  explicit operator bool() const { return Saved; }
};

// Writes Settings() back as one unit; the stored profiles become exactly the list's. Not saved
// when any of it could not be stored (a key not created, a value not written, the unit not
// committed); on a store with transactions nothing of this save was kept then. The caller tells
// the user.
SettingsSave SaveSettings();

#pragma once
#include <cstdint>
#include <string>

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
};

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
  PortSettings FirstCOM;
  PortSettings SecondCOM;
};

PluginSettings& Settings();

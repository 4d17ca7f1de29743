#include "plugin/phone_tools.h"

#include <optional>
#include <string>

#include "encoding/blanks.h"
#include "farlib/ui/dialog.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"
#include "link/at_engine.h"
#include "link/io_error.h"
#include "phone/tools_parts.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "settings/settings.h"
#include "sms/message_stores.h"

namespace {

// One line up to its line feed, unstripped and cut at the engine's longest line. Unlike the
// engine's ReadLine it hands back blank lines too, so that a phone sending nothing but line
// ends still counts against the terminal's bound.
void ReadTerminalLine(CConnection& connection, std::string& line) {
  line.clear();
  std::string byte;
  while (line.size() < kMaxResponseLineLength) {
    ReadBytes(connection, 1, byte);
    line += byte;
    if (byte == "\n") return;
  }
}

// The dialog with the scroll-back; false when the user cancels it.
bool AskTerminalCommand(const TerminalLines& lines, std::string& command) {
  FarLib::CFarDialog dialog(67, 25, "Terminal");
  dialog.AddFrame(Msg::kTerminalItem);
  int row = 3;
  // The phone's lines are shown as sent: '&' is no hot-key mark in them ("AT&F").
  for (const std::string& line : lines) {
    dialog.Add<FarLib::CFarTextItem>(5, row++, DIF_BOXCOLOR | DIF_SHOWAMPERSAND, line);
  }
  command.clear();
  const int edit = dialog.Add<FarLib::CFarEditItem>(5, 19, 60, DIF_HISTORY, "Zantel.Command",
                                                    FarLib::CFarTextStorage(command));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  dialog.SetFocus(edit);
  return dialog.Run() == 0;
}

// The logging settings as they were before the probe, put back however it ends; the wait box
// goes with them.
class CProbeSettings {
 public:
  CProbeSettings() : m_writeLogFile(Settings().WriteLogFile), m_logFile(Settings().LogFile) {}
  ~CProbeSettings() { Restore(); }
  CProbeSettings(const CProbeSettings&) = delete;
  CProbeSettings& operator=(const CProbeSettings&) = delete;

  void ShowWait() {
    FarLib::ShowWait(FarLib::GetMsg(Msg::kConfigMenuTitle), FarLib::GetMsg(Msg::kProbing));
    m_waiting = true;
  }

  void Restore() {
    if (m_waiting) FarLib::HideWait();
    m_waiting = false;
    Settings().WriteLogFile = m_writeLogFile;
    Settings().LogFile = m_logFile;
  }

 private:
  bool m_writeLogFile;
  std::string m_logFile;
  bool m_waiting = false;
};

bool AskProbe(bool& phoneBook, bool& sms) {
  FarLib::CFarDialog dialog(70, 12, "CapabilityLog");
  dialog.AddFrame(Msg::kCapabilityLogItem);
  dialog.Add<FarLib::CFarTextItem>(5, 3, 0, FarLib::GetMsg(Msg::kLogFileLabel));
  const int edit = dialog.Add<FarLib::CFarEditItem>(25, 3, 63, DIF_HISTORY, "Zantel.CapaLog",
                                                    FarLib::CFarTextStorage(Settings().LogFile));
  dialog.Add<FarLib::CFarCheckBoxItem>(5, 5, 0, FarLib::GetMsg(Msg::kProbePhoneBook), phoneBook);
  dialog.Add<FarLib::CFarCheckBoxItem>(5, 6, 0, FarLib::GetMsg(Msg::kProbeMessages), sms);
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  dialog.SetFocus(edit);
  return dialog.Run() == 0;
}

// Empties the report file, or makes it. The transcript would silently drop what it cannot
// write, so a file that cannot be had must be found out before the probe starts.
bool StartReport(const std::string& name) {
  Platform::CFile file = Platform::CFile::Open(name, Platform::OpenMode::CreateAlways);
  return file.IsOpen();
}

bool ReportWritten(const std::string& name) {
  Platform::CFile file = Platform::CFile::Open(name, Platform::OpenMode::ExistingRead);
  uint64_t size = 0;
  return file.IsOpen() && file.Size(size) && size > 0;
}

// The storages the phone has selected before a probe, which selects every one in turn.
std::vector<std::string> AskSelected(CConnection& connection, const char* query) {
  ResponseList answer;
  if (!ExecuteQuiet(connection, "%s", &answer, query)) return {};
  return SelectedStorages(answer);
}

void ProbePhoneBook(CConnection& connection) {
  ResponseList answer;
  if (!ExecuteQuiet(connection, "AT+CPBS=?", &answer)) return;
  const std::vector<std::string> selected = AskSelected(connection, "AT+CPBS?");
  for (const std::string& name : PhoneBookStoragesToProbe(answer)) {
    if (!ExecuteQuiet(connection, "AT+CPBS=\"%s\"", nullptr, name.c_str())) continue;
    ExecuteQuiet(connection, "AT+CPBS?", nullptr);
    ExecuteQuiet(connection, "AT+CPBR=?", nullptr);
    ExecuteQuiet(connection, "AT+CPBW=?", nullptr);
  }
  if (!selected.empty()) ExecuteQuiet(connection, "AT+CPBS=\"%s\"", nullptr, selected[0].c_str());
}

void ProbeMessages(CConnection& connection) {
  ExecuteQuiet(connection, "AT+CMGF=0", nullptr);
  ExecuteQuiet(connection, "AT+CMGL=?", nullptr);
  ResponseList answer;
  if (!ExecuteQuiet(connection, "AT+CPMS=?", &answer)) return;
  const std::vector<std::string> selected = AskSelected(connection, "AT+CPMS?");
  for (const std::string& name : MessageStoragesToProbe(answer)) {
    if (!ExecuteQuiet(connection, "AT+CPMS=\"%s\"", nullptr, name.c_str())) continue;
    ExecuteQuiet(connection, "AT+CPMS?", nullptr);
    ExecuteQuiet(connection, "AT+CMGL=4", nullptr);
  }
  if (selected.empty()) return;
  std::string restore = "AT+CPMS=";
  for (size_t i = 0; i < selected.size() && i < kStorageParameterCount; ++i) {
    restore += (i ? ",\"" : "\"") + selected[i] + "\"";
  }
  ExecuteQuiet(connection, "%s", nullptr, restore.c_str());
}

}  // namespace

void RunTerminal(CConnection& connection) {
  TerminalLines lines;
  std::string command;
  while (AskTerminalCommand(lines, command)) {
    try {
      if (!SendLine(connection, "%s", command.c_str())) continue;
      std::string line;
      for (size_t read = 0; read < kMaxTerminalLinesPerCommand; ++read) {
        ReadTerminalLine(connection, line);
        if (TakeTerminalLine(lines, line)) break;
      }
    } catch (const io_error& failure) {
      // The phone fell silent, the user gave up waiting or the link broke: what arrived stays
      // on the screen and the next command may fare better. Giving up was the user's own
      // choice; a broken line is told, or it would look like a phone with nothing to say.
      if (failure.Code() != Platform::kErrorTimeout) {
        Platform::SetLastError(failure.Code());
        FarLib::ShowSysError(failure.what());
      }
    }
  }
}

void SetPhoneClock(CConnection& connection) {
  const std::string clock = ClockText(Platform::LocalTime());
  int32_t bias = 0;
  const std::string zone =
      ZoneText(Platform::CurrentTimeZoneBias(bias) ? std::optional<int32_t>(bias) : std::nullopt);
  if (!ExecuteQuiet(connection, "AT+CCLK=\"%s%s\"", nullptr, clock.c_str(), zone.c_str()) &&
      !Execute(connection, "AT+CCLK=\"%s\"", nullptr, clock.c_str())) {
    return;
  }
  FarLib::ShowInfo(FarLib::GetMsg(Msg::kClockSetTitle), FarLib::GetMsg(Msg::kClockSet),
                   clock.c_str());
}

void CapabilityLog(CConnection& connection) {
  CProbeSettings saved;
  PluginSettings& settings = Settings();
  settings.LogFile += ".log";
  bool phoneBook = true;
  bool sms = false;
  if (!AskProbe(phoneBook, sms)) return;
  const std::string report = settings.LogFile;
  if (Trimmed(report).empty()) {
    saved.Restore();
    FarLib::ShowError(FarLib::GetMsg(Msg::kLogFileMissing));
    return;
  }
  if (!StartReport(report)) {
    const uint32_t reason = Platform::LastError();
    saved.Restore();
    const char* text = FarLib::GetMsg(Msg::kFileNotWritten);
    Platform::SetLastError(reason);
    FarLib::ShowSysError(text, report.c_str());
    return;
  }
  settings.WriteLogFile = true;
  saved.ShowWait();
  for (const char* command : {"AT+CGMM", "AT+CGMI", "AT+CGMR", "AT+CGSN", "AT+CSCS=?"}) {
    ExecuteQuiet(connection, "%s", nullptr, command);
  }
  if (phoneBook) ProbePhoneBook(connection);
  if (sms) ProbeMessages(connection);
  saved.Restore();
  // The file could go away, or its disk fill up, while the phone answered.
  if (!ReportWritten(report)) {
    FarLib::ShowError(FarLib::GetMsg(Msg::kFileNotWritten), report.c_str());
    return;
  }
  FarLib::ShowInfo(FarLib::GetMsg(Msg::kConfigMenuTitle), FarLib::GetMsg(Msg::kLogWritten));
}

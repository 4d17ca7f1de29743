#pragma once
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "phonesim/at_command.h"
#include "phonesim/profile.h"
#include "phonesim/state.h"

namespace PhoneSim {

// What the phone answers to one command line, before it is framed for the line.
struct Reply {
  std::vector<std::string> lines;  // information text, one entry per line
  std::string final = "OK";        // the final result code; empty while the prompt is shown
  bool prompt = false;             // "> " follows: the PDU of AT+CMGS or AT+CMGW is awaited
};

// What the SIM asks for before the phone books and messages on it may be used.
enum class SimLock { Ready, Pin, Puk };

// A GSM phone as its AT command interpreter sees it: the state it keeps, the modes a
// session sets, and the answers of GSM 07.07 and 07.05 in PDU mode.
class CPhone {
 public:
  explicit CPhone(PhoneState& state);

  Reply HandleLine(std::string_view line);
  // The text typed after the prompt, up to Ctrl-Z; `cancelled` when Escape ended it.
  Reply HandlePdu(std::string_view hex, bool cancelled);

  bool Echo() const { return m_echo; }
  bool AwaitsPdu() const { return m_pendingLength >= 0; }
  // The reply as it goes over the line: "\r\n" opens the information text and ends each of
  // its lines; the final result code has its own "\r\n" before and after.
  static std::string Frame(const Reply& reply);

 private:
  using Handler = Reply (CPhone::*)(const AtCommand&);
  static const std::map<std::string, Handler>& Handlers();

  Reply Execute(const AtCommand& command);
  std::optional<Reply> Locked(const AtCommand& command) const;
  Reply MeError(int code) const;
  Reply SmsError(int code) const;
  static Reply Error();
  std::string IdentityLine(const char* prefix, const std::string& value, bool plainCommand) const;
  std::optional<std::string> ClockNow() const;

  Reply SetEcho(const AtCommand& c);
  Reply Reset(const AtCommand& c);
  Reply Accept(const AtCommand& c);
  Reply Verbose(const AtCommand& c);
  Reply Information(const AtCommand& c);
  Reply Manufacturer(const AtCommand& c);
  Reply Model(const AtCommand& c);
  Reply Revision(const AtCommand& c);
  Reply SerialNumber(const AtCommand& c);
  Reply SubscriberIdentity(const AtCommand& c);
  Reply ErrorMode(const AtCommand& c);
  Reply MessageIndications(const AtCommand& c);
  Reply Clock(const AtCommand& c);
  Reply Charset(const AtCommand& c);
  Reply PinStatus(const AtCommand& c);
  Reply SignalQuality(const AtCommand& c);
  Reply Battery(const AtCommand& c);
  Reply Registration(const AtCommand& c);
  Reply Functionality(const AtCommand& c);

  // Phone books: phone_book_commands.cpp
  Reply SelectBook(const AtCommand& c);
  Reply ReadBook(const AtCommand& c);
  Reply WriteBook(const AtCommand& c);
  PhoneBook& CurrentBook();
  std::string EntryLine(int index, const PhoneBookEntry& entry) const;
  std::string NameField(const std::string& name) const;
  Reply Erase(PhoneBook& book, int index);
  Reply Store(PhoneBook& book, std::optional<int> index, const std::vector<Argument>& args);

  // Short messages: sms_commands.cpp
  Reply MessageFormat(const AtCommand& c);
  Reply Storages(const AtCommand& c);
  Reply ListMessages(const AtCommand& c);
  Reply ReadMessage(const AtCommand& c);
  Reply DeleteMessage(const AtCommand& c);
  Reply SendMessage(const AtCommand& c);
  Reply WriteMessage(const AtCommand& c);
  Reply ServiceCentre(const AtCommand& c);
  Reply MessageService(const AtCommand& c);
  MessageStorage& Memory(int which);
  // A memory behind the one selected, its locations numbered from `offset` + 1 there.
  struct Part {
    MessageStorage* storage;
    int offset;
  };
  std::vector<Part> Parts(int which);
  // The memory and its own location behind location `index` of the one selected.
  std::optional<std::pair<MessageStorage*, int>> Locate(int which, int index);
  std::string StorageCounts(int which);
  Reply Send(std::string_view hex);
  Reply Write(std::string_view hex);

  PhoneState& m_state;
  const Profile& m_profile;
  bool m_echo;
  int m_errorMode = 0;
  std::string m_charset;
  std::string m_indications = "0,0,0,0,0";
  size_t m_book = 0;
  std::array<size_t, 3> m_memories{};
  int m_pendingLength = -1;
  bool m_pendingSend = false;
  int m_pendingStatus = 2;
  SimLock m_simLock;
  int m_wrongPins = 0;
  std::chrono::steady_clock::time_point m_clockSetAt;
};

}  // namespace PhoneSim

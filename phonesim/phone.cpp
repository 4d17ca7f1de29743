#include "phonesim/phone.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "phonesim/charset.h"

namespace PhoneSim {
namespace {

using Form = AtCommand::Form;

constexpr int kErrNotAllowed = 3;
constexpr int kErrSimNotInserted = 10;
constexpr int kErrSimPinRequired = 11;
constexpr int kErrSimPukRequired = 12;
constexpr int kErrIncorrectPassword = 16;
constexpr int kPinTries = 3;

const std::map<int, const char*>& MeErrorTexts() {
  static const std::map<int, const char*> texts = {{0, "phone failure"},
                                                   {3, "operation not allowed"},
                                                   {4, "operation not supported"},
                                                   {10, "SIM not inserted"},
                                                   {11, "SIM PIN required"},
                                                   {12, "SIM PUK required"},
                                                   {16, "incorrect password"},
                                                   {20, "memory full"},
                                                   {21, "invalid index"},
                                                   {22, "not found"},
                                                   {23, "memory failure"},
                                                   {24, "text string too long"},
                                                   {25, "invalid characters in text string"},
                                                   {26, "dial string too long"},
                                                   {27, "invalid characters in dial string"},
                                                   {100, "unknown"}};
  return texts;
}

const std::map<int, const char*>& SmsErrorTexts() {
  static const std::map<int, const char*> texts = {{300, "ME failure"},
                                                   {302, "operation not allowed"},
                                                   {303, "operation not supported"},
                                                   {304, "invalid PDU mode parameter"},
                                                   {320, "memory failure"},
                                                   {321, "invalid memory index"},
                                                   {322, "memory full"},
                                                   {500, "unknown error"}};
  return texts;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

DateTime Advance(const DateTime& t, std::chrono::seconds elapsed) {
  using namespace std::chrono;
  const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                      std::chrono::day{static_cast<unsigned>(t.day)}};
  const sys_seconds moment = day + hours{t.hour} + minutes{t.minute} + seconds{t.second} + elapsed;
  const sys_days newDay = floor<days>(moment);
  const year_month_day date{newDay};
  const hh_mm_ss clock{moment - newDay};
  return {static_cast<int>(date.year()),
          static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(clock.hours().count()),
          static_cast<int>(clock.minutes().count()),
          static_cast<int>(clock.seconds().count())};
}

// The commands that reach the SIM's phone books and messages.
bool NeedsSim(const std::string& name) {
  static const std::set<std::string> names = {"+CPBS", "+CPBR", "+CPBW", "+CPMS",
                                              "+CMGL", "+CMGR", "+CMGS"};
  return names.contains(name);
}

}  // namespace

CPhone::CPhone(PhoneState& state)
    : m_state(state),
      m_profile(ProfileOf(state)),
      m_echo(m_profile.echoAtPowerUp),
      m_charset(m_profile.powerUpCharset),
      m_simLock(state.identity.pin.empty() ? SimLock::Ready : SimLock::Pin),
      m_clockSetAt(std::chrono::steady_clock::now()) {}

const std::map<std::string, CPhone::Handler>& CPhone::Handlers() {
  static const std::map<std::string, Handler> handlers = {{"E", &CPhone::SetEcho},
                                                          {"Z", &CPhone::Reset},
                                                          {"&F", &CPhone::Reset},
                                                          {"Q", &CPhone::Accept},
                                                          {"&C", &CPhone::Accept},
                                                          {"&D", &CPhone::Accept},
                                                          {"V", &CPhone::Verbose},
                                                          {"I", &CPhone::Information},
                                                          {"+CGMI", &CPhone::Manufacturer},
                                                          {"+GMI", &CPhone::Manufacturer},
                                                          {"+CGMM", &CPhone::Model},
                                                          {"+GMM", &CPhone::Model},
                                                          {"+CGMR", &CPhone::Revision},
                                                          {"+GMR", &CPhone::Revision},
                                                          {"+CGSN", &CPhone::SerialNumber},
                                                          {"+GSN", &CPhone::SerialNumber},
                                                          {"+CIMI", &CPhone::SubscriberIdentity},
                                                          {"+CMEE", &CPhone::ErrorMode},
                                                          {"+CNMI", &CPhone::MessageIndications},
                                                          {"+CCLK", &CPhone::Clock},
                                                          {"+CSCS", &CPhone::Charset},
                                                          {"+CPIN", &CPhone::PinStatus},
                                                          {"+CSQ", &CPhone::SignalQuality},
                                                          {"+CBC", &CPhone::Battery},
                                                          {"+CREG", &CPhone::Registration},
                                                          {"+CFUN", &CPhone::Functionality},
                                                          {"+CPBS", &CPhone::SelectBook},
                                                          {"+CPBR", &CPhone::ReadBook},
                                                          {"+CPBW", &CPhone::WriteBook},
                                                          {"+CMGF", &CPhone::MessageFormat},
                                                          {"+CPMS", &CPhone::Storages},
                                                          {"+CMGL", &CPhone::ListMessages},
                                                          {"+CMGR", &CPhone::ReadMessage},
                                                          {"+CMGD", &CPhone::DeleteMessage},
                                                          {"+CMGS", &CPhone::SendMessage},
                                                          {"+CMGW", &CPhone::WriteMessage},
                                                          {"+CSCA", &CPhone::ServiceCentre},
                                                          {"+CSMS", &CPhone::MessageService}};
  return handlers;
}

Reply CPhone::HandleLine(std::string_view line) {
  const auto commandLine = SplitCommandLine(line);
  if (!commandLine) return Reply{{}, "", false};
  Reply total;
  for (const AtCommand& command : commandLine->commands) {
    Reply reply = Execute(command);
    total.lines.insert(total.lines.end(), reply.lines.begin(), reply.lines.end());
    total.final = reply.final;
    total.prompt = reply.prompt;
    if (reply.prompt || reply.final != "OK") return total;
  }
  if (commandLine->malformed) total.final = "ERROR";
  return total;
}

Reply CPhone::Execute(const AtCommand& command) {
  const auto found = Handlers().find(command.name);
  if (found == Handlers().end()) return Error();
  if (auto refusal = Locked(command)) return *refusal;
  return (this->*found->second)(command);
}

// Until the PIN is given the SIM keeps its books and messages; once the PIN has been given
// wrongly too often, the SIM takes nothing but its PUK, which the phone does not offer.
std::optional<Reply> CPhone::Locked(const AtCommand& command) const {
  if (m_simLock == SimLock::Puk &&
      (NeedsSim(command.name) || (command.name == "+CPIN" && command.form == Form::Set)))
    return MeError(kErrSimPukRequired);
  if (m_simLock == SimLock::Pin && NeedsSim(command.name)) return MeError(kErrSimPinRequired);
  return std::nullopt;
}

std::string CPhone::Frame(const Reply& reply) {
  std::string text;
  for (const std::string& line : reply.lines) text += (text.empty() ? "\r\n" : "") + line + "\r\n";
  if (reply.prompt) return text + "\r\n> ";
  if (!reply.final.empty()) text += "\r\n" + reply.final + "\r\n";
  return text;
}

Reply CPhone::Error() { return Reply{{}, "ERROR", false}; }

Reply CPhone::MeError(int code) const {
  if (m_errorMode == 0) return Error();
  if (m_errorMode == 2)
    return Reply{{}, std::string("+CME ERROR: ") + MeErrorTexts().at(code), false};
  return Reply{{}, "+CME ERROR: " + std::to_string(code), false};
}

// GSM 07.05 reports its failures as +CMS ERROR whatever AT+CMEE says; only the wording follows it.
Reply CPhone::SmsError(int code) const {
  if (m_errorMode == 2)
    return Reply{{}, std::string("+CMS ERROR: ") + SmsErrorTexts().at(code), false};
  return Reply{{}, "+CMS ERROR: " + std::to_string(code), false};
}

Reply CPhone::SetEcho(const AtCommand& c) {
  if (c.arguments != "" && c.arguments != "0" && c.arguments != "1") return Error();
  m_echo = c.arguments == "1";
  return {};
}

// ATZ and AT&F bring back the modes of power-up; what the phone stores stays.
Reply CPhone::Reset(const AtCommand&) {
  m_echo = m_profile.echoAtPowerUp;
  m_errorMode = 0;
  m_charset = m_profile.powerUpCharset;
  m_indications = "0,0,0,0,0";
  m_book = 0;
  m_memories = {};
  return {};
}

Reply CPhone::Accept(const AtCommand&) { return {}; }

// Numeric result codes (ATV0) are not offered.
Reply CPhone::Verbose(const AtCommand& c) { return c.arguments == "1" ? Reply{} : Error(); }

Reply CPhone::Information(const AtCommand&) {
  const Identity& id = m_state.identity;
  return Reply{{id.manufacturer, id.model, id.revision}, "OK", false};
}

std::string CPhone::IdentityLine(const char* prefix, const std::string& value,
                                 bool plainCommand) const {
  if (plainCommand || m_profile.identityStyle == IdentityStyle::Bare) return value;
  if (m_profile.identityStyle == IdentityStyle::Quoted)
    return std::string(prefix) + ": \"" + value + "\"";
  return std::string(prefix) + ": " + value;
}

Reply CPhone::Manufacturer(const AtCommand& c) {
  if (c.form == Form::Test) return {};
  if (c.form != Form::Action) return Error();
  return Reply{
      {IdentityLine("+CGMI", m_state.identity.manufacturer, c.name == "+GMI")}, "OK", false};
}

Reply CPhone::Model(const AtCommand& c) {
  if (c.form == Form::Test) return {};
  if (c.form != Form::Action) return Error();
  return Reply{{IdentityLine("+CGMM", m_state.identity.model, c.name == "+GMM")}, "OK", false};
}

Reply CPhone::Revision(const AtCommand& c) {
  if (c.form == Form::Test) return {};
  if (c.form != Form::Action) return Error();
  return Reply{{IdentityLine("+CGMR", m_state.identity.revision, c.name == "+GMR")}, "OK", false};
}

Reply CPhone::SerialNumber(const AtCommand& c) {
  if (c.name == "+CGSN" && !m_profile.answersCgsn) return Error();
  if (c.form == Form::Test) return {};
  if (c.form != Form::Action) return Error();
  return Reply{{IdentityLine("+CGSN", m_state.identity.serial, c.name == "+GSN")}, "OK", false};
}

// A phone without a SIM (an empty IMSI) has no subscriber to tell of.
Reply CPhone::SubscriberIdentity(const AtCommand& c) {
  if (c.form == Form::Test) return {};
  if (c.form != Form::Action) return Error();
  if (m_state.identity.imsi.empty()) return MeError(kErrSimNotInserted);
  return Reply{{m_state.identity.imsi}, "OK", false};
}

Reply CPhone::ErrorMode(const AtCommand& c) {
  const int highest = m_profile.highestErrorMode;
  switch (c.form) {
    case Form::Test: return Reply{{"+CMEE: (0-" + std::to_string(highest) + ")"}, "OK", false};
    case Form::Query: return Reply{{"+CMEE: " + std::to_string(m_errorMode)}, "OK", false};
    case Form::Action: m_errorMode = 0; return {};
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  const auto mode = args ? NumberArgument(*args, 0, 0, highest) : std::nullopt;
  if (!mode || args->size() != 1) return Error();
  m_errorMode = *mode;
  return {};
}

Reply CPhone::MessageIndications(const AtCommand& c) {
  static constexpr int kHighest[5] = {3, 3, 3, 2, 1};
  switch (c.form) {
    case Form::Test: return Reply{{"+CNMI: (0-3),(0-3),(0-3),(0-2),(0,1)"}, "OK", false};
    case Form::Query: return Reply{{"+CNMI: " + m_indications}, "OK", false};
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  if (!args || args->size() > 5) return Error();
  std::vector<std::string> values;
  for (size_t i = 0, at = 0; i < 5; ++i, at = m_indications.find(',', at) + 1) {
    values.push_back(m_indications.substr(at, m_indications.find(',', at) - at));
  }
  for (size_t i = 0; i < args->size(); ++i) {
    if (!(*args)[i].present) continue;
    const auto value = NumberArgument(*args, i, 0, kHighest[i]);
    if (!value) return MeError(4);
    values[i] = std::to_string(*value);
  }
  m_indications = values[0] + "," + values[1] + "," + values[2] + "," + values[3] + "," + values[4];
  return {};
}

std::optional<std::string> CPhone::ClockNow() const {
  auto clock = ParseClock(m_state.clock);
  if (!clock) return std::nullopt;
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - m_clockSetAt);
  clock->time = Advance(clock->time, elapsed);
  return FormatClock(*clock);
}

// The phone counts on from the last setting; the state keeps that setting.
Reply CPhone::Clock(const AtCommand& c) {
  switch (c.form) {
    case Form::Test: return {};
    case Form::Query:
      return Reply{{"+CCLK: \"" + ClockNow().value_or(m_state.clock) + "\""}, "OK", false};
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  if (!args || args->size() != 1 || !(*args)[0].quoted) return Error();
  const auto clock = ParseClock((*args)[0].text);
  if (!clock) return MeError(3);
  m_state.clock = FormatClock(*clock);
  m_clockSetAt = std::chrono::steady_clock::now();
  return {};
}

Reply CPhone::Charset(const AtCommand& c) {
  switch (c.form) {
    case Form::Test: {
      std::string list;
      for (const std::string& name : m_profile.charsets)
        list += (list.empty() ? "" : ",") + Quoted(name, false);
      return Reply{{"+CSCS: (" + list + ")"}, "OK", false};
    }
    case Form::Query: return Reply{{"+CSCS: " + Quoted(m_charset, false)}, "OK", false};
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  if (!args || args->size() != 1 || !(*args)[0].present) return Error();
  const std::string wanted = Upper((*args)[0].text);
  for (const std::string& name : m_profile.charsets) {
    if (name == wanted) {
      m_charset = name;
      return {};
    }
  }
  return MeError(4);
}

Reply CPhone::PinStatus(const AtCommand& c) {
  static const std::map<SimLock, std::string> kStatus = {
      {SimLock::Ready, "READY"}, {SimLock::Pin, "SIM PIN"}, {SimLock::Puk, "SIM PUK"}};
  switch (c.form) {
    case Form::Test: return {};
    case Form::Query: return Reply{{"+CPIN: " + kStatus.at(m_simLock)}, "OK", false};
    case Form::Action: return MeError(kErrNotAllowed);
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  if (!args || args->size() != 1) return Error();
  if (m_simLock != SimLock::Pin) return MeError(kErrNotAllowed);
  if ((*args)[0].text == m_state.identity.pin) {
    m_simLock = SimLock::Ready;
    return {};
  }
  if (++m_wrongPins == kPinTries) m_simLock = SimLock::Puk;
  return MeError(kErrIncorrectPassword);
}

Reply CPhone::SignalQuality(const AtCommand& c) {
  if (c.form == Form::Test) return Reply{{"+CSQ: (0-31,99),(0-7,99)"}, "OK", false};
  return c.form == Form::Action ? Reply{{"+CSQ: 21,99"}, "OK", false} : Error();
}

Reply CPhone::Battery(const AtCommand& c) {
  if (c.form == Form::Test) return Reply{{"+CBC: (0-3),(0-100)"}, "OK", false};
  return c.form == Form::Action ? Reply{{"+CBC: 0,80"}, "OK", false} : Error();
}

Reply CPhone::Registration(const AtCommand& c) {
  switch (c.form) {
    case Form::Test: return Reply{{"+CREG: (0-2)"}, "OK", false};
    case Form::Query: return Reply{{"+CREG: 0,1"}, "OK", false};
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  return args && NumberArgument(*args, 0, 0, 0) ? Reply{} : MeError(4);
}

// Only full functionality is offered: the simulated radio is always on.
Reply CPhone::Functionality(const AtCommand& c) {
  switch (c.form) {
    case Form::Test: return Reply{{"+CFUN: (1),(0)"}, "OK", false};
    case Form::Query: return Reply{{"+CFUN: 1"}, "OK", false};
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  return args && NumberArgument(*args, 0, 1, 1) ? Reply{} : MeError(3);
}

}  // namespace PhoneSim

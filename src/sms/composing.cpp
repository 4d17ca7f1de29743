#include "sms/composing.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <optional>

#include "encoding/hex_digits.h"
#include "link/at_engine.h"
#include "link/io_error.h"
#include "regex/regex.h"
#include "sms/message_parts.h"
#include "sms/pdu_encoder.h"

namespace {

constexpr char kCtrlZ = '\x1A';
constexpr char kEscape = '\x1B';
// What a box shows of a line without end.
constexpr size_t kShownLineLength = 64;

// Where a "(0)" written after the country code of an international number stands, or npos: it
// is the trunk prefix dialled at home, no part of the number ("+44 (0)20 7946 0000").
size_t TrunkPrefixAt(const std::string& text, size_t afterPlus) {
  size_t pos = text.find_first_not_of(" \t", afterPlus);
  const size_t countryCode = pos;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
  constexpr size_t kLongestCountryCode = 3;
  if (pos == countryCode || pos - countryCode > kLongestCountryCode) return std::string::npos;
  pos = text.find_first_not_of(" \t", pos);
  return pos != std::string::npos && text.compare(pos, 3, "(0)") == 0 ? pos : std::string::npos;
}

// A typed number may carry the punctuation people write numbers with: "+49 (171) 555-12".
// Taken as a name it would match nothing, and its parentheses would pass for a picked
// "name (number)" text and lose the digits before them.
bool FormattedNumber(const std::string& typed, std::string& number) {
  std::string text = typed;
  std::string digits;
  size_t pos = text.find_first_not_of(" \t");
  if (pos != std::string::npos && text[pos] == '+') {
    digits.push_back('+');
    ++pos;
    const size_t trunkPrefix = TrunkPrefixAt(text, pos);
    if (trunkPrefix != std::string::npos) text.erase(trunkPrefix, 3);
  }
  bool anyDigit = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c >= '0' && c <= '9') {
      digits.push_back(c);
      anyDigit = true;
    } else if (std::string_view(" \t()-./").find(c) == std::string_view::npos) {
      return false;
    }
  }
  if (!anyDigit) return false;
  number = digits;
  return true;
}

// The text as a pattern that matches it literally: every ASCII character that is not a letter
// or digit is escaped, which PCRE reads as the character itself in every case.
std::string LiteralPattern(const std::string& text) {
  std::string pattern;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 && !std::isalnum(byte)) pattern.push_back('\\');
    pattern.push_back(c);
  }
  return pattern;
}

struct CCandidate {
  const PhoneBookEntry* entry;
  std::string item;
};

std::vector<CCandidate> Candidates(const PhoneBook& phoneBook, const std::string& destination) {
  constexpr int kOptions = kRegexCaseless | kRegexAnchored;
  // What the user typed is meant as a pattern, but a destination such as "\q" or "(Mum" that
  // does not compile is still the beginning of a name.
  auto pattern = std::make_unique<CRegex>(destination, kOptions);
  if (!pattern->IsCompiled())
    pattern = std::make_unique<CRegex>(LiteralPattern(destination), kOptions);
  std::vector<CCandidate> found;
  for (const auto& storage : phoneBook) {
    for (const auto& entry : storage->Entries) {
      const bool fits = pattern->Match(entry->Name, 0, nullptr) ||
                        entry->Number.find(destination) != std::string::npos;
      if (!fits) continue;
      bool known = false;
      for (const CCandidate& candidate : found) known |= candidate.entry->Number == entry->Number;
      if (!known) found.push_back({entry.get(), entry->Name + " (" + entry->Number + ")"});
    }
  }
  return found;
}

// Bytes that are no text: a line with a control character (tab aside) or a byte beyond ASCII is
// noise on the line rather than anything the phone says, and a phone that says something before
// its prompt says it in text.
//   \0\xFF\x1B[2J
bool IsLineNoise(std::string_view line) {
  return std::any_of(line.begin(), line.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && byte != '\t') || byte >= 0x7F;
  });
}

// After "AT+CMGS=n" the phone shows its prompt, CR LF "> ", and waits for the PDU. A phone that
// will not take it answers with a final result line instead, which is left in `refusal`; waiting
// for the PDU then would hand the next command to a phone that is not listening for it. Notices
// the phone sends meanwhile (a delivery report's +CDSI:, a modem's ^RSSI:) are passed over, with
// the line of hex a +CMT: or +CDS: brings, and so is noise. The prompt's space is left for the
// reply's reading, which skips blank text, so a phone that omits it is not waited for.
bool AwaitPrompt(CConnection& connection, const std::string& command, std::string& refusal) {
  std::string line;
  std::string byte;
  bool pduFollows = false;
  for (;;) {
    ReadBytes(connection, 1, byte);
    const char c = byte[0];
    if (c == '>' && line.empty()) return true;
    if (c == '\n' || c == '\r') {
      if (c == '\r') connection.TakeArrived('\n');
      while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.pop_back();
      }
      // The echo of the command, and a blank line, say nothing.
      if (line == command) line.clear();
      if (line.empty()) continue;
      const bool pdu = pduFollows && IsHexText(line);
      pduFollows = false;
      if (!pdu && !IsLineNoise(line)) {
        const Notice notice = NoticeOf(line, command);
        if (notice == Notice::None) {
          refusal = line;
          return false;
        }
        pduFollows = notice == Notice::LineAndPdu;
      }
      line.clear();
    } else {
      line.push_back(c);
      // A phone that never ends its line is not listening for a PDU either.
      if (line.size() >= kMaxResponseLineLength) {
        refusal = line.substr(0, kShownLineLength);
        return false;
      }
    }
  }
}

// A phone whose prompt comes after the time-out would take the next command for the PDU:
// Escape makes it drop the PDU instead. What it still sends (the prompt, its answer to Escape)
// is dropped, or the next command would take it for its own answer. A link that is gone cannot
// take Escape, and need not.
void CancelPrompt(CConnection& connection) {
  constexpr uint32_t kEscapeAnsweredWithinMs = 300;
  const char escape = kEscape;
  try {
    connection.Write(&escape, 1);
    connection.LogTraffic(&escape, 1);
    connection.DiscardUntilQuiet(kEscapeAnsweredWithinMs);
  } catch (const io_error&) {
  }
}

// Hands one PDU to the phone. False when it is not taken, with the phone's line or the link's
// reason in `reason`; none when the engine has shown it already (a command too long to send).
bool TransmitOne(const std::string& pdu, bool save, const ComposeContext& context,
                 std::optional<std::string>& reason) {
  reason.emplace();
  const char letter = save ? 'W' : 'S';
  const size_t length = TpduLength(pdu);
  bool awaitingPrompt = false;
  try {
    if (!SendLine(context.connection, "AT+CMG%c=%d", letter, static_cast<int>(length))) {
      reason.reset();
      return false;
    }
    const std::string command = std::string("AT+CMG") + letter + "=" + std::to_string(length);
    awaitingPrompt = true;
    if (!AwaitPrompt(context.connection, command, *reason)) {
      // The prompt may still come after the line that ended the wait: Escape makes the phone
      // drop the PDU it would wait for, so the next command is taken as one.
      CancelPrompt(context.connection);
      return false;
    }
    awaitingPrompt = false;
    ResponseList responses;
    if (!ExecuteQuiet(context.connection, "%s%c", &responses, pdu.c_str(), kCtrlZ)) {
      reason = responses.empty() ? std::string() : responses.back();
      return false;
    }
  } catch (const io_error& failure) {
    if (awaitingPrompt) CancelPrompt(context.connection);
    reason = failure.what();
    return false;
  }
  return true;
}

}  // namespace

// A stored message edited again must not gain empty lines between its CR LF pairs.
std::array<std::string, kEditorLines> EditorLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] == '\r' || text[pos] == '\n') {
      if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
      lines.emplace_back();
    } else {
      lines.back().push_back(text[pos]);
    }
  }
  std::array<std::string, kEditorLines> editor;
  for (size_t index = 0; index < lines.size(); ++index) {
    std::string& line = editor[std::min(index, kEditorLines - 1)];
    if (index >= kEditorLines) line += ' ';
    line += lines[index];
  }
  return editor;
}

std::string TextOfLines(const std::array<std::string, kEditorLines>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (&line == lines.data() ? "" : "\n") + line;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

bool Resolve(const PhoneBook& phoneBook, std::string& destination, CComposeUser& user) {
  if (FormattedNumber(destination, destination)) return true;
  GroupList groups;
  if (RegexMatch(destination, "\\((\\+?\\d+)\\)", 0, 0, &groups) && groups.size() > 1) {
    destination = groups[1];
    return true;
  }
  const std::vector<CCandidate> candidates = Candidates(phoneBook, destination);
  if (candidates.empty()) {
    user.ReportUnresolved(destination);
    return false;
  }
  size_t chosen = 0;
  if (candidates.size() > 1) {
    std::vector<std::string> items;
    for (const CCandidate& candidate : candidates) items.push_back(candidate.item);
    const int choice = user.ChooseCandidate(items);
    if (choice < 0 || static_cast<size_t>(choice) >= candidates.size()) return false;
    chosen = static_cast<size_t>(choice);
  }
  // A phone book holds service codes too ("*100#"): no message can go to them.
  const std::string& number = candidates[chosen].entry->Number;
  if (!FormattedNumber(number, destination)) {
    user.ReportNotANumber(number);
    return false;
  }
  return true;
}

bool Build(CSMSMessage& message, const std::string& destination,
           std::vector<OutgoingMessage>& messages, bool save, bool notFirst,
           const ComposeContext& context) {
  if (!save && message.wideText.empty() && !context.user.ConfirmEmpty()) return false;
  message.address = destination;
  // A number typed without "+" is not an international one, whatever type the record had.
  if (!destination.empty()) message.addressType = AddressType(destination);
  const WideString whole = message.wideText;
  ChooseCoding(message);
  // The parts are cut for an 8-bit reference, the kind TakeConcatReference gives.
  constexpr uint16_t kEightBitReference = 0;
  const CMessageParts split = SplitText(whole, message.Alphabet(), kEightBitReference);
  if (split.parts.size() > 1 && !notFirst &&
      !context.user.ConfirmParts(split.length, split.singleLimit, split.parts.size())) {
    return false;
  }
  // Some phones put in their own service centre, but only for a single message.
  const std::string sca = message.sca;
  if (split.parts.size() == 1 && context.profile &&
      (context.profile->Flags & kProfileOmitServiceCentre) != 0) {
    message.sca.clear();
  }
  // Only a message in parts spends a reference.
  const uint16_t reference =
      split.parts.size() > 1 ? TakeConcatReference(context.nextReference) : kEightBitReference;
  const std::vector<std::string> encoded = EncodeParts(message, split.parts, reference);
  message.sca = sca;
  message.wideText = whole;
  if (encoded.empty()) {
    context.user.ReportFailure(save, destination);
    return false;
  }
  messages.push_back({destination, encoded});
  return true;
}

bool Prepare(CSMSMessage& message, std::vector<std::string>& destinations,
             std::vector<OutgoingMessage>& messages, bool save, bool checkOnly,
             const ComposeContext& context) {
  messages.clear();
  // Saving may keep a message without recipient.
  const char* numberPattern = save ? "^\\+?\\d*$" : "^\\+?\\d+$";
  bool resolved = true;
  for (std::string& destination : destinations) {
    if (RegexMatch(destination, numberPattern, 0, 0, nullptr)) continue;
    if (!Resolve(context.phoneBook, destination, context.user)) resolved = false;
  }
  if (checkOnly || !resolved) return resolved;
  if (destinations.empty()) {
    if (save) return Build(message, "", messages, save, false, context);
    context.user.ReportUnresolved("");
    return false;
  }
  for (size_t index = 0; index < destinations.size(); ++index) {
    if (!Build(message, destinations[index], messages, save, index > 0, context)) return false;
  }
  return true;
}

size_t TpduLength(const std::string& pdu) {
  size_t serviceCentre = 0;
  const auto [end, error] =
      std::from_chars(pdu.data(), pdu.data() + std::min<size_t>(pdu.size(), 2), serviceCentre, 16);
  if (error != std::errc() || end != pdu.data() + 2) return 0;
  const size_t octets = pdu.size() / 2;
  return octets > serviceCentre + 1 ? octets - 1 - serviceCentre : 0;
}

bool Transmit(const std::vector<OutgoingMessage>& messages, bool save,
              const ComposeContext& context, size_t* taken) {
  if (taken) *taken = 0;
  StoppedTransmission stopped;
  for (const OutgoingMessage& message : messages) {
    stopped.destination = message.destination;
    stopped.parts = message.pdus.size();
    for (stopped.partsTaken = 0; stopped.partsTaken < stopped.parts; ++stopped.partsTaken) {
      std::optional<std::string> reason;
      if (!TransmitOne(message.pdus[stopped.partsTaken], save, context, reason)) {
        if (!reason) return false;
        if (stopped.whole.empty() && stopped.partsTaken == 0) {
          context.user.ReportFailure(save, *reason);
        } else {
          context.user.ReportStopped(save, stopped, *reason);
        }
        return false;
      }
      if (taken) ++*taken;
    }
    stopped.whole.push_back(message.destination);
  }
  if (!messages.empty()) context.user.ReportDone(save);
  return true;
}

// zantel-tool: developer commands for looking at what the plug-in's conversions do with a
// piece of phone text, without a phone or a host. Each command is one row of kCommands.

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "encoding/charset.h"
#include "encoding/hex_digits.h"
#include "farlib/help_file.h"
#include "farlib/language_file.h"
#include "farlib/message_formats.h"
#include "link/at_engine.h"
#include "platform/clock.h"
#include "sms/message_parts.h"
#include "sms/sms_message.h"
#include "help_topic_scan.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kHexOption = "--hex";
constexpr std::string_view kCharsetOption = "--charset";
constexpr std::string_view kSourcesOption = "--sources";
constexpr std::string_view kCountOption = "--count";
constexpr std::string_view kOutgoingOption = "--outgoing";
constexpr std::string_view kToOption = "--to";
constexpr std::string_view kScaOption = "--sca";
constexpr std::string_view kReferenceOption = "--reference";

// The words after the command's two names: options (with or without a value) and operands.
struct CArguments {
  std::map<std::string, std::string, std::less<>> m_values;
  std::vector<std::string> m_flags;
  std::vector<std::string> m_operands;

  bool HasFlag(std::string_view flag) const {
    return std::find(m_flags.begin(), m_flags.end(), flag) != m_flags.end();
  }

  // Only for options the command requires: parsing has made sure they are there.
  const std::string& Value(std::string_view option) const { return m_values.find(option)->second; }

  const std::string* OptionalValue(std::string_view option) const {
    const auto found = m_values.find(option);
    return found != m_values.end() ? &found->second : nullptr;
  }
};

struct CCommand {
  std::string_view m_group;
  std::string_view m_action;
  std::string_view m_synopsis;
  std::vector<std::string_view> m_requiredValues;
  std::vector<std::string_view> m_allowedFlags;
  int (*m_run)(const CArguments& arguments, std::ostream& out, std::ostream& err);
  std::vector<std::string_view> m_optionalValues = {};
  bool m_manyOperands = false;  // one operand or more instead of exactly one
};

int Usage(std::ostream& err);

int Fail(std::ostream& err, std::string_view why) {
  err << "zantel-tool: " << why << '\n';
  return kExitFailed;
}

// Byte pairs in either case; white space between the digits is ignored so dumps can be pasted.
std::optional<std::string> ParseHexBytes(std::string_view text) {
  std::string digits;
  for (const char c : text) {
    if (HexDigitValue(c) >= 0) {
      digits.push_back(c);
    } else if (c != ' ' && c != '\t') {
      return std::nullopt;
    }
  }
  if (digits.size() % 2 != 0) {
    return std::nullopt;
  }
  std::string bytes;
  for (size_t pos = 0; pos < digits.size(); pos += 2) {
    bytes.push_back(
        static_cast<char>(HexDigitValue(digits[pos]) * 16 + HexDigitValue(digits[pos + 1])));
  }
  return bytes;
}

int DecodeCharset(const CArguments& arguments, std::ostream& out, std::ostream& err) {
  const std::string& charset = arguments.Value(kCharsetOption);
  std::string phone = arguments.m_operands.front();
  if (arguments.HasFlag(kHexOption)) {
    const auto bytes = ParseHexBytes(phone);
    if (!bytes) {
      return Fail(err, "the phone text is not hexadecimal byte pairs");
    }
    phone = *bytes;
  }
  WideString wide;
  if (!PhoneToWide(phone, charset, wide)) {
    return Fail(err, "the phone text is not valid " + charset + " after " +
                         std::to_string(wide.size()) + " characters");
  }
  out << WideToUtf8(wide) << '\n';
  return kExitOk;
}

// The conversions stop at the first character they cannot write; naming it is what helps.
std::string DescribeUnwritable(const WideString& wide, const std::string& charset) {
  for (size_t index = 0; index < wide.size(); ++index) {
    std::string scratch;
    if (!WideToPhone(wide.substr(index, 1), charset, scratch)) {
      const char unit[] = {static_cast<char>(wide[index] >> 8),
                           static_cast<char>(wide[index] & 0xFF)};
      return "character " + std::to_string(index + 1) + " (U+" + OctetsToHex({unit, 2}) +
             ") cannot be written in " + charset;
    }
  }
  return "the text cannot be written in " + charset;
}

int EncodeCharset(const CArguments& arguments, std::ostream& out, std::ostream& err) {
  const std::string& charset = arguments.Value(kCharsetOption);
  const WideString wide = Utf8ToWide(arguments.m_operands.front());
  std::string phone;
  if (!WideToPhone(wide, charset, phone)) {
    return Fail(err, DescribeUnwritable(wide, charset));
  }
  out << (arguments.HasFlag(kHexOption) ? OctetsToHex(phone) : phone) << '\n';
  return kExitOk;
}

int PackSeptetsCommand(const CArguments& arguments, std::ostream& out, std::ostream& err) {
  const auto septets = ParseHexBytes(arguments.m_operands.front());
  if (!septets) {
    return Fail(err, "the septets are not hexadecimal byte pairs");
  }
  const auto highByte =
      std::find_if(septets->begin(), septets->end(), [](char c) { return (c & 0x80) != 0; });
  if (highByte != septets->end()) {
    return Fail(err, "byte " + std::to_string(highByte - septets->begin() + 1) +
                         " is above 7F, not a septet");
  }
  std::string octets;
  PackSeptets(*septets, octets);
  out << OctetsToHex(octets) << '\n';
  return kExitOk;
}

std::optional<size_t> ParseCount(std::string_view text) {
  size_t count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return count;
}

int UnpackSeptetsCommand(const CArguments& arguments, std::ostream& out, std::ostream& err) {
  const auto count = ParseCount(arguments.Value(kCountOption));
  if (!count) {
    err << "zantel-tool: --count needs a decimal number of septets\n";
    return Usage(err);
  }
  const auto octets = ParseHexBytes(arguments.m_operands.front());
  if (!octets) {
    return Fail(err, "the octets are not hexadecimal byte pairs");
  }
  std::string septets;
  UnpackSeptets(*octets, *count, septets);
  if (septets.size() < *count) {
    return Fail(err, "the octets hold only " + std::to_string(septets.size()) + " septets");
  }
  out << OctetsToHex(septets) << '\n';
  return kExitOk;
}

std::string OemToUtf8(const std::string& oem) { return WideToUtf8(OemToWide(oem)); }

// The plug-in's UTF-8 stays within 16 bits, as phones do; a person reading the dump wants the
// character a surrogate pair stands for. A lone surrogate shows as U+FFFD.
std::string DisplayUtf8(const WideString& wide) {
  std::string utf8;
  for (size_t pos = 0; pos < wide.size(); ++pos) {
    const char32_t unit = wide[pos];
    if (unit < 0xD800 || unit > 0xDFFF) {
      utf8 += WideToUtf8(WideString(1, wide[pos]));
      continue;
    }
    const bool paired = unit < 0xDC00 && pos + 1 < wide.size() && wide[pos + 1] >= 0xDC00 &&
                        wide[pos + 1] <= 0xDFFF;
    if (!paired) {
      utf8 += "\xEF\xBF\xBD";
      continue;
    }
    const char32_t code = 0x10000 + ((unit - 0xD800) << 10) + (wide[++pos] - 0xDC00);
    utf8 +=
        {static_cast<char>(0xF0 | (code >> 18)), static_cast<char>(0x80 | ((code >> 12) & 0x3F)),
         static_cast<char>(0x80 | ((code >> 6) & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
  }
  return utf8;
}

// The other way: four-byte sequences, which the plug-in's UTF-8 skips, become surrogate pairs.
WideString WideFromUtf8Argument(std::string_view utf8) {
  WideString wide;
  size_t start = 0;
  for (size_t pos = 0; pos + 3 < utf8.size(); ++pos) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    const bool continued = std::all_of(utf8.begin() + pos + 1, utf8.begin() + pos + 4, [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    });
    if (lead < 0xF0 || lead > 0xF4 || !continued) {
      continue;
    }
    wide += Utf8ToWide(utf8.substr(start, pos - start));
    const char32_t code = ((lead & 0x07u) << 18) | ((utf8[pos + 1] & 0x3Fu) << 12) |
                          ((utf8[pos + 2] & 0x3Fu) << 6) | (utf8[pos + 3] & 0x3Fu);
    wide += {static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)),
             static_cast<char16_t>(0xDC00 + (code & 0x3FF))};
    pos += 3;
    start = pos + 1;
  }
  return wide + Utf8ToWide(utf8.substr(start));
}

nlohmann::ordered_json IsoTime(Platform::FileTime time) {
  Platform::SystemTime utc;
  if (time == 0 || !Platform::FileTimeToSystemTime(time, utc)) {
    return nullptr;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", unsigned{utc.year},
                unsigned{utc.month}, unsigned{utc.day}, unsigned{utc.hour}, unsigned{utc.minute},
                unsigned{utc.second});
  return text;
}

// One member per field of the record, in its order; octet strings as hex, times as UTC or
// null for none, texts as UTF-8.
nlohmann::ordered_json MessageJson(const CSMSMessage& message) {
  return {
      {"pdu", message.pdu},
      {"storage", message.storage},
      {"fromServiceCentre", message.fromServiceCentre},
      {"scaType", message.scaType},
      {"sca", message.sca},
      {"addressType", message.addressType},
      {"address", message.address},
      {"firstOctet", message.firstOctet},
      {"messageReference", message.messageReference},
      {"pid", message.pid},
      {"dcs", message.dcs},
      {"validityOctets", OctetsToHex(message.validityOctets)},
      {"validitySeconds", message.validitySeconds},
      {"singleShot", message.singleShot},
      {"validUntil", IsoTime(message.validUntil)},
      {"timestampOctets", OctetsToHex(message.timestampOctets)},
      {"timestamp", IsoTime(message.timestamp)},
      {"wideText", DisplayUtf8(message.wideText)},
      {"text", OemToUtf8(message.text)},
      {"concatenated", message.concatenated},
      {"concatReference", message.concatReference},
      {"partCount", message.partCount},
      {"partNumber", message.partNumber},
      {"header", OctetsToHex(message.header)},
      {"storageIndex", message.storageIndex},
      {"status", message.status},
      {"label", OemToUtf8(message.label)},
  };
}

int DecodePdu(const CArguments& arguments, std::ostream& out, std::ostream& err) {
  CSMSMessage message(!arguments.HasFlag(kOutgoingOption));
  if (!message.Decode(arguments.m_operands.front())) {
    return Fail(err, "the PDU cannot be decoded");
  }
  out << MessageJson(message).dump(2) << '\n';
  return kExitOk;
}

// What the composer takes as a number: digits with an optional leading "+".
bool IsNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
  }
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int EncodePdu(const CArguments& arguments, std::ostream& out, std::ostream& err) {
  CSMSMessage message(false);
  message.address = arguments.Value(kToOption);
  if (const std::string* sca = arguments.OptionalValue(kScaOption)) {
    message.sca = *sca;
    message.scaType = AddressType(*sca);
  }
  if (!IsNumber(message.address) || (!message.sca.empty() && !IsNumber(message.sca))) {
    return Fail(err, "--to and --sca take a number: digits with an optional leading +");
  }
  const std::string* referenceText = arguments.OptionalValue(kReferenceOption);
  uint32_t notStarted = 256;  // a reference drawn at random, as the plug-in's first one is
  const auto reference = referenceText != nullptr
                             ? ParseCount(*referenceText)
                             : std::optional<size_t>(TakeConcatReference(notStarted));
  if (!reference || *reference > 0xFFFF) {
    err << "zantel-tool: --reference needs a decimal number from 0 to 65535\n";
    return Usage(err);
  }
  message.wideText = WideFromUtf8Argument(arguments.m_operands.front());
  message.text = WideToOem(message.wideText);
  ChooseCoding(message);
  const auto concatReference = static_cast<uint16_t>(*reference);
  const CMessageParts split = SplitText(message.wideText, message.Alphabet(), concatReference);
  const std::vector<std::string> pdus = EncodeParts(message, split.parts, concatReference);
  if (pdus.empty()) {
    return Fail(err, "the message cannot be encoded");
  }
  for (const std::string& pdu : pdus) {
    out << pdu << '\n';
  }
  return kExitOk;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!std::filesystem::is_regular_file(path) || !in) {
    return std::nullopt;
  }
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  return in.bad() ? std::nullopt : std::optional<std::string>(std::move(bytes));
}

// "FILE: 1 block, languages English, 185 messages"; the languages in the order first met.
std::string DescribeLanguageFile(const std::string& path,
                                 const std::vector<FarLib::MessageBlock>& blocks) {
  std::vector<std::string> languages;
  size_t messages = 0;
  for (const FarLib::MessageBlock& block : blocks) {
    const auto known = std::find_if(
        languages.begin(), languages.end(),
        [&](const std::string& name) { return FarLib::SameName(name, block.Language); });
    if (known == languages.end()) {
      languages.push_back(block.Language);
    }
    for (const FarLib::MessageGroup& group : block.Groups) {
      messages += group.Messages.size();
    }
  }
  std::string names;
  for (const std::string& name : languages) {
    names += (names.empty() ? "" : ",") + name;
  }
  return path + ": " + std::to_string(blocks.size()) + (blocks.size() == 1 ? " block" : " blocks") +
         ", languages " + (names.empty() ? "none" : names) + ", " + std::to_string(messages) +
         (messages == 1 ? " message" : " messages");
}

bool IsHelpFile(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".hlf";
}

// "FILE: language English, 40 topics"; then on standard error what the host would show wrongly
// and every topic the code names that the file lacks.
int CheckHelpFileText(const std::string& path, const std::string& text,
                      const HelpTopicScan::Result* code, std::ostream& out, std::ostream& err) {
  const FarLib::HelpFile file = FarLib::ParseHelpFile(text);
  out << path << ": language " << (file.Language.empty() ? "none" : file.Language) << ", "
      << file.Topics.size() << (file.Topics.size() == 1 ? " topic" : " topics") << '\n';
  int status = kExitOk;
  for (const FarLib::LanguageFileIssue& issue : FarLib::CheckHelpFile(text)) {
    err << path << ':' << issue.Line << ": " << issue.Reason << '\n';
    status = kExitFailed;
  }
  if (!code) return status;
  std::set<std::string> reported;
  for (const HelpTopicScan::Use& use : code->Uses) {
    if (file.Find(use.Topic) || !reported.insert(use.Topic).second) continue;
    err << path << ":0: no topic " << use.Topic << ", which " << use.File << ':' << use.Line
        << " names\n";
    status = kExitFailed;
  }
  return status;
}

int CheckLanguageFiles(const CArguments& arguments, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  std::optional<HelpTopicScan::Result> code;
  if (const auto sources = arguments.m_values.find(kSourcesOption);
      sources != arguments.m_values.end()) {
    code = HelpTopicScan::ScanSources(sources->second);
    if (code->Uses.empty()) return Fail(err, sources->second + ": no help topics found in sources");
    for (const HelpTopicScan::Use& use : code->Unresolved) {
      status = Fail(err, sources->second + "/" + use.File + ":" + std::to_string(use.Line) +
                             ": help topic " + use.Topic +
                             " is neither a string literal nor a k...Topic constant");
    }
  }
  for (const std::string& path : arguments.m_operands) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) {
      status = Fail(err, path + ": cannot be read");
      continue;
    }
    if (IsHelpFile(path)) {
      if (CheckHelpFileText(path, *text, code ? &*code : nullptr, out, err) != kExitOk) {
        status = kExitFailed;
      }
      continue;
    }
    out << DescribeLanguageFile(path, FarLib::ParseLanguageFile(*text)) << '\n';
    std::vector<FarLib::LanguageFileIssue> issues = FarLib::CheckLanguageFile(*text);
    for (FarLib::LanguageFileIssue& issue : FarLib::CheckMessageFormats(*text)) {
      issues.push_back(std::move(issue));
    }
    for (const FarLib::LanguageFileIssue& issue : issues) {
      err << path << ':' << issue.Line << ": " << issue.Reason << '\n';
      status = kExitFailed;
    }
  }
  return status;
}

const std::array<CCommand, 7> kCommands = {{
    {"charset",
     "decode",
     "--charset NAME [--hex] PHONETEXT",
     {kCharsetOption},
     {kHexOption},
     DecodeCharset},
    {"charset",
     "encode",
     "--charset NAME [--hex] TEXT",
     {kCharsetOption},
     {kHexOption},
     EncodeCharset},
    {"septets", "pack", "HEX", {}, {}, PackSeptetsCommand},
    {"septets", "unpack", "--count N HEX", {kCountOption}, {}, UnpackSeptetsCommand},
    {"pdu", "decode", "[--outgoing] HEX", {}, {kOutgoingOption}, DecodePdu},
    {"pdu",
     "encode",
     "--to NUMBER [--sca NUMBER] [--reference N] TEXT",
     {kToOption},
     {},
     EncodePdu,
     {kScaOption, kReferenceOption}},
    {"lng", "check", "[--sources DIR] FILE...", {}, {}, CheckLanguageFiles, {kSourcesOption}, true},
}};

int Usage(std::ostream& err) {
  err << "usage:\n";
  for (const CCommand& command : kCommands) {
    err << "  zantel-tool " << command.m_group << ' ' << command.m_action << ' '
        << command.m_synopsis << '\n';
  }
  err << "  zantel-tool --version\n";
  err << "Text arguments and output are UTF-8; --hex gives or prints the phone text as hexadecimal bytes.\n"
         "pdu decode prints the message record as JSON (--outgoing: a message going to the service centre);\n"
         "pdu encode prints the SMS-SUBMIT lines of the message, one per part.\n"
         "lng check prints each language file's blocks, languages and messages, and its malformed lines\n"
         "on standard error (line 0: the file as a whole), with every message whose printf placeholders\n"
         "differ from what the plug-in's code passes it. Help files (.hlf) get their topics counted and\n"
         "checked: the language line, .PluginContents, a Contents topic, a title for every topic, links\n"
         "that lead to topics of the file; with --sources, every help topic the code under DIR names.\n"
         "Exit status: 0 done, 1 the conversion failed (lng check: a malformed line, a wrong placeholder,\n"
         "a help file's fault or missing topic, or an unreadable file),\n"
         "2 bad usage.\n";
  return kExitUsage;
}

bool Contains(const std::vector<std::string_view>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Options may come in any order around the single operand; each may be given once.
std::optional<CArguments> ParseArguments(const CCommand& command,
                                         const std::vector<std::string>& words) {
  CArguments arguments;
  for (size_t index = 0; index < words.size(); ++index) {
    const std::string& word = words[index];
    const bool takesValue =
        Contains(command.m_requiredValues, word) || Contains(command.m_optionalValues, word);
    if (takesValue && index + 1 < words.size()) {
      if (!arguments.m_values.emplace(word, words[++index]).second) {
        return std::nullopt;
      }
    } else if (Contains(command.m_allowedFlags, word) && !arguments.HasFlag(word)) {
      arguments.m_flags.push_back(word);
    } else if (word.starts_with("--")) {
      return std::nullopt;
    } else {
      arguments.m_operands.push_back(word);
    }
  }
  const bool hasRequired =
      std::all_of(command.m_requiredValues.begin(), command.m_requiredValues.end(),
                  [&](std::string_view option) { return arguments.m_values.contains(option); });
  const bool operandsFit =
      command.m_manyOperands ? !arguments.m_operands.empty() : arguments.m_operands.size() == 1;
  if (!operandsFit || !hasRequired) {
    return std::nullopt;
  }
  return arguments;
}

int RunTool(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  if (words.size() < 2) {
    return Usage(err);
  }
  const auto command =
      std::find_if(kCommands.begin(), kCommands.end(), [&](const CCommand& candidate) {
        return candidate.m_group == words[0] && candidate.m_action == words[1];
      });
  if (command == kCommands.end()) {
    return Usage(err);
  }
  const auto arguments = ParseArguments(*command, {words.begin() + 2, words.end()});
  return arguments ? command->m_run(*arguments, out, err) : Usage(err);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (words == std::vector<std::string>{"--version"}) {
    std::cout << "zantel-tool " << ZANTEL_VERSION << '\n';
    return kExitOk;
  }
  return RunTool(words, std::cout, std::cerr);
}

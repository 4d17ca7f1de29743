// zantel-tool: developer commands for looking at what the plug-in's conversions do with a
// piece of phone text, without a phone or a host. Each command is one row of kCommands.

#include <algorithm>
#include <array>
#include <charconv>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/charset.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kHexOption = "--hex";
constexpr std::string_view kCharsetOption = "--charset";
constexpr std::string_view kCountOption = "--count";

// The words after the command's two names: options (with or without a value) and operands.
struct CArguments {
    std::map<std::string, std::string, std::less<>> m_values;
    std::vector<std::string> m_flags;
    std::vector<std::string> m_operands;

    bool HasFlag(std::string_view flag) const
    {
        return std::find(m_flags.begin(), m_flags.end(), flag) != m_flags.end();
    }

    // Only for options the command requires: parsing has made sure they are there.
    const std::string& Value(std::string_view option) const
    {
        return m_values.find(option)->second;
    }
};

struct CCommand {
    std::string_view m_group;
    std::string_view m_action;
    std::string_view m_synopsis;
    std::vector<std::string_view> m_requiredValues;
    std::vector<std::string_view> m_allowedFlags;
    int (*m_run)(const CArguments& arguments, std::ostream& out, std::ostream& err);
};

int Usage(std::ostream& err);

int Fail(std::ostream& err, std::string_view why)
{
    err << "zantel-tool: " << why << '\n';
    return kExitFailed;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char upper = static_cast<char>(c & ~0x20);
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

// Byte pairs in either case; white space between the digits is ignored so dumps can be pasted.
std::optional<std::string> ParseHexBytes(std::string_view text)
{
    std::string digits;
    for (const char c : text) {
        if (HexDigit(c) >= 0) {
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
        bytes.push_back(static_cast<char>(HexDigit(digits[pos]) * 16 + HexDigit(digits[pos + 1])));
    }
    return bytes;
}

std::string FormatHexBytes(std::string_view bytes)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hex.push_back(kDigits[value >> 4]);
        hex.push_back(kDigits[value & 0xF]);
    }
    return hex;
}

int DecodeCharset(const CArguments& arguments, std::ostream& out, std::ostream& err)
{
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
        return Fail(err, "the phone text is not valid " + charset + " after " + std::to_string(wide.size()) +
                             " characters");
    }
    out << WideToUtf8(wide) << '\n';
    return kExitOk;
}

// The conversions stop at the first character they cannot write; naming it is what helps.
std::string DescribeUnwritable(const WideString& wide, const std::string& charset)
{
    for (size_t index = 0; index < wide.size(); ++index) {
        std::string scratch;
        if (!WideToPhone(wide.substr(index, 1), charset, scratch)) {
            const char unit[] = {static_cast<char>(wide[index] >> 8), static_cast<char>(wide[index] & 0xFF)};
            return "character " + std::to_string(index + 1) + " (U+" + FormatHexBytes({unit, 2}) +
                   ") cannot be written in " + charset;
        }
    }
    return "the text cannot be written in " + charset;
}

int EncodeCharset(const CArguments& arguments, std::ostream& out, std::ostream& err)
{
    const std::string& charset = arguments.Value(kCharsetOption);
    const WideString wide = Utf8ToWide(arguments.m_operands.front());
    std::string phone;
    if (!WideToPhone(wide, charset, phone)) {
        return Fail(err, DescribeUnwritable(wide, charset));
    }
    out << (arguments.HasFlag(kHexOption) ? FormatHexBytes(phone) : phone) << '\n';
    return kExitOk;
}

int PackSeptetsCommand(const CArguments& arguments, std::ostream& out, std::ostream& err)
{
    const auto septets = ParseHexBytes(arguments.m_operands.front());
    if (!septets) {
        return Fail(err, "the septets are not hexadecimal byte pairs");
    }
    const auto highByte = std::find_if(septets->begin(), septets->end(), [](char c) { return (c & 0x80) != 0; });
    if (highByte != septets->end()) {
        return Fail(err, "byte " + std::to_string(highByte - septets->begin() + 1) + " is above 7F, not a septet");
    }
    std::string octets;
    PackSeptets(*septets, octets);
    out << FormatHexBytes(octets) << '\n';
    return kExitOk;
}

std::optional<size_t> ParseCount(std::string_view text)
{
    size_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return count;
}

int UnpackSeptetsCommand(const CArguments& arguments, std::ostream& out, std::ostream& err)
{
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
    out << FormatHexBytes(septets) << '\n';
    return kExitOk;
}

const std::array<CCommand, 4> kCommands = {{
    {"charset", "decode", "--charset NAME [--hex] PHONETEXT", {kCharsetOption}, {kHexOption}, DecodeCharset},
    {"charset", "encode", "--charset NAME [--hex] TEXT", {kCharsetOption}, {kHexOption}, EncodeCharset},
    {"septets", "pack", "HEX", {}, {}, PackSeptetsCommand},
    {"septets", "unpack", "--count N HEX", {kCountOption}, {}, UnpackSeptetsCommand},
}};

int Usage(std::ostream& err)
{
    err << "usage:\n";
    for (const CCommand& command : kCommands) {
        err << "  zantel-tool " << command.m_group << ' ' << command.m_action << ' ' << command.m_synopsis << '\n';
    }
    err << "Text arguments and output are UTF-8; --hex gives or prints the phone text as hexadecimal bytes.\n"
           "Exit status: 0 done, 1 the conversion failed, 2 bad usage.\n";
    return kExitUsage;
}

bool Contains(const std::vector<std::string_view>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Options may come in any order around the single operand; each may be given once.
std::optional<CArguments> ParseArguments(const CCommand& command, const std::vector<std::string>& words)
{
    CArguments arguments;
    for (size_t index = 0; index < words.size(); ++index) {
        const std::string& word = words[index];
        if (Contains(command.m_requiredValues, word) && index + 1 < words.size()) {
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
    if (arguments.m_operands.size() != 1 || arguments.m_values.size() != command.m_requiredValues.size()) {
        return std::nullopt;
    }
    return arguments;
}

int RunTool(const std::vector<std::string>& words, std::ostream& out, std::ostream& err)
{
    if (words.size() < 2) {
        return Usage(err);
    }
    const auto command = std::find_if(kCommands.begin(), kCommands.end(), [&](const CCommand& candidate) {
        return candidate.m_group == words[0] && candidate.m_action == words[1];
    });
    if (command == kCommands.end()) {
        return Usage(err);
    }
    const auto arguments = ParseArguments(*command, {words.begin() + 2, words.end()});
    return arguments ? command->m_run(*arguments, out, err) : Usage(err);
}

}  // namespace

int main(int argc, char** argv)
{
    return RunTool({argv + 1, argv + argc}, std::cout, std::cerr);
}

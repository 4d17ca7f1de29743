#include "sms/message_parts.h"

#include <chrono>
#include <random>

#include "sms/pdu_encoder.h"

namespace {

constexpr uint8_t kGeneralUcs2 = 0x08;
constexpr uint8_t kGeneralWithClass = 0x10;
constexpr uint8_t kClassGroup = 0xF0;
constexpr uint8_t kClassMask = 0x03;
constexpr size_t kMaxParts = 255;

constexpr size_t kUserDataOctets = 140;

// The system's random source where it has one, mixed with the clock where it has none.
uint32_t RandomNumber() {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  uint32_t number = static_cast<uint32_t>(ticks) ^ static_cast<uint32_t>(ticks >> 32);
  try {
    number ^= std::random_device{}();
  } catch (const std::exception&) {
  }
  return number;
}

struct CLimits {
  size_t single;
  size_t part;
};

// What is left of the user data after the header, in the alphabet's units.
CLimits LimitsFor(SmsAlphabet alphabet, uint16_t reference) {
  // The concatenation element and the header length octet: 8-bit references take one less.
  const size_t headerOctets = reference < 256 ? 6 : 7;
  switch (alphabet) {
    case SmsAlphabet::kDefault:
      return {kUserDataOctets * 8 / 7, (kUserDataOctets - headerOctets) * 8 / 7};
    case SmsAlphabet::kUcs2: return {kUserDataOctets / 2, (kUserDataOctets - headerOctets) / 2};
    default: return {kUserDataOctets, kUserDataOctets - headerOctets};
  }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The units of the character that starts at `pos`: a surrogate pair stays together.
size_t CharacterUnits(const WideString& text, size_t pos) {
  return IsHighSurrogate(text[pos]) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1]) ? 2
                                                                                              : 1;
}

size_t CharacterCost(const WideString& text, size_t pos, size_t units, SmsAlphabet alphabet) {
  std::string septets;
  if (alphabet == SmsAlphabet::kDefault && WideToGsm(text.substr(pos, units), septets)) {
    return septets.size();
  }
  return units;
}

// 8-bit data carries one octet per character, so a character above U+00FF cannot go in it
// even when the default alphabet has it.
bool NeedsUcs2(const CSMSMessage& message) {
  if (!IsGsmText(message.wideText)) {
    return true;
  }
  const SmsAlphabet alphabet = message.Alphabet();
  if (alphabet != SmsAlphabet::kEightBit && alphabet != SmsAlphabet::kUnknown) {
    return false;
  }
  for (const char16_t unit : message.wideText) {
    if (unit > 0xFF) {
      return true;
    }
  }
  return false;
}

}  // namespace

void ChooseCoding(CSMSMessage& message) {
  if (!NeedsUcs2(message)) {
    return;
  }
  message.dcs = static_cast<uint8_t>((message.dcs & ~0x04) | kGeneralUcs2);
  if (message.Alphabet() == SmsAlphabet::kUcs2) {
    return;
  }
  // The groups that cannot say UCS2 give way to the general group.
  const bool classGroup = (message.dcs & kClassGroup) == kClassGroup;
  message.dcs =
      classGroup
          ? static_cast<uint8_t>(kGeneralWithClass | kGeneralUcs2 | (message.dcs & kClassMask))
          : kGeneralUcs2;
}

CMessageParts SplitText(const WideString& text, SmsAlphabet alphabet, uint16_t reference) {
  const CLimits limits = LimitsFor(alphabet, reference);
  CMessageParts result;
  result.singleLimit = limits.single;
  std::vector<size_t> cuts{0};
  size_t partCost = 0;
  for (size_t pos = 0; pos < text.size();) {
    const size_t units = CharacterUnits(text, pos);
    const size_t cost = CharacterCost(text, pos, units, alphabet);
    if (partCost + cost > limits.part) {
      cuts.push_back(pos);
      partCost = 0;
    }
    partCost += cost;
    result.length += cost;
    pos += units;
  }
  if (result.length <= limits.single) {
    result.parts.push_back(text);
    return result;
  }
  cuts.push_back(text.size());
  for (size_t index = 0; index + 1 < cuts.size(); ++index) {
    result.parts.push_back(text.substr(cuts[index], cuts[index + 1] - cuts[index]));
  }
  return result;
}

std::vector<std::string> EncodeParts(CSMSMessage& message, const std::vector<WideString>& parts,
                                     uint16_t reference) {
  if (parts.empty() || parts.size() > kMaxParts) {
    return {};
  }
  message.concatenated = parts.size() > 1;
  if (message.concatenated) {
    message.concatReference = reference;
    message.partCount = static_cast<uint8_t>(parts.size());
  }
  std::vector<std::string> pdus;
  WideString whole;
  for (size_t index = 0; index < parts.size(); ++index) {
    if (message.concatenated) {
      message.partNumber = static_cast<uint8_t>(index + 1);
    }
    message.wideText = parts[index];
    whole += parts[index];
    pdus.push_back(Encode(message));
    if (pdus.back().empty()) {
      return {};
    }
  }
  message.wideText = whole;
  return pdus;
}

uint16_t TakeConcatReference(uint32_t& next) {
  constexpr uint32_t kEightBitReferences = 256;
  if (next >= kEightBitReferences) next = RandomNumber() % kEightBitReferences;
  const auto reference = static_cast<uint16_t>(next);
  next = (next + 1) % kEightBitReferences;
  return reference;
}

#include "sms/pdu_encoder.h"

#include <algorithm>

#include "encoding/hex_digits.h"

namespace {

constexpr uint8_t kUserDataHeaderIndicator = 0x40;
constexpr uint8_t kValidityFormatMask = 0x18;
constexpr uint8_t kValidityRelative = 0x10;
constexpr uint8_t kNumberTypeMask = 0x70;
constexpr uint8_t kAlphanumericNumber = 0x50;

constexpr uint8_t kConcat8BitElement = 0x00;
constexpr uint8_t kConcat16BitElement = 0x08;

// GSM 03.40 gives an address at most 10 value octets; the length octets could not say more
// than 255 either way.
constexpr size_t kMaxAddressDigits = 20;
constexpr size_t kMaxUserDataSeptets = 160;
constexpr size_t kMaxUserDataOctets = 140;

std::string_view WithoutPlus(std::string_view number) {
  return !number.empty() && number.front() == '+' ? number.substr(1) : number;
}

// Semi-octets carry digits alone here: any other character would be packed as some digit and
// send the message elsewhere.
bool IsDialledNumber(std::string_view digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AppendServiceCentre(const CSMSMessage& message, std::string& octets) {
  if (message.sca.empty()) {
    octets.push_back('\0');
    return true;
  }
  const std::string_view digits = WithoutPlus(message.sca);
  if (digits.size() > kMaxAddressDigits || !IsDialledNumber(digits)) {
    return false;
  }
  const std::string value = SemiOctets(message.sca);
  octets.push_back(static_cast<char>(value.size() + 1));
  octets.push_back(static_cast<char>(message.scaType));
  octets += value;
  return true;
}

// An alphanumeric destination holds septet codes, the way the decoder leaves them; its length
// counts the semi-octets the packed septets fill.
bool AppendDestination(const CSMSMessage& message, std::string& octets) {
  const std::string_view digits = WithoutPlus(message.address);
  std::string value;
  size_t length = digits.size();
  if ((message.addressType & kNumberTypeMask) == kAlphanumericNumber) {
    if (std::any_of(message.address.begin(), message.address.end(),
                    [](char c) { return (c & 0x80) != 0; })) {
      return false;
    }
    PackSeptets(message.address, value);
    length = (message.address.size() * 7 + 3) / 4;
  } else {
    if (!IsDialledNumber(digits)) return false;
    value = SemiOctets(digits);
  }
  if (length > kMaxAddressDigits) {
    return false;
  }
  octets.push_back(static_cast<char>(length));
  octets.push_back(static_cast<char>(message.addressType));
  octets += value;
  return true;
}

// A message sent again keeps a relative validity period only: an absolute one, or an enhanced
// one (which may be absolute too), may be past by now, and the centre would refuse the message
// or let it expire at once. Anything else goes without, its format bits cleared.
std::string ValidityField(CSMSMessage& message) {
  const uint8_t format = message.firstOctet & kValidityFormatMask;
  if (format == kValidityRelative && message.validityOctets.size() == 1) {
    return message.validityOctets;
  }
  message.firstOctet &= static_cast<uint8_t>(~kValidityFormatMask);
  return {};
}

// The header fills whole septets; the fill bits after it stay zero.
bool AppendSeptets(const CSMSMessage& message, const std::string& header, std::string& octets) {
  std::string septets;
  if (!WideToGsm(message.wideText, septets)) {
    return false;
  }
  const size_t headerSeptets = (header.size() * 8 + 6) / 7;
  septets.insert(0, headerSeptets, '\0');
  if (septets.size() > kMaxUserDataSeptets) {
    return false;
  }
  std::string packed;
  PackSeptets(septets, packed);
  std::copy(header.begin(), header.end(), packed.begin());
  octets.push_back(static_cast<char>(septets.size()));
  octets += packed;
  return true;
}

// UCS2 units high octet first; 8-bit data one octet per character, as the decoder reads it.
bool AppendOctets(const CSMSMessage& message, const std::string& header, std::string& octets) {
  std::string data = header;
  for (const char16_t unit : message.wideText) {
    if (message.Alphabet() == SmsAlphabet::kUcs2) {
      data.push_back(static_cast<char>(unit >> 8));
    } else if (unit > 0xFF) {
      return false;
    }
    data.push_back(static_cast<char>(unit & 0xFF));
  }
  if (data.size() > kMaxUserDataOctets) {
    return false;
  }
  octets.push_back(static_cast<char>(data.size()));
  octets += data;
  return true;
}

}  // namespace

std::string SemiOctets(std::string_view number) {
  const std::string_view digits = WithoutPlus(number);
  std::string octets;
  size_t pos = 0;
  for (; pos + 1 < digits.size(); pos += 2) {
    octets.push_back(static_cast<char>((digits[pos] - '0') + 16 * (digits[pos + 1] - '0')));
  }
  if (pos < digits.size()) {
    octets.push_back(static_cast<char>((digits[pos] - '0') | 0xF0));
  }
  return octets;
}

std::string BuildHeader(const CSMSMessage& message) {
  if (!message.concatenated) {
    return {};
  }
  std::string element;
  if (message.concatReference < 256) {
    element = {static_cast<char>(kConcat8BitElement), 3,
               static_cast<char>(message.concatReference)};
  } else {
    element = {static_cast<char>(kConcat16BitElement), 4,
               static_cast<char>(message.concatReference >> 8),
               static_cast<char>(message.concatReference & 0xFF)};
  }
  element.push_back(static_cast<char>(message.partCount));
  element.push_back(static_cast<char>(message.partNumber));
  return static_cast<char>(element.size()) + element;
}

std::string Encode(CSMSMessage& message) {
  const std::string header = BuildHeader(message);
  if (header.empty()) {
    message.firstOctet &= static_cast<uint8_t>(~kUserDataHeaderIndicator);
  } else {
    message.firstOctet |= kUserDataHeaderIndicator;
  }
  const std::string validity = ValidityField(message);
  std::string octets;
  if (!AppendServiceCentre(message, octets)) {
    return {};
  }
  octets.push_back(static_cast<char>(message.firstOctet));
  octets.push_back(static_cast<char>(message.messageReference));
  if (!AppendDestination(message, octets)) {
    return {};
  }
  octets.push_back(static_cast<char>(message.pid));
  octets.push_back(static_cast<char>(message.dcs));
  octets += validity;
  const bool encoded = message.Alphabet() == SmsAlphabet::kDefault
                           ? AppendSeptets(message, header, octets)
                           : AppendOctets(message, header, octets);
  return encoded ? OctetsToHex(octets) : std::string();
}

// Decoding of the PDU lines that "+CMGL:" lists: the service-centre address of GSM 07.05 and
// one TPDU of GSM 03.40. Every length in them comes from the phone and is checked against the
// octets that are really there.

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "encoding/hex_digits.h"
#include "sms/octet_reader.h"
#include "sms/sms_message.h"

namespace {

enum class AddressLength { kOctets, kSemiOctets };

constexpr uint8_t kNumberTypeMask = 0x70;
constexpr uint8_t kInternationalNumber = 0x10;
constexpr uint8_t kAlphanumericNumber = 0x50;

constexpr uint8_t kMessageTypeMask = 0x03;
constexpr uint8_t kUserDataHeaderIndicator = 0x40;
constexpr uint8_t kValidityFormatMask = 0x18;
constexpr uint8_t kValidityEnhanced = 0x08;
constexpr uint8_t kValidityRelative = 0x10;
constexpr uint8_t kValidityAbsolute = 0x18;
constexpr uint8_t kNoMoreMessagesBit = 0x04;
constexpr uint8_t kStatusOfCommandBit = 0x20;

constexpr size_t kTimestampOctets = 7;
constexpr size_t kValidityOctets = 7;

constexpr uint8_t kConcat8BitElement = 0x00;
constexpr uint8_t kConcat16BitElement = 0x08;

// HexDigitValue of every byte, looked up: each message's whole line passes through it.
constexpr std::array<int8_t, 256> kHexDigitValues = [] {
  std::array<int8_t, 256> values{};
  for (size_t c = 0; c < values.size(); ++c) {
    values[c] = static_cast<int8_t>(HexDigitValue(static_cast<char>(c)));
  }
  return values;
}();

// Pairs of hexadecimal digits in either case; an odd last digit is ignored.
bool HexToOctets(std::string_view hex, std::string& octets) {
  octets.resize(hex.size() / 2);
  for (size_t at = 0; at < octets.size(); ++at) {
    const int high = kHexDigitValues[static_cast<uint8_t>(hex[2 * at])];
    const int low = kHexDigitValues[static_cast<uint8_t>(hex[2 * at + 1])];
    if ((high | low) < 0) {
      return false;
    }
    octets[at] = static_cast<char>(high * 16 + low);
  }
  return true;
}

// The first `nibbles` semi-octets (at most two per octet of the value), each octet giving its
// low nibble, then its high nibble; a high nibble of A or more (the filler F in particular) is
// dropped, a low one becomes one of ":;<=>?".
void AppendSemiOctetDigits(std::string_view value, size_t nibbles, std::string& digits) {
  // A length octet counts at most 255 octets, so at most 508 nibbles.
  std::array<char, 512> buffer;
  size_t count = 0;
  for (size_t at = 0; at < nibbles / 2; ++at) {
    const auto octet = static_cast<uint8_t>(value[at]);
    buffer[count++] = static_cast<char>(0x30 | (octet & 0x0F));
    if (octet < 0xA0) {
      buffer[count++] = static_cast<char>(0x30 | (octet >> 4));
    }
  }
  if (nibbles % 2 != 0) {
    buffer[count++] = static_cast<char>(0x30 | (static_cast<uint8_t>(value[nibbles / 2]) & 0x0F));
  }
  digits.append(buffer.data(), count);
}

// The SC address counts its octets (type included), the message address its digits (type
// excluded): a nibble after that count is no digit of the number, whatever it holds. Either way
// the value's own octets must be there.
bool ReadAddress(COctetReader& reader, AddressLength kind, std::string& text, uint8_t& type) {
  text.clear();
  uint8_t length = 0;
  if (!reader.Read(length)) {
    return false;
  }
  if (length == 0) {
    return kind == AddressLength::kOctets || reader.Read(type);
  }
  const bool semiOctets = kind == AddressLength::kSemiOctets;
  const size_t valueOctets = semiOctets ? (length + 1u) / 2 : length - 1u;
  std::string_view value;
  if (!reader.Read(type) || !reader.Take(valueOctets, value)) {
    return false;
  }
  if ((type & kNumberTypeMask) == kAlphanumericNumber) {
    const size_t septets = semiOctets ? length * 4u / 7 : valueOctets * 8 / 7;
    UnpackSeptets(value, septets, text);
    return true;
  }
  if ((type & kNumberTypeMask) == kInternationalNumber) {
    text.push_back('+');
  }
  AppendSemiOctetDigits(value, semiOctets ? length : valueOctets * 2, text);
  return true;
}

// A concatenation element of the wrong size ends the walk as a failure; what was stored before
// stays, and the message still decodes.
bool ParseHeader(std::string_view header, CSMSMessage& message) {
  message.header.assign(header);
  size_t offset = 0;
  while (offset < header.size()) {
    if (offset + 1 >= header.size()) {
      return false;
    }
    const uint8_t element = OctetAt(header, offset);
    const size_t elementLength = OctetAt(header, offset + 1);
    if (offset + 2 + elementLength > header.size()) {
      return false;
    }
    const std::string_view data = header.substr(offset + 2, elementLength);
    if (element == kConcat8BitElement || element == kConcat16BitElement) {
      const size_t referenceLength = element == kConcat8BitElement ? 1 : 2;
      if (elementLength != referenceLength + 2) {
        return false;
      }
      message.concatenated = true;
      message.concat16Bit = referenceLength == 2;
      message.concatReference = static_cast<uint16_t>(
          referenceLength == 1 ? OctetAt(data, 0) : OctetAt(data, 0) * 256 + OctetAt(data, 1));
      message.partCount = OctetAt(data, referenceLength);
      message.partNumber = OctetAt(data, referenceLength + 1);
    }
    offset += elementLength + 2;
  }
  return true;
}

// Septets counted from the header length octet: the header and its fill bits come first.
void DecodeSeptetsAfterHeader(std::string_view fromHeader, size_t septetCount, size_t headerLength,
                              WideString& text) {
  std::string septets;
  UnpackSeptets(fromHeader, septetCount, septets);
  const size_t headerSeptets = (headerLength * 8 + 14) / 7;
  GsmToWide(std::string_view(septets).substr(std::min(headerSeptets, septets.size())), text);
}

void DecodeOctets(std::string_view data, SmsAlphabet alphabet, WideString& text) {
  text.clear();
  if (alphabet == SmsAlphabet::kUcs2) {
    for (size_t pos = 0; pos + 1 < data.size(); pos += 2) {
      text.push_back(static_cast<char16_t>(OctetAt(data, pos) * 256 + OctetAt(data, pos + 1)));
    }
    return;
  }
  for (const char octet : data) {
    const auto value = static_cast<uint8_t>(octet);
    if (alphabet == SmsAlphabet::kEightBit) {
      text.push_back(value);
    } else {
      text.append({static_cast<char16_t>(kUpperHexDigits[value >> 4]),
                   static_cast<char16_t>(kUpperHexDigits[value & 0xF]), u' '});
    }
  }
}

// User data shorter than its length decodes as far as it goes: no character is invented for
// octets that are not there.
bool ReadUserData(COctetReader& reader, CSMSMessage& message) {
  uint8_t length = 0;
  if (!reader.Read(length)) {
    return false;
  }
  const SmsAlphabet alphabet = message.Alphabet();
  size_t headerOctets = 0;
  if ((message.firstOctet & kUserDataHeaderIndicator) != 0) {
    const std::string_view fromHeader = reader.Rest();
    uint8_t headerLength = 0;
    std::string_view header;
    if (!reader.Read(headerLength) || !reader.Take(headerLength, header)) {
      return false;
    }
    ParseHeader(header, message);
    headerOctets = headerLength + 1u;
    if (alphabet == SmsAlphabet::kDefault) {
      DecodeSeptetsAfterHeader(fromHeader, length, headerLength, message.wideText);
      message.text = WideToOem(message.wideText);
      return true;
    }
  }
  if (alphabet == SmsAlphabet::kDefault) {
    UnpackGsmText(reader.Rest(), length, message.wideText);
  } else {
    const size_t dataOctets = length > headerOctets ? length - headerOctets : 0;
    DecodeOctets(reader.TakeUpTo(dataOctets), alphabet, message.wideText);
  }
  message.text = WideToOem(message.wideText);
  return true;
}

bool ReadTimestamp(COctetReader& reader, CSMSMessage& message) {
  if (!reader.Take(kTimestampOctets, message.timestampOctets)) {
    return false;
  }
  message.timestamp = DecodeTimestamp(message.timestampOctets);
  return true;
}

void DecodeEnhancedValidity(CSMSMessage& message) {
  const std::string_view octets = message.validityOctets;
  size_t index = 0;
  while (index < kValidityOctets - 1 && (OctetAt(octets, index) & 0x80) != 0) {
    ++index;
  }
  const uint8_t functionality = OctetAt(octets, index);
  message.singleShot = (functionality & 0x40) != 0;
  switch (functionality & 0x07) {
    case 0: message.validitySeconds = -1; break;
    case 1: message.validitySeconds = RelativeValidity(OctetAt(octets, index + 1)); break;
    case 2: message.validitySeconds = OctetAt(octets, index + 1); break;
    case 3:
      message.validitySeconds = index < 4 ? SwappedBcd(OctetAt(octets, index + 1)) * 3600 +
                                                SwappedBcd(OctetAt(octets, index + 2)) * 60 +
                                                SwappedBcd(OctetAt(octets, index + 3))
                                          : -1;
      break;
    default: break;
  }
}

bool ReadValidity(COctetReader& reader, CSMSMessage& message) {
  switch (message.firstOctet & kValidityFormatMask) {
    case kValidityRelative:
      if (!reader.Take(1, message.validityOctets)) {
        return false;
      }
      message.validitySeconds = RelativeValidity(OctetAt(message.validityOctets, 0));
      message.singleShot = false;
      return true;
    case kValidityAbsolute:
      if (!reader.Take(kValidityOctets, message.validityOctets)) {
        return false;
      }
      message.validitySeconds = 0;
      message.validUntil = DecodeTimestamp(message.validityOctets);
      message.singleShot = false;
      return true;
    case kValidityEnhanced:
      if (!reader.Take(kValidityOctets, message.validityOctets)) {
        return false;
      }
      DecodeEnhancedValidity(message);
      return true;
    default: return true;
  }
}

bool DecodeDeliver(COctetReader& reader, CSMSMessage& message) {
  return ReadAddress(reader, AddressLength::kSemiOctets, message.address, message.addressType) &&
         reader.Read(message.pid) && reader.Read(message.dcs) && ReadTimestamp(reader, message) &&
         ReadUserData(reader, message);
}

bool DecodeSubmit(COctetReader& reader, CSMSMessage& message) {
  message.timestamp = 0;
  return reader.Read(message.messageReference) &&
         ReadAddress(reader, AddressLength::kSemiOctets, message.address, message.addressType) &&
         reader.Read(message.pid) && reader.Read(message.dcs) && ReadValidity(reader, message) &&
         ReadUserData(reader, message);
}

const char* StatusLabel(uint8_t status) {
  if (status <= 2) {
    return "Delivered to: ";
  }
  if (status <= 31) {
    return "Delivered(?) to: ";
  }
  if (status <= 63) {
    return "Not delivered to: ";
  }
  if (status <= 127) {
    return "Delivery failure: ";
  }
  return "Report: ";
}

bool DecodeStatusReport(COctetReader& reader, CSMSMessage& message) {
  // One allocation for the whole text, the result line included.
  message.text.reserve(64);
  message.text.assign("Msgs waiting in SC: ");
  message.text += (message.firstOctet & kNoMoreMessagesBit) != 0 ? "No" : "Yes";
  message.text += "\nResult of: ";
  message.text += (message.firstOctet & kStatusOfCommandBit) != 0 ? "Command" : "Submit";
  std::string dischargeTime;
  if (!reader.Read(message.messageReference) ||
      !ReadAddress(reader, AddressLength::kSemiOctets, message.address, message.addressType) ||
      reader.Remaining() < 2 * kTimestampOctets || !ReadTimestamp(reader, message) ||
      !reader.Take(kTimestampOctets, dischargeTime) || !reader.Read(message.pid)) {
    return false;
  }
  message.text += "\nResult: ";
  message.text += std::to_string(message.pid);
  message.label = StatusLabel(message.pid);
  message.wideText = OemToWide(message.text);
  return true;
}

bool KeepUndecodedReport(CSMSMessage& message, const char* label) {
  message.label = label;
  message.text = message.pdu;
  message.wideText = OemToWide(message.text);
  return true;
}

}  // namespace

bool CSMSMessage::Decode(std::string_view hex) {
  pdu.assign(hex);
  std::string octets;
  if (!HexToOctets(hex, octets)) {
    return false;
  }
  COctetReader reader(octets);
  if (!ReadAddress(reader, AddressLength::kOctets, sca, scaType) || !reader.Read(firstOctet)) {
    return false;
  }
  switch (firstOctet & kMessageTypeMask) {
    case 0:
      return fromServiceCentre ? DecodeDeliver(reader, *this)
                               : KeepUndecodedReport(*this, "Deliver report: ");
    case 1:
      return fromServiceCentre ? KeepUndecodedReport(*this, "Submit report: ")
                               : DecodeSubmit(reader, *this);
    case 2:
      return fromServiceCentre ? DecodeStatusReport(reader, *this)
                               : KeepUndecodedReport(*this, "Command: ");
    default: return false;
  }
}

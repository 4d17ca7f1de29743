#include "sms/sms_message.h"

#include <cstdio>
#include <utility>

#include "sms/octet_reader.h"

namespace {

constexpr uint8_t kInternationalType = 145;
constexpr uint8_t kSubmitFirstOctet = 0x01;

constexpr size_t kTimestampOctets = 7;
constexpr uint8_t kZoneSignBit = 0x08;
constexpr int64_t kTicksPerQuarterHour = 9'000'000'000;

int ZoneQuarters(uint8_t octet) {
  const int quarters = (octet & 0x07) * 10 + (octet >> 4);
  return (octet & kZoneSignBit) != 0 ? -quarters : quarters;
}

SmsAlphabet GeneralGroupAlphabet(uint8_t dcs) {
  switch ((dcs >> 2) & 0x03) {
    case 0: return SmsAlphabet::kDefault;
    case 1: return SmsAlphabet::kEightBit;
    case 2: return SmsAlphabet::kUcs2;
    default: return SmsAlphabet::kUnknown;
  }
}

}  // namespace

CSMSMessage::CSMSMessage(bool fromServiceCentre, std::string sca, uint8_t scaType)
    : fromServiceCentre(fromServiceCentre),
      scaType(scaType),
      sca(std::move(sca)),
      addressType(kInternationalType),
      firstOctet(fromServiceCentre ? 0x00 : kSubmitFirstOctet) {}

SmsAlphabet CSMSMessage::Alphabet() const {
  switch (dcs & 0xF0) {
    case 0x00:
    case 0x10:
    case 0x20:
    case 0x30: return GeneralGroupAlphabet(dcs);
    case 0xC0:
    case 0xD0: return SmsAlphabet::kDefault;
    case 0xE0: return SmsAlphabet::kUcs2;
    case 0xF0: return (dcs & 0x04) != 0 ? SmsAlphabet::kEightBit : SmsAlphabet::kDefault;
    default: return SmsAlphabet::kUnknown;
  }
}

Platform::FileTime DecodeTimestamp(std::string_view octets) {
  Platform::SystemTime time;
  const int year = SwappedBcd(OctetAt(octets, 0));
  time.year = static_cast<uint16_t>(year < 80 ? year + 2000 : year + 1900);
  time.month = static_cast<uint16_t>(SwappedBcd(OctetAt(octets, 1)));
  time.day = static_cast<uint16_t>(SwappedBcd(OctetAt(octets, 2)));
  time.hour = static_cast<uint16_t>(SwappedBcd(OctetAt(octets, 3)));
  time.minute = static_cast<uint16_t>(SwappedBcd(OctetAt(octets, 4)));
  time.second = static_cast<uint16_t>(SwappedBcd(OctetAt(octets, 5)));
  Platform::FileTime local = 0;
  if (!Platform::SystemTimeToFileTime(time, local)) {
    return 0;
  }
  // Years 1980 to 2079 lie far enough from both ends of the range for any zone of +-21 hours.
  const int64_t zone = ZoneQuarters(OctetAt(octets, kTimestampOctets - 1)) * kTicksPerQuarterHour;
  return static_cast<Platform::FileTime>(static_cast<int64_t>(local) - zone);
}

std::string FormatTimestamp(std::string_view octets) {
  const int quarters = ZoneQuarters(OctetAt(octets, kTimestampOctets - 1));
  // Hours, then the remaining quarters shown as .15, .30 or .45.
  const double zone = quarters / 4 + (quarters % 4) * 0.15;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%02d.%02d.%02d %02d:%02d:%02d GMT %+.2f",
                SwappedBcd(OctetAt(octets, 2)), SwappedBcd(OctetAt(octets, 1)),
                SwappedBcd(OctetAt(octets, 0)), SwappedBcd(OctetAt(octets, 3)),
                SwappedBcd(OctetAt(octets, 4)), SwappedBcd(OctetAt(octets, 5)), zone);
  return buffer;
}

int32_t RelativeValidity(uint8_t octet) {
  constexpr int32_t kMinute = 60;
  constexpr int32_t kHour = 60 * kMinute;
  constexpr int32_t kDay = 24 * kHour;
  if (octet <= 143) {
    return (octet + 1) * 5 * kMinute;
  }
  if (octet <= 167) {
    return 12 * kHour + (octet - 143) * 30 * kMinute;
  }
  if (octet <= 196) {
    return (octet - 166) * kDay;
  }
  return (octet - 192) * 7 * kDay;
}

#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/charset.h"
#include "platform/clock.h"

// How the user data of a message is coded, from its data coding scheme (GSM 03.38 groups).
enum class SmsAlphabet { kDefault, kEightBit, kUcs2, kUnknown };

// One short message, decoded from a phone's PDU line or being composed. Byte strings hold the
// octets exactly as they stand in the PDU; times are UTC, 0 for none.
struct CSMSMessage {
  // A received message travelled from the service centre to the phone; everything else,
  // including every message being composed, goes the other way. The service-centre address
  // is the `DefaultSCA` setting.
  explicit CSMSMessage(bool fromServiceCentre);
  // The same with the service-centre address given, for code that stands apart from the
  // settings.
  CSMSMessage(bool fromServiceCentre, std::string sca, uint8_t scaType);

  // Fills the record from one PDU line (the service-centre address first). On false the
  // record holds a partial decode and is to be discarded.
  bool Decode(std::string_view hex);

  SmsAlphabet Alphabet() const;

  std::string pdu;
  int32_t storage = 0;
  bool fromServiceCentre;
  uint8_t scaType = 0;
  std::string sca;
  uint8_t addressType = 0;
  // Alphanumeric addresses hold their septet codes unchanged, control characters included:
  // whatever turns one into a file name or a screen line must make it safe first.
  std::string address;
  uint8_t firstOctet = 0;
  uint8_t messageReference = 0;
  // For a status report: the TP-ST status.
  uint8_t pid = 0;
  uint8_t dcs = 0;
  std::string validityOctets;
  // -1 none given, 0 absolute (see validUntil), above 0 a duration in seconds.
  int32_t validitySeconds = 0;
  bool singleShot = false;
  Platform::FileTime validUntil = 0;
  std::string timestampOctets;
  Platform::FileTime timestamp = 0;
  WideString wideText;
  // Host OEM text; for report kinds the text the decoder composed.
  std::string text;
  bool concatenated = false;
  uint16_t concatReference = 0;
  bool concat16Bit = false;  // the reference came in the 16-bit element
  uint8_t partCount = 0;
  uint8_t partNumber = 0;
  // The user data header without its length octet.
  std::string header;
  int32_t storageIndex = 0;
  int32_t status = 0;
  // A status report's prefix ("Delivered to: ") until the look-up adds the recipient's name.
  std::string label;
  bool named = false;  // the phone book gave `label` its name
};

// Seven octets of swapped BCD: year, month, day, hour, minute, second, time zone in quarter
// hours. Missing octets count as 0; a date that does not exist gives 0.
Platform::FileTime DecodeTimestamp(std::string_view octets);
// "dd.mm.yy hh:mm:ss GMT +h.qq" with the local reading and the zone as it stands.
std::string FormatTimestamp(std::string_view octets);
// The relative validity-period octet of GSM 03.40 in seconds.
int32_t RelativeValidity(uint8_t octet);

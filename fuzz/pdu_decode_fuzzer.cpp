// A PDU line comes from the phone: any text at all. Decoding it, either way round, must end in
// a record or a clean false, and a decoded SUBMIT must encode or be refused just as cleanly.
// The input is taken line by line, each line's last word as the PDU, so the vector files in
// tests/data serve as seeds unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/hex_digits.h"
#include "sms/pdu_encoder.h"
#include "sms/sms_message.h"

namespace {

constexpr uint8_t kSubmit = 0x01;
constexpr uint8_t kNoAddressType = 128;

// Hex digits stay; any other byte becomes the digit of its low nibble, so that mutations keep
// reaching the fields behind the hex parsing.
std::string AsHexDigits(std::string_view line) {
  std::string hex(line);
  for (char& c : hex) {
    if (HexDigitValue(c) < 0) {
      c = kUpperHexDigits[static_cast<unsigned char>(c) & 0x0F];
    }
  }
  return hex;
}

void DecodeBothWays(std::string_view line) {
  for (const bool fromServiceCentre : {true, false}) {
    CSMSMessage message(fromServiceCentre, "", kNoAddressType);
    if (message.Decode(line) && !fromServiceCentre && (message.firstOctet & 0x03) == kSubmit) {
      Encode(message);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (!input.empty()) {
    const size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    const size_t space = line.find_last_of(' ');
    if (space != std::string_view::npos) {
      line.remove_prefix(space + 1);
    }
    DecodeBothWays(line);
    DecodeBothWays(AsHexDigits(line));
  }
  return 0;
}

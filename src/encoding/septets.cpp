#include <algorithm>

#include "encoding/charset.h"

namespace {

constexpr size_t kSeptetBits = 7;
constexpr size_t kOctetBits = 8;
constexpr unsigned kSeptetMask = 0x7F;

}  // namespace

bool UnpackSeptets(std::string_view octets, size_t count, std::string& septets) {
  septets.clear();
  // Only septets whose seven bits are all inside the input exist; this also bounds the output
  // whatever count the caller read from a damaged message.
  const size_t available = octets.size() + octets.size() / kSeptetBits;
  const size_t produced = std::min(count, available);
  septets.reserve(produced);
  for (size_t index = 0; index < produced; ++index) {
    const size_t bit = index * kSeptetBits;
    const size_t octet = bit / kOctetBits;
    const size_t shift = bit % kOctetBits;
    unsigned window = static_cast<unsigned char>(octets[octet]);
    if (shift + kSeptetBits > kOctetBits) {
      window |= static_cast<unsigned>(static_cast<unsigned char>(octets[octet + 1])) << kOctetBits;
    }
    septets.push_back(static_cast<char>((window >> shift) & kSeptetMask));
  }
  return true;
}

bool PackSeptets(std::string_view septets, std::string& octets) {
  octets.assign((septets.size() * kSeptetBits + kSeptetBits) / kOctetBits, '\0');
  for (size_t index = 0; index < septets.size(); ++index) {
    const size_t bit = index * kSeptetBits;
    const size_t octet = bit / kOctetBits;
    const size_t shift = bit % kOctetBits;
    const unsigned value = (static_cast<unsigned char>(septets[index]) & kSeptetMask) << shift;
    octets[octet] = static_cast<char>(static_cast<unsigned char>(octets[octet]) | (value & 0xFF));
    if (shift + kSeptetBits > kOctetBits) {
      octets[octet + 1] = static_cast<char>(value >> kOctetBits);
    }
  }
  return true;
}

bool UnpackGsmText(std::string_view octets, size_t count, WideString& wide) {
  std::string septets;
  UnpackSeptets(octets, count, septets);
  return GsmToWide(septets, wide);
}

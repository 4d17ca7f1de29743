#include "phonesim/pdu.h"

#include <vector>

#include "phonesim/hex.h"

namespace PhoneSim {
namespace {

constexpr int kDeliver = 0;
constexpr int kSubmit = 1;
constexpr int kStatusReport = 2;
constexpr size_t kTimeStampOctets = 7;
constexpr size_t kMaxAddressDigits = 20;
constexpr size_t kMaxUserDataOctets = 140;

std::optional<std::vector<uint8_t>> Octets(std::string_view hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> octets;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    octets.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return octets;
}

// Walks a TPDU field by field; any field running past the end marks it broken.
class CReader {
 public:
  CReader(const std::vector<uint8_t>& octets, size_t start) : m_octets(octets), m_at(start) {}
  bool Take(size_t count) {
    if (m_at + count > m_octets.size()) m_broken = true;
    if (!m_broken) m_at += count;
    return !m_broken;
  }
  std::optional<uint8_t> Octet() {
    if (!Take(1)) return std::nullopt;
    return m_octets[m_at - 1];
  }
  // Address length in semi-octets, type of address, the digits.
  bool Address() {
    const auto digits = Octet();
    if (!digits || *digits > kMaxAddressDigits || !Take(1)) return m_broken = true, false;
    return Take((*digits + 1u) / 2);
  }
  size_t Left() const { return m_broken ? 0 : m_octets.size() - m_at; }
  bool Broken() const { return m_broken; }

 private:
  const std::vector<uint8_t>& m_octets;
  size_t m_at;
  bool m_broken = false;
};

// GSM 03.38 data coding: whether the user data length counts septets.
bool CountsSeptets(uint8_t dcs) {
  switch (dcs >> 4) {
    case 0x0:
    case 0x1:
    case 0x2:
    case 0x3:
    case 0x4:
    case 0x5:
    case 0x6:
    case 0x7: {
      const bool compressed = (dcs & 0x20) != 0;
      const int alphabet = (dcs >> 2) & 0x03;
      return !compressed && (alphabet == 0 || alphabet == 3);
    }
    case 0xC:
    case 0xD: return true;
    case 0xE: return false;
    case 0xF: return (dcs & 0x04) == 0;
    default: return true;
  }
}

bool UserDataFits(CReader& reader, uint8_t dcs, bool hasHeader) {
  const auto length = reader.Octet();
  if (!length) return false;
  const size_t octets = CountsSeptets(dcs) ? (*length * 7u + 7) / 8 : *length;
  if (octets > kMaxUserDataOctets || reader.Left() != octets) return false;
  if (!hasHeader) return true;
  const auto headerLength = reader.Octet();
  return headerLength && *headerLength < octets;
}

bool SubmitIsWhole(CReader& reader, uint8_t firstOctet) {
  static constexpr size_t kValidityOctets[4] = {0, 7, 1, 7};
  if (!reader.Take(1) || !reader.Address() || !reader.Take(1)) return false;
  const auto dcs = reader.Octet();
  if (!dcs || !reader.Take(kValidityOctets[(firstOctet >> 3) & 0x03])) return false;
  return UserDataFits(reader, *dcs, (firstOctet & 0x40) != 0);
}

bool DeliverIsWhole(CReader& reader, uint8_t firstOctet) {
  if (!reader.Address() || !reader.Take(1)) return false;
  const auto dcs = reader.Octet();
  if (!dcs || !reader.Take(kTimeStampOctets)) return false;
  return UserDataFits(reader, *dcs, (firstOctet & 0x40) != 0);
}

// The optional parameters after the status octet are not checked further.
bool StatusReportIsWhole(CReader& reader) {
  return reader.Take(1) && reader.Address() && reader.Take(2 * kTimeStampOctets + 1);
}

}  // namespace

std::optional<PduFacts> InspectPdu(std::string_view hex, Direction direction) {
  const auto octets = Octets(hex);
  if (!octets) return std::nullopt;
  const size_t scaOctets = 1u + (*octets)[0];
  if (scaOctets >= octets->size()) return std::nullopt;
  CReader reader(*octets, scaOctets);
  const uint8_t firstOctet = *reader.Octet();
  const int type = firstOctet & 0x03;
  bool whole = false;
  if (direction == Direction::FromPhone) {
    whole = type == kSubmit && SubmitIsWhole(reader, firstOctet);
  } else if (type == kDeliver) {
    whole = DeliverIsWhole(reader, firstOctet);
  } else if (type == kStatusReport) {
    whole = StatusReportIsWhole(reader);
  }
  if (!whole) return std::nullopt;
  return PduFacts{octets->size() - scaOctets, type};
}

std::string WithMessageReference(std::string_view hex, uint8_t reference) {
  const size_t scaOctets = 1u + static_cast<size_t>(HexDigit(hex[0]) * 16 + HexDigit(hex[1]));
  const size_t at = (scaOctets + 1) * 2;
  std::string out(hex.substr(0, at));
  AppendHex(out, reference, 2);
  out.append(hex.substr(at + 2));
  return out;
}

}  // namespace PhoneSim

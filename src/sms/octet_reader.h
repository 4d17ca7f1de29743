#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The octet at `index`, or 0 past the end: for fields whose missing tail the PDU format lets
// us read as zeros.
inline uint8_t OctetAt(std::string_view octets, size_t index) {
  return index < octets.size() ? static_cast<uint8_t>(octets[index]) : 0;
}

// Swapped BCD: the low nibble is the tens digit. Nibbles above 9 are taken at face value.
inline int SwappedBcd(uint8_t octet) { return (octet & 0x0F) * 10 + (octet >> 4); }

// A cursor over the octets of a PDU. Every length in a PDU comes from the phone, so every read
// is checked against what remains: a read that does not fit takes nothing and says so.
class COctetReader {
 public:
  explicit COctetReader(std::string_view octets) : m_octets(octets) {}

  bool Read(uint8_t& value) {
    if (m_position >= m_octets.size()) {
      return false;
    }
    value = static_cast<uint8_t>(m_octets[m_position++]);
    return true;
  }

  bool Take(size_t count, std::string& value) {
    if (count > Remaining()) {
      return false;
    }
    value.assign(m_octets.substr(m_position, count));
    m_position += count;
    return true;
  }

  // The octets themselves, valid while the octets the reader walks are.
  bool Take(size_t count, std::string_view& value) {
    if (count > Remaining()) {
      return false;
    }
    value = m_octets.substr(m_position, count);
    m_position += count;
    return true;
  }

  // At most `count` octets: the part of them that is there.
  std::string_view TakeUpTo(size_t count) {
    const std::string_view taken = m_octets.substr(m_position, count);
    m_position += taken.size();
    return taken;
  }

  std::string_view Rest() const { return m_octets.substr(m_position); }
  size_t Remaining() const { return m_octets.size() - m_position; }

 private:
  std::string_view m_octets;
  size_t m_position = 0;
};

#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace PhoneSim {

// Which way a short message travels, which decides how its type indicator reads.
enum class Direction {
  ToPhone,    // SMS-DELIVER, SMS-STATUS-REPORT (received messages)
  FromPhone,  // SMS-SUBMIT (messages to send or kept unsent)
};

// What the phone itself must know of a PDU of AT+CMGS, AT+CMGW or the state file: the
// service-centre address (GSM 07.05) followed by a TPDU (GSM 03.40) in hex.
struct PduFacts {
  size_t tpduLength = 0;  // octets after the service-centre address: the <length> of +CMGL
  int messageType = 0;    // TP-MTI
};

// nullopt unless the hex holds one well-formed TPDU of the direction's kinds, its user data
// exactly as long as its length octet and coding say.
std::optional<PduFacts> InspectPdu(std::string_view hex, Direction direction);

// An SMS-SUBMIT with its TP-MR replaced, as the phone does when it hands it to the network.
std::string WithMessageReference(std::string_view hex, uint8_t reference);

}  // namespace PhoneSim

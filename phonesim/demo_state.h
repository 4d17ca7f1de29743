#pragma once
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

// The phone a person meets when the simulator is started without a state: contacts whose
// names are written in several scripts, call lists, and messages of every kind the phone keeps
// (read and unread, stored unsent and sent, a long one in three parts, a status report).
namespace PhoneSim {

nlohmann::json DemoStateJson();

// The simulator's own PDU writer, enough for the messages above (GSM 03.40, GSM 07.05's
// service-centre address in front). `timestamp` is "yyMMddhhmmss" in local time, zone 0;
// a `parts` above 1 adds a concatenation header with `reference`, `part` counting from 1.
struct DemoMessage {
  std::string address;  // "+447700900123" or a national number
  std::string text;     // UTF-8; the default alphabet when it carries the text, else UCS2
  std::string timestamp;
  int reference = 0;
  int parts = 1;
  int part = 1;
};
std::string DeliverPdu(const DemoMessage& message);
std::string SubmitPdu(const DemoMessage& message);
// A report that the message with `reference` to `address` was delivered.
std::string StatusReportPdu(int reference, std::string_view address, std::string_view sent,
                            std::string_view delivered);

}  // namespace PhoneSim

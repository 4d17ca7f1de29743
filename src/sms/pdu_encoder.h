#pragma once
#include <string>
#include <string_view>

#include "sms/sms_message.h"

// An SMS-SUBMIT PDU line from the record, service-centre address first, in upper-case hex.
// The user data comes from `wideText`; a header is written when the record is `concatenated`,
// and `firstOctet` keeps the header indicator it was sent with. A validity period is written
// when the format bits and `validityOctets` agree; otherwise the format bits are cleared.
// Empty when the record cannot be sent as it is: a character its alphabet cannot carry, user
// data beyond 140 octets, or an address longer than 20 digits.
std::string Encode(CSMSMessage& message);

// The concatenation element with its header length octet in front, or nothing.
std::string BuildHeader(const CSMSMessage& message);

// A number as swapped semi-octets, a leading "+" skipped and an odd last digit padded with F.
// Meant for decimal digits.
std::string SemiOctets(std::string_view number);

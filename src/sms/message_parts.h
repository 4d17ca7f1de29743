#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sms/sms_message.h"

// A text cut to the size of short messages. Lengths count what the alphabet spends: septets in
// the default alphabet (a character of the extension table takes two), UTF-16 units in UCS2,
// octets in 8-bit data.
struct CMessageParts {
  size_t length = 0;
  size_t singleLimit = 0;
  std::vector<WideString> parts;
};

// A text of characters outside the default alphabet needs UCS2, and so does one with characters
// above U+00FF under 8-bit or unknown coding: `dcs` is switched to it, keeping the message class
// where the coding group has one. Otherwise `dcs` stays as it is, so
// a message sent again keeps its stored coding.
void ChooseCoding(CSMSMessage& message);

// One part when the text fits a single message (160 septets, 70 UCS2 units, 140 octets),
// otherwise parts that leave room for the concatenation header of `reference`: 153 septets,
// 67 units or 134 octets with an 8-bit reference, one septet, unit or octet less with a 16-bit
// one. A cut never falls inside a character: an escaped character of the default alphabet and
// a UTF-16 surrogate pair move to the next part whole.
CMessageParts SplitText(const WideString& text, SmsAlphabet alphabet, uint16_t reference);

// The PDU lines for one destination, in part order. Several parts share the concatenation
// `reference` (the one they were split for) and carry their numbers; a single part goes without a
// header. Empty when a part cannot be encoded. `wideText` holds the whole text again afterwards.
std::vector<std::string> EncodeParts(CSMSMessage& message, const std::vector<WideString>& parts,
                                     uint16_t reference);

// The concatenation reference of the next long message, counted on in `next` (kept with the
// settings), so that messages in a row, and in runs of the plug-in one after another, never
// share one: a receiver tells messages apart by sender and reference. The references are
// 8-bit, which leaves each part a character more than a 16-bit one would. A count not started
// (beyond 255) starts at a random number, so that two people's first messages differ too.
uint16_t TakeConcatReference(uint32_t& next);

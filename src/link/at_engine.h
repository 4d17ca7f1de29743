#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/connection.h"

// One AT command transaction at a time over a connection: the command line goes out with a
// carriage return, the echo and the notices the phone sends on its own are dropped, the
// intermediate lines are collected and the final result code decides success. A carriage
// return, a line feed or both end a line.

using ResponseList = std::vector<std::string>;

// The command buffer holds 4096 bytes: the command, its carriage return and a terminator.
constexpr size_t kMaxCommandLength = 4094;
// A phone that never ends its line must not make it grow without bound.
constexpr size_t kMaxResponseLineLength = 64 * 1024;
// Nor one that never ends its answer (noise on the line, a phone stuck repeating itself): past
// this many bytes, blank lines included, the read fails as a faulty device. Listing a full
// storage of a thousand messages takes under half a megabyte.
constexpr size_t kMaxAnswerLength = 4 * 1024 * 1024;

// What a line read while `command` runs is when the phone sent it on its own rather than as
// the command's answer: a notice (an unsolicited result code), one that a line of hex follows
// in PDU mode, or none. Notices are the codes of GSM 07.05 and 07.07 a phone sends unasked
// (RING, +CRING, +CLIP, +CMTI, +CMT, +CDSI, +CDS, +CBMI, +CBM, +CREG, +CGREG, +CEREG, +CIEV,
// +CUSD), a vendor's lines of '^' or '*', a name and a colon, and, while an extended command
// AT+NAME runs, any +OTHER: line (a phone may answer AT+GMI with +CGMI:, which is no notice).
//   RING | +CDSI: "SR",3 | +CMT: ,23 (then the PDU) | ^RSSI:17 | *RADIOPOWER: 1
enum class Notice { None, Line, LineAndPdu };
Notice NoticeOf(std::string_view line, std::string_view command);

// Sends a command line without waiting for an answer. A command longer than
// kMaxCommandLength is not sent: the command-error box is shown and the result is false.
bool SendLine(CConnection& connection, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Reads the next non-empty line, without its trailing white space; io_error after
// kMaxAnswerLength bytes without one.
void ReadLine(CConnection& connection, std::string& line);

// Reads exactly `count` bytes, unchanged.
void ReadBytes(CConnection& connection, size_t count, std::string& text);

// A command the phone refuses because the SIM card waits for its PIN has the user asked for the
// PIN (again after a wrong one, while the user wishes); once the phone takes it, the command runs
// once more and that answer counts. A card that waits for its PUK is shown to the user as
// blocked. The PIN reaches the transcript masked, echo included.

// Runs one command. A refusal shows the command-error box and returns false; an answer longer
// than kMaxAnswerLength throws io_error.
bool Execute(CConnection& connection, const char* format, ResponseList* responses, ...)
    __attribute__((format(printf, 2, 4)));

// Runs one command whose refusal is expected now and then: it shows nothing and appends the
// failing line to the responses. A card waiting for its PIN or PUK is dealt with as above.
bool ExecuteQuiet(CConnection& connection, const char* format, ResponseList* responses, ...)
    __attribute__((format(printf, 2, 4)));

// Whether the user pressed Escape to abort a long series of commands.
bool EscapePressed();

// The type-of-address octet for a phone number: 145 international, 129 other, 128 unknown.
uint8_t AddressType(const std::string& number);

// Whether the text can go between the quotes of a command's argument: a quote would end the
// field early and a line end or a zero would cut the command, so such text is never sent.
bool FitsInQuotes(std::string_view text);

// Whether the text is a SIM card's PIN: four to eight digits.
bool IsSimPin(std::string_view text);

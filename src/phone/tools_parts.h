#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/at_engine.h"
#include "platform/clock.h"

// The decisions of the phone tools, apart from the phone and the host.

// The terminal shows the last lines the phone sent, oldest first.
constexpr size_t kTerminalLines = 15;
using TerminalLines = std::array<std::string, kTerminalLines>;

// A phone that streams lines without end would keep the terminal reading for ever: after this
// many lines (blank ones included) it stops reading and shows the dialog again.
constexpr size_t kMaxTerminalLinesPerCommand = 1000;

// The line as it can be put on the screen: control characters (escape sequences among them)
// become '.'.
std::string ScreenText(std::string_view line);

// Takes one line as read (up to its line feed) into the scroll-back: trailing white space goes,
// a line left empty is not shown, the oldest line makes room. True when the line ends the
// answer: "OK", "ERROR", "+CME ERROR..." or "+CMS ERROR...".
bool TakeTerminalLine(TerminalLines& lines, std::string_view rawLine);

// "yy/MM/dd,hh:mm:ss", the form the phone's clock takes.
std::string ClockText(const Platform::SystemTime& time);

// The zone as GSM 07.07 counts it, in quarter hours with a sign and two digits, from the bias
// in minutes (UTC minus local time): bias -330 (UTC+5:30) gives "+22", 300 (UTC-5) "-20". A
// bias of no whole quarter is cut toward zero. No bias, or one beyond any zone on earth (UTC-12
// to UTC+14), gives "+00".
std::string ZoneText(std::optional<int32_t> biasMinutes);

// A phone could list any number of storages: the probe looks at no more than this many of
// each kind.
constexpr size_t kMaxProbedStorages = 32;

// The phone-book memories named in the first line of the answer to AT+CPBS=? (two letters
// each, between double quotes).
std::vector<std::string> PhoneBookStoragesToProbe(const ResponseList& answer);

// The message storages of the first list in the first line of the answer to AT+CPMS=?. A name
// that holds anything but printable characters is left out: it is sent back inside a command,
// where a carriage return would start another.
std::vector<std::string> MessageStoragesToProbe(const ResponseList& answer);

// The storages the first line of the answer to AT+CPBS? or AT+CPMS? names as selected, in order,
// to be selected again after a probe; none when a name could not be sent back in quotes.
//   +CPMS: "SM",3,40,"ME",1,150,"SM",3,40
std::vector<std::string> SelectedStorages(const ResponseList& answer);

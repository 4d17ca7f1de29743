#pragma once

// Numbers of the language-file messages the code shows. The texts live in lang/*.lng.
namespace Msg {
constexpr int kOk = 0;
constexpr int kCancel = 1;
constexpr int kTitle = 4;
constexpr int kCannotOpenDevice = 172;
constexpr int kReadFailed = 173;
constexpr int kWriteFailed = 174;
constexpr int kPhoneSilent = 175;  // "%d": the time-out in seconds
constexpr int kKeepWaiting = 176;
constexpr int kGiveUp = 177;
constexpr int kOutOfRange = 178;  // "%d" "%d": the lower and the upper bound
constexpr int kCommandTooLong = 184;  // "%d": the longest command the phone link can send
}  // namespace Msg

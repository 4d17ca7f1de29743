#pragma once

// Numbers of the language-file messages the code shows. The texts live in lang/*.lng.
namespace Msg {
constexpr int kOk = 0;
constexpr int kCancel = 1;
constexpr int kWarning = 3;
constexpr int kTitle = 4;
constexpr int kConfigMenuTitle = 5;  // also the title of the box while a phone connects
constexpr int kPhoneBookItem = 6;
constexpr int kSmsItem = 7;
constexpr int kModelInfo = 35;
constexpr int kSpecialCharacters = 37;
constexpr int kSpecialCharactersFirstChoice = 38;  // 38 to 40: the three choices, in order
constexpr int kPhoneChoosesIndex = 41;             // 41 to 44: the profile's flag bits 1, 2, 4, 8
constexpr int kDeleteByIndexOnly = 42;
constexpr int kOmitServiceCentre = 43;
constexpr int kReadStorageAtOnce = 44;
constexpr int kSelectPort = 45;
constexpr int kPortItem = 46;  // "%d" "%s": the port number and its description
constexpr int kNamedPipeItem = 48;
constexpr int kIndexColumn = 50;  // 50 to 53: the phone book's column titles
constexpr int kNumberColumn = 51;
constexpr int kNameColumn = 52;
constexpr int kTimeColumn = 53;
constexpr int kEditKey = 57;
constexpr int kRenumberKey = 58;
constexpr int kCopyToKey = 60;
constexpr int kMoveToKey = 61;
constexpr int kReadingEntry = 72;       // "%d": the index
constexpr int kReadingEntryOf = 73;     // "%d" "%d": the index and the storage's last index
constexpr int kReadingEntries = 74;     // "%d" "%d" "%d": a chunk's first and last, last index
constexpr int kReadingAllEntries = 75;  // the title of these boxes is 5
constexpr int kRereadTitle = 76;
constexpr int kRereadStorage = 77;
constexpr int kRereadSelected = 78;
constexpr int kRereadNew = 79;
constexpr int kFileExists = 97;
constexpr int kOverwrite = 98;
constexpr int kAppend = 99;
constexpr int kConnecting = 169;
constexpr int kCannotOpenDevice = 172;
constexpr int kReadFailed = 173;
constexpr int kWriteFailed = 174;
constexpr int kPhoneSilent = 175;  // "%d": the time-out in seconds
constexpr int kKeepWaiting = 176;
constexpr int kGiveUp = 177;
constexpr int kOutOfRange = 178;      // "%d" "%d": the lower and the upper bound
constexpr int kCommandTooLong = 184;  // "%d": the longest command the phone link can send
constexpr int kSettingsNotSaved = 185;
constexpr int kUnexpectedFailure = 186;
}  // namespace Msg

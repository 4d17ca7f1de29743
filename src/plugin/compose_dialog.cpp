#include "plugin/compose_dialog.h"

#include <algorithm>
#include <array>

#include "encoding/blanks.h"
#include "encoding/charset.h"
#include "farlib/ui/dialog.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/ui/menu.h"
#include "farlib/message_ids.h"
#include "regex/regex.h"
#include "settings/settings.h"

namespace {

using FarLib::GetMsg;

constexpr int kDialogWidth = 61;
constexpr int kDialogHeight = 16;
constexpr int kAddNumberHeight = 9;
constexpr int kLabelColumn = 5;
constexpr int kFieldColumn = 20;
constexpr int kFieldEnd = 42;
constexpr int kFindColumn = 45;
constexpr int kTextEnd = 55;
constexpr int kFirstTextRow = 6;
constexpr const char* kDestinationHistory = "Zantel.Dest";

std::vector<std::string> SplitDestinations(const std::string& field) {
  std::vector<std::string> destinations;
  const std::string trimmed(Trimmed(field));
  if (trimmed.empty()) return destinations;
  RegexSplit(trimmed, "\\s*;\\s*", &destinations, 0, 0);
  std::erase_if(destinations, [](const std::string& destination) { return destination.empty(); });
  return destinations;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

enum class Closed { kFind, kRecipients, kSend, kSave, kCancel };

Closed RunComposeDialog(std::string& destinationField, bool several,
                        std::array<std::string, kEditorLines>& lines) {
  FarLib::CFarDialog dialog(kDialogWidth, kDialogHeight, "CreateSMSMsg");
  dialog.AddFrame(Msg::kNewMessageTitle);
  dialog.Add<FarLib::CFarTextItem>(kLabelColumn, 3, 0, GetMsg(Msg::kToLabel));
  // Several recipients are edited in their menu; the field only says there are several.
  if (several) {
    dialog.Add<FarLib::CFarEditItem>(kFieldColumn, 3, kFieldEnd, DIF_READONLY, kDestinationHistory,
                                     FarLib::CFarTextStorage(GetMsg(Msg::kSeveralRecipients)));
  } else {
    dialog.Add<FarLib::CFarEditItem>(kFieldColumn, 3, kFieldEnd, 0, kDestinationHistory,
                                     FarLib::CFarTextStorage(destinationField));
  }
  const int find =
      dialog.Add<FarLib::CFarButtonItem>(kFindColumn, 3, 0, false, GetMsg(Msg::kFindButton));
  const int recipients =
      dialog.Add<FarLib::CFarButtonItem>(kFieldColumn, 4, 0, false, GetMsg(Msg::kRecipientsButton));
  // Lines longer than the host's fixed 512-byte field must come back whole.
  for (size_t index = 0; index < kEditorLines; ++index) {
    const int line = dialog.Add<FarLib::CFarEditItem>(
        kLabelColumn, kFirstTextRow + static_cast<int>(index), kTextEnd, DIF_EDITOR | DIF_VAREDIT,
        "", FarLib::CFarTextStorage(lines[index]));
    if (index == 0 && (several || !destinationField.empty())) dialog.SetFocus(line);
  }
  if (!several && destinationField.empty()) dialog.SetFocus(2);
  const int buttonRow = kDialogHeight - 4;
  const int send = dialog.Add<FarLib::CFarButtonItem>(0, buttonRow, DIF_CENTERGROUP, true,
                                                      GetMsg(Msg::kSendButton));
  const int save = dialog.Add<FarLib::CFarButtonItem>(0, buttonRow, DIF_CENTERGROUP, false,
                                                      GetMsg(Msg::kSaveButton));
  dialog.Add<FarLib::CFarButtonItem>(0, buttonRow, DIF_CENTERGROUP, false, GetMsg(Msg::kCancel));
  switch (dialog.Run({find, recipients, send, save})) {
    case 0: return Closed::kFind;
    case 1: return Closed::kRecipients;
    case 2: return Closed::kSend;
    case 3: return Closed::kSave;
    default: return Closed::kCancel;
  }
}

std::string FieldOf(const std::vector<std::string>& destinations) {
  return destinations.size() == 1 ? destinations.front() : std::string();
}

}  // namespace

bool CFarComposeUser::ConfirmEmpty() {
  return FarLib::ShowMessage(FMSG_WARNING, "EmptyMsg",
                             {GetMsg(Msg::kWarning), GetMsg(Msg::kEmptyMessage), GetMsg(Msg::kOk),
                              GetMsg(Msg::kCancel)},
                             2) != 1;
}

bool CFarComposeUser::ConfirmParts(size_t length, size_t singleLimit, size_t parts) {
  const std::string count = FarLib::FormatMsg(Msg::kTooLongCount, static_cast<int>(length),
                                              static_cast<int>(singleLimit));
  const std::string question = FarLib::FormatMsg(Msg::kSendInParts, static_cast<int>(parts));
  return FarLib::ShowMessage(FMSG_WARNING, "TextTooLongMsg",
                             {GetMsg(Msg::kWarning), GetMsg(Msg::kTooLongForOne), count.c_str(),
                              question.c_str(), GetMsg(Msg::kOk), GetMsg(Msg::kCancel)},
                             2) == 0;
}

int CFarComposeUser::ChooseCandidate(const std::vector<std::string>& items) {
  return FarLib::ShowMenu(items, GetMsg(Msg::kChooseContact), nullptr, "SelectMenu");
}

void CFarComposeUser::ReportUnresolved(const std::string& destination) {
  FarLib::ShowError(GetMsg(Msg::kNoEntryMatches),
                    destination.empty() ? nullptr : destination.c_str());
}

void CFarComposeUser::ReportNotANumber(const std::string& number) {
  FarLib::ShowError(GetMsg(Msg::kNotANumber), number.c_str());
}

void CFarComposeUser::ReportFailure(bool save, const std::string& reason) {
  FarLib::ShowError(GetMsg(save ? Msg::kNotSaved : Msg::kNotSent),
                    reason.empty() ? nullptr : reason.c_str());
}

std::vector<std::string> StoppedLines(bool save, const StoppedTransmission& stopped,
                                      const std::string& reason) {
  std::vector<std::string> lines;
  if (!stopped.whole.empty()) {
    std::string destinations;
    for (const std::string& destination : stopped.whole) {
      destinations += (destinations.empty() ? "" : ", ") + destination;
    }
    lines.push_back(
        FarLib::FormatMsg(save ? Msg::kSavedWholeFor : Msg::kSentWholeTo, destinations.c_str()));
  }
  const int parts = static_cast<int>(stopped.parts);
  const int taken = static_cast<int>(stopped.partsTaken);
  const char* destination = stopped.destination.c_str();
  if (taken > 0) {
    lines.push_back(FarLib::FormatMsg(save ? Msg::kSavedPartsOf : Msg::kSentPartsOf, taken, parts,
                                      destination));
  }
  lines.push_back(FarLib::FormatMsg(save ? Msg::kPartNotSaved : Msg::kPartNotSent, taken + 1, parts,
                                    destination));
  if (!reason.empty()) lines.push_back(reason);
  return lines;
}

void CFarComposeUser::ReportStopped(bool save, const StoppedTransmission& stopped,
                                    const std::string& reason) {
  const std::vector<std::string> lines = StoppedLines(save, stopped, reason);
  std::vector<const char*> items = {GetMsg(Msg::kTitle),
                                    GetMsg(save ? Msg::kNotSaved : Msg::kNotSent)};
  for (const std::string& line : lines) items.push_back(line.c_str());
  items.push_back(GetMsg(Msg::kOk));
  FarLib::ShowMessage(FMSG_WARNING, "PartlySent", items, 1);
}

void CFarComposeUser::ReportDone(bool save) {
  FarLib::ShowInfo(GetMsg(Msg::kComposeInfoTitle),
                   GetMsg(save ? Msg::kMessageSaved : Msg::kMessageSent));
}

bool Compose(CSMSMessage& message, CConnection& connection, const ModelProfile* profile,
             const PhoneBook& phoneBook) {
  CFarComposeUser user;
  const ComposeContext context{connection, profile, phoneBook, user,
                               Settings().NextConcatReference};
  std::vector<std::string> destinations = SplitDestinations(message.address);
  std::string destinationField = FieldOf(destinations);
  std::array<std::string, kEditorLines> lines = EditorLines(message.text);
  // The stored text in UTF-16 may hold characters the host's code page cannot show, and CR LF
  // pairs; it goes out again as it was as long as the editor's lines are not changed.
  const std::string storedText = TextOfLines(lines);
  const WideString storedWide = message.wideText;
  std::vector<OutgoingMessage> messages;
  for (;;) {
    const bool several = destinations.size() >= 2;
    const Closed closed = RunComposeDialog(destinationField, several, lines);
    if (closed == Closed::kCancel) return false;
    if (!several) destinations = SplitDestinations(destinationField);
    if (closed == Closed::kFind || closed == Closed::kRecipients) {
      if (closed == Closed::kFind) {
        Prepare(message, destinations, messages, false, true, context);
      } else {
        DestinationsMenu(destinations, phoneBook);
      }
      destinationField = FieldOf(destinations);
      continue;
    }
    const bool save = closed == Closed::kSave;
    message.text = TextOfLines(lines);
    message.wideText =
        message.text == storedText && !storedWide.empty() ? storedWide : OemToWide(message.text);
    if (destinations.size() >= 2 &&
        !Prepare(message, destinations, messages, save, true, context)) {
      destinationField = FieldOf(destinations);
      continue;
    }
    if (!Prepare(message, destinations, messages, save, false, context)) {
      destinationField = FieldOf(destinations);
      continue;
    }
    Settings().LastPhoneSMSSent = Joined(destinations, ";");
    Settings().LastTextSMSSent = message.text;
    size_t taken = 0;
    return Transmit(messages, save, context, &taken) || taken > 0;
  }
}

void DestinationsMenu(std::vector<std::string>& destinations, const PhoneBook& phoneBook) {
  constexpr std::array<int, 3> kBreakKeys = {kVkInsert, kVkInsert | (PKF_CONTROL << 16), kVkDelete};
  int selected = 0;
  for (;;) {
    int breakCode = -1;
    const int chosen =
        FarLib::ShowMenu(destinations, GetMsg(Msg::kRecipientsTitle), "Ins/Ctrl+Ins/Del",
                         "Multiple", selected, 0, kBreakKeys, &breakCode);
    if (breakCode < 0) return;
    selected = chosen;
    std::string added;
    if (breakCode == 0) {
      added = PickFromPhoneBook(phoneBook);
    } else if (breakCode == 1) {
      added = AddNumberDialog(phoneBook);
    } else if (chosen >= 0 && static_cast<size_t>(chosen) < destinations.size()) {
      destinations.erase(destinations.begin() + chosen);
    }
    if (!added.empty()) {
      destinations.push_back(added);
      selected = static_cast<int>(destinations.size()) - 1;
    }
  }
}

std::string PickFromPhoneBook(const PhoneBook& phoneBook) {
  std::vector<std::string> items;
  for (const auto& storage : phoneBook) {
    for (const auto& entry : storage->Entries)
      items.push_back(entry->Name + " (" + entry->Number + ")");
  }
  std::sort(items.begin(), items.end());
  const int chosen = FarLib::ShowMenu(items, GetMsg(Msg::kChooseContact), nullptr, "SelectMenu");
  return chosen >= 0 && static_cast<size_t>(chosen) < items.size() ? items[chosen] : std::string();
}

std::string AddNumberDialog(const PhoneBook& phoneBook) {
  CFarComposeUser user;
  std::string number;
  for (;;) {
    FarLib::CFarDialog dialog(kDialogWidth, kAddNumberHeight, "AddNumber");
    dialog.AddFrame(Msg::kAddRecipientTitle);
    dialog.Add<FarLib::CFarTextItem>(kLabelColumn, 3, 0, GetMsg(Msg::kToLabel));
    const int field = dialog.Add<FarLib::CFarEditItem>(
        kFieldColumn, 3, kFieldEnd, 0, kDestinationHistory, FarLib::CFarTextStorage(number));
    const int find =
        dialog.Add<FarLib::CFarButtonItem>(kFindColumn, 3, 0, false, GetMsg(Msg::kFindButton));
    dialog.SetFocus(field);
    const int ok = dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
    const int closed = dialog.Run({find, ok});
    if (closed == 0) {
      number = std::string(Trimmed(number));
      if (!number.empty()) Resolve(phoneBook, number, user);
      continue;
    }
    return closed == 1 ? std::string(Trimmed(number)) : std::string();
  }
}

#include "plugin/phone_book_user.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "farlib/ui/dialog.h"
#include "plugin/host_panel.h"
#include "plugin/panels.h"

namespace {

constexpr int kDialogWidth = 60;
constexpr int kCreateHeight = 11;
constexpr int kEditHeight = 10;
constexpr int kLabelColumn = 5;
constexpr int kFieldColumn = 25;
constexpr int kIndexFieldEnd = 29;
constexpr int kTextFieldEnd = 53;

constexpr const char* kNameTooLongTopic = "NameTooLongError";
constexpr const char* kPhoneTooLongTopic = "PhoneTooLongError";

// Asks whether to cut a text longer than the limit; only the first button accepts it, cut.
bool CutWhenTooLong(char* text, size_t room, uint32_t limit, const char* topic) {
  if (static_cast<size_t>(std::find(text, text + room, '\0') - text) <= limit) return true;
  const std::string question = FarLib::FormatMsg(Msg::kTextTooLong, static_cast<int>(limit));
  const int answer = FarLib::ShowMessage(FMSG_WARNING, topic,
                                         {FarLib::GetMsg(Msg::kTitle), question.c_str(),
                                          FarLib::GetMsg(Msg::kOk), FarLib::GetMsg(Msg::kCancel)},
                                         2);
  if (answer != 0) return false;
  text[limit] = '\0';
  return true;
}

bool NameFits(char* text, size_t room, uint32_t limit) {
  return CutWhenTooLong(text, room, limit, kNameTooLongTopic);
}

bool NumberFits(char* text, size_t room, uint32_t limit) {
  return CutWhenTooLong(text, room, limit, kPhoneTooLongTopic);
}

uint32_t Limit(int32_t length) { return static_cast<uint32_t>(std::max(length, 0)); }

// The name and number labels and fields on two rows; returns the name field's item number.
int AddTextFields(FarLib::CFarDialog& dialog, int row, PhoneBookEntry& entry,
                  const PhoneBookStorage& storage) {
  dialog.Add<FarLib::CFarTextItem>(kLabelColumn, row, 0, FarLib::GetMsg(Msg::kNameLabel));
  const int nameField = dialog.Add<FarLib::CFarEditItem>(
      kFieldColumn, row, kTextFieldEnd, 0, "Zantel.Name", FarLib::CFarTextStorage(entry.Name),
      std::make_unique<FarLib::CFarStringValidator>(NameFits, Limit(storage.MaxNameLength)));
  dialog.Add<FarLib::CFarTextItem>(kLabelColumn, row + 1, 0, FarLib::GetMsg(Msg::kNumberLabel));
  dialog.Add<FarLib::CFarEditItem>(
      kFieldColumn, row + 1, kTextFieldEnd, 0, "Zantel.Phone",
      FarLib::CFarTextStorage(entry.Number),
      std::make_unique<FarLib::CFarStringValidator>(NumberFits, Limit(storage.MaxPhoneLength)));
  return nameField;
}

// `giveIndex` is null when the phone cannot choose an index: the index is then always given.
bool RunCreateDialog(PhoneBookEntry& entry, int32_t& index, bool* giveIndex,
                     const PhoneBookStorage& storage) {
  FarLib::CFarDialog dialog(kDialogWidth, kCreateHeight, "CreateItemDlg");
  dialog.AddFrame(Msg::kNewEntry);
  if (giveIndex) {
    dialog.Add<FarLib::CFarCheckBoxItem>(kLabelColumn, 3, 0, FarLib::GetMsg(Msg::kIndexLabel),
                                         *giveIndex);
  } else {
    dialog.Add<FarLib::CFarTextItem>(kLabelColumn, 3, 0, FarLib::GetMsg(Msg::kIndexLabel));
  }
  dialog.Add<FarLib::CFarEditItem>(kFieldColumn, 3, kIndexFieldEnd, 0, "",
                                   FarLib::CFarIntegerStorage(index),
                                   std::make_unique<FarLib::CFarIntegerRangeValidator>(
                                       storage.MinIndex, storage.MaxIndex, "OutOfRangeError"));
  dialog.SetFocus(AddTextFields(dialog, 4, entry, storage));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  return dialog.Run() == 0;
}

bool RunEditDialog(PhoneBookEntry& entry, const PhoneBookStorage& storage) {
  FarLib::CFarDialog dialog(kDialogWidth, kEditHeight, "EditItemDlg");
  dialog.AddFrame(Msg::kEditEntry);
  dialog.SetFocus(AddTextFields(dialog, 3, entry, storage));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  return dialog.Run() == 0;
}

void ShowWarning(const char* helpTopic, std::initializer_list<int> lines) {
  std::vector<const char*> items = {FarLib::GetMsg(Msg::kTitle)};
  for (const int line : lines) items.push_back(FarLib::GetMsg(line));
  items.push_back(FarLib::GetMsg(Msg::kOk));
  FarLib::ShowMessage(FMSG_WARNING, helpTopic, items, 1);
}

}  // namespace

int CHostPhoneBookUser::ItemCount() { return ReadHostPanel(m_panel).itemCount; }

std::vector<size_t> CHostPhoneBookUser::SelectedPositions() {
  return ReadHostPanel(m_panel).selectedEntries;
}

void CHostPhoneBookUser::Refresh() { RefreshPanel(m_panel, true); }

bool CHostPhoneBookUser::AskNewEntry(PhoneBookEntry& entry, int32_t& index, bool* giveIndex,
                                     const PhoneBookStorage& storage) {
  return RunCreateDialog(entry, index, giveIndex, storage);
}

bool CHostPhoneBookUser::AskEditedEntry(PhoneBookEntry& entry, const PhoneBookStorage& storage) {
  return RunEditDialog(entry, storage);
}

void CHostPhoneBookUser::TellCannotSend(const std::string& carrier) {
  if (carrier.empty()) {
    FarLib::ShowError(FarLib::GetMsg(Msg::kCannotSendEntry));
    return;
  }
  const std::string hint = FarLib::FormatMsg(Msg::kCharsetCarriesEntry, carrier.c_str());
  FarLib::ShowError(FarLib::GetMsg(Msg::kCannotSendEntry), hint.c_str());
}

void CHostPhoneBookUser::TellStorageFull() { ShowWarning("NoFreeSpaceError", {Msg::kStorageFull}); }

void CHostPhoneBookUser::TellOutOfRange(const PhoneBookStorage& storage) {
  const std::string range = FarLib::FormatMsg(Msg::kOutOfRange, storage.MinIndex, storage.MaxIndex);
  FarLib::ShowMessage(FMSG_WARNING, "OutOfRangeError",
                      {FarLib::GetMsg(Msg::kTitle), range.c_str(), FarLib::GetMsg(Msg::kOk)}, 1);
}

CPhoneBookUser::TakenIndexChoice CHostPhoneBookUser::AskWhenTaken(int32_t index) {
  const std::string taken = FarLib::FormatMsg(Msg::kIndexTaken, static_cast<int>(index));
  const int answer = FarLib::ShowMessage(
      FMSG_WARNING, "DestinationOccupied",
      {FarLib::GetMsg(Msg::kWarning), taken.c_str(), FarLib::GetMsg(Msg::kExchange),
       FarLib::GetMsg(Msg::kShift), FarLib::GetMsg(Msg::kOverwrite), FarLib::GetMsg(Msg::kCancel)},
      4);
  switch (answer) {
    case 0: return TakenIndexChoice::Exchange;
    case 1: return TakenIndexChoice::Shift;
    case 2: return TakenIndexChoice::Overwrite;
    default: return TakenIndexChoice::Cancel;
  }
}

void CHostPhoneBookUser::TellRenumberProblem(RenumberProblem problem) {
  if (problem == RenumberProblem::NoSpare) {
    ShowWarning("RenumberError", {Msg::kNoSpareLocation});
  } else {
    ShowWarning("RenumberError", {Msg::kRenumberFailed, Msg::kEntriesKept});
  }
}

void CHostPhoneBookUser::TellChangedOnPhone() {
  ShowWarning("ChangedOnPhone", {Msg::kEntriesChangedOnPhone});
}

bool CHostPhoneBookUser::ConfirmDelete(size_t count) {
  const std::string question = count < 2
                                   ? std::string(FarLib::GetMsg(Msg::kDeleteOne))
                                   : FarLib::FormatMsg(Msg::kDeleteMany, static_cast<int>(count));
  return FarLib::ShowMessage(FMSG_WARNING, "DeleteNumbers",
                             {FarLib::GetMsg(Msg::kWarning), question.c_str(),
                              FarLib::GetMsg(Msg::kOk), FarLib::GetMsg(Msg::kCancel)},
                             2) == 0;
}

bool CHostPhoneBookUser::AskStopImport() {
  return FarLib::ShowMessage(
             FMSG_WARNING, "StopImport",
             {FarLib::GetMsg(Msg::kWarning), FarLib::GetMsg(Msg::kStopImport),
              FarLib::GetMsg(Msg::kStopImportButton), FarLib::GetMsg(Msg::kGoOnImportButton)},
             2) == 0;
}

void CHostPhoneBookUser::TellTooManyContacts(size_t limit) {
  const std::string text = FarLib::FormatMsg(Msg::kTooManyContacts, static_cast<int>(limit));
  FarLib::ShowMessage(FMSG_WARNING, "TooManyContactsError",
                      {FarLib::GetMsg(Msg::kTitle), text.c_str(), FarLib::GetMsg(Msg::kOk)}, 1);
}

void CHostPhoneBookUser::SaveScreen() { m_screen.emplace(); }

void CHostPhoneBookUser::RestoreScreen() { m_screen.reset(); }

#pragma once
#include <optional>
#include <string>

#include "farapi/far_api.h"
#include "farlib/ui/host_ui.h"
#include "phonebook/entry_editing.h"

// The phone-book operations' user in the plug-in: the host's panel, the entry dialogs and the
// boxes that ask and tell.
class CHostPhoneBookUser : public CPhoneBookUser {
 public:
  explicit CHostPhoneBookUser(FarHandle panel) : m_panel(panel) {}

  int ItemCount() override;
  std::vector<size_t> SelectedPositions() override;
  void Refresh() override;

  bool AskNewEntry(PhoneBookEntry& entry, int32_t& index, bool* giveIndex,
                   const PhoneBookStorage& storage) override;
  bool AskEditedEntry(PhoneBookEntry& entry, const PhoneBookStorage& storage) override;
  void TellCannotSend(const std::string& carrier) override;
  void TellStorageFull() override;
  void TellOutOfRange(const PhoneBookStorage& storage) override;
  TakenIndexChoice AskWhenTaken(int32_t index) override;
  void TellRenumberProblem(RenumberProblem problem) override;
  void TellChangedOnPhone() override;
  bool ConfirmDelete(size_t count) override;
  bool AskStopImport() override;
  void TellTooManyContacts(size_t limit) override;
  void SaveScreen() override;
  void RestoreScreen() override;

 private:
  FarHandle m_panel;
  std::optional<FarLib::CSavedScreen> m_screen;
};

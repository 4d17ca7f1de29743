#include <string>
#include <vector>

#include "farlib/ui/dialog.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/ui/menu.h"
#include "farlib/message_ids.h"
#include "plugin/copy_dialog.h"
#include "plugin/host_panel.h"
#include "plugin/panels.h"
#include "plugin/message_dialogs.h"
#include "sms/message_rendering.h"

// The SMS view's commands: its keys, deleting, the storage and functions menus, copying out,
// viewing a message and adding its sender to the phone book.

namespace {

constexpr int kKeyR = 'R';
constexpr int kCopyDialogWidth = 70;
constexpr int kCopyDialogHeight = 9;

// The functions menu, in the order it shows them.
enum FunctionItem {
  kNewMessageFunction,
  kStoragesFunction,
  kTerminalFunction,
  kClockFunction,
  kCapabilityLogFunction,
  kPhoneBookFunction,
};

}  // namespace

// Each key comes twice, first marked as preprocessing: it acts on the plain one only.
int CSMSMobilePanel::ProcessKey(int key, unsigned int controlState) {
  if (key & PKF_PREPROCESS) return 0;
  const bool plain = controlState == 0;
  const bool inFolder = m_currentFolder >= 0;
  if (key == kKeyR && controlState == PKF_CONTROL) {
    RefreshingOnLinkFailure(m_hostHandle, [&] { m_stores.ReadMessages(Session()); });
    UpdatePanel(m_hostHandle, FCTL_UPDATEPANEL, true);
    return 0;  // the host then reads the panel again
  }
  if (key == kVkF2 && plain) {
    FunctionsMenu();
    return 1;
  }
  if (key == kVkF3 && inFolder && (plain || controlState == PKF_ALT)) {
    ViewCurrent(!plain);
    return 1;
  }
  if (key == kVkF4 && plain &&
      (m_currentFolder == kUnsentFolder || m_currentFolder == kSentFolder)) {
    ResendCurrent();
    return 1;
  }
  if (key == kVkF4 && controlState == PKF_SHIFT) {
    NewMessage("");
    return 1;
  }
  if (key == kVkF5 && plain) {
    CopyDialog();
    return 1;
  }
  // At the root the folders are the phone's kinds of message: they are never deleted, by the
  // view nor by the host.
  if (key == kVkF8 && (plain || controlState == PKF_SHIFT)) {
    if (inFolder) DeleteMessages(!plain);
    return 1;
  }
  return 0;
}

void CSMSMobilePanel::DeleteMessages(bool currentOnly) {
  if (m_currentFolder < 0) return;
  const HostPanelState panel = ReadHostPanel(m_hostHandle);
  if (panel.itemCount <= 0) return;
  std::vector<size_t> positions;
  if (currentOnly) {
    if (panel.currentEntry) positions.push_back(*panel.currentEntry);
  } else {
    positions = panel.selectedEntries;
  }
  if (positions.empty()) return;

  const std::string question =
      positions.size() < 2
          ? FarLib::GetMsg(Msg::kDeleteOne)
          : FarLib::FormatMsg(Msg::kDeleteMany, static_cast<int>(positions.size()));
  const int answer = FarLib::ShowMessage(FMSG_WARNING, "DeleteMessages",
                                         {FarLib::GetMsg(Msg::kWarning), question.c_str(),
                                          FarLib::GetMsg(Msg::kOk), FarLib::GetMsg(Msg::kCancel)},
                                         2);
  if (answer != 0) return;
  bool changed = false;
  for (const size_t position : positions)
    changed = DeleteOne(position) == DeletionOutcome::kChangedOnPhone || changed;
  RefreshingOnLinkFailure(m_hostHandle, [&] { m_stores.ReadMessages(Session()); });
  // Messages of one sender share a name: a selection kept by name would pick the survivors.
  RefreshPanel(m_hostHandle, false);
  // Told once, after the list shows what the phone holds now.
  if (changed) {
    FarLib::ShowMessage(FMSG_WARNING, "MessageChangedError",
                        {FarLib::GetMsg(Msg::kTitle), FarLib::GetMsg(Msg::kMessageChangedOnPhone),
                         FarLib::GetMsg(Msg::kOk)},
                        1);
  }
}

// The engine reports a deletion the phone refuses; the others still run.
DeletionOutcome CSMSMobilePanel::DeleteOne(size_t position) {
  if (m_currentFolder < 0) return DeletionOutcome::kNotDeleted;
  const MessageList& folder = m_stores.folders[m_currentFolder];
  if (position >= folder.size()) return DeletionOutcome::kNotDeleted;
  return m_stores.DeleteListed(Session(), *folder[position]);
}

void CSMSMobilePanel::ViewCurrent(bool detail) {
  if (m_currentFolder < 0) return;
  CSMSMessage* message = CurrentMessage();
  if (!message) return;
  if (detail) {
    ShowDetails(*message);
    return;
  }
  for (;;) {
    const MessageAction action = ShowSMSMessage(*message, m_stores.folders[m_currentFolder]);
    if (action == MessageAction::kAddSender) {
      AddSenderToPhoneBook(*message);
    } else if (action == MessageAction::kReply) {
      // Sending may list the messages again and take this one with the old list.
      const std::string destination = message->address;
      NewMessage(destination);
      message = CurrentMessage();
      if (!message) return;
    } else {
      return;
    }
  }
}

// Only storages already read can take an entry at a free index, and only writable ones keep it:
// the call lists are the phone's own record.
void CSMSMobilePanel::AddSenderToPhoneBook(CSMSMessage& message) {
  std::vector<size_t> positions;
  std::vector<std::string> items;
  for (size_t i = 0; i < m_storages.size(); ++i) {
    if (!m_storages[i]->Loaded || !m_storages[i]->Writable) continue;
    positions.push_back(i);
    items.push_back(m_storages[i]->Description());
  }
  if (items.empty()) return;
  const int chosen =
      FarLib::ShowMenu(items, FarLib::GetMsg(Msg::kAddToPhoneBook), nullptr, "SelectBookMenu");
  if (chosen < 0 || chosen >= static_cast<int>(items.size())) return;
  if (!CreateEntryIn(positions[chosen], message.address)) return;
  LookUpName(message, m_storages);
  RefreshPanel(m_hostHandle, true);
}

void CSMSMobilePanel::StoragesMenu() {
  int position = 0;
  for (;;) {
    std::vector<std::string> items;
    for (size_t i = 0; i < kStorageParameterCount; ++i) {
      std::string line = FarLib::GetMsg(Msg::kStorageParameterFirst + static_cast<int>(i));
      const int32_t chosen = m_stores.selection[i];
      const auto& list = m_stores.storages[i];
      if (i == 0 && m_stores.AllStorages()) {
        line += FarLib::GetMsg(Msg::kAllStorages);
      } else if (chosen >= 0 && static_cast<size_t>(chosen) < list.size()) {
        line += list[chosen]->Description();
      } else {
        line += FarLib::GetMsg(Msg::kStorageUnknown);
      }
      items.push_back(std::move(line));
    }
    const int chosen = FarLib::ShowMenu(items, FarLib::GetMsg(Msg::kSmsStoragesItem), nullptr,
                                        "StoragesMenu", position);
    if (chosen < 0 || chosen >= static_cast<int>(items.size())) return;
    position = chosen;
    RefreshingOnLinkFailure(m_hostHandle, [&] { SMSStorageMenu(chosen); });
    RefreshPanel(m_hostHandle, false);
  }
}

void CSMSMobilePanel::SMSStorageMenu(int parameter) {
  if (parameter < 0 || static_cast<size_t>(parameter) >= kStorageParameterCount) return;
  std::vector<std::string> items;
  for (const auto& storage : m_stores.storages[parameter]) items.push_back(storage->Description());
  if (parameter == 0) items.push_back(FarLib::GetMsg(Msg::kAllStorages));
  const int chosen =
      FarLib::ShowChoiceMenu(items, FarLib::GetMsg(Msg::kStorageParameterFirst + parameter),
                             "SMSStorageMenu", m_stores.selection[parameter]);
  if (chosen < 0 || chosen >= static_cast<int>(items.size())) return;
  m_stores.selection[parameter] = chosen;
  const SMSSession session = Session();
  m_stores.SelectStorages(session, -1);
  m_stores.ReadCurrentStorages(session);
  m_stores.ReadMessages(session);
  SaveStorageChoice();
}

void CSMSMobilePanel::FunctionsMenu() {
  for (;;) {
    const char* items[] = {
        FarLib::GetMsg(Msg::kNewMessageItem),    FarLib::GetMsg(Msg::kSmsStoragesItem),
        FarLib::GetMsg(Msg::kTerminalItem),      FarLib::GetMsg(Msg::kClockItem),
        FarLib::GetMsg(Msg::kCapabilityLogItem), FarLib::GetMsg(Msg::kPhoneBookViewItem)};
    const int chosen = FarLib::ShowMenu(items, FarLib::GetMsg(Msg::kFunctionsTitle), nullptr,
                                        "Functions", m_functionsPosition, FMENU_WRAPMODE);
    if (chosen < 0 || chosen > kPhoneBookFunction) return;
    m_functionsPosition = chosen;
    switch (chosen) {
      case kNewMessageFunction: NewMessage(""); break;
      case kStoragesFunction: StoragesMenu(); break;
      case kTerminalFunction: RunPhoneTool(PhoneTool::Terminal); break;
      case kClockFunction: RunPhoneTool(PhoneTool::Clock); break;
      case kCapabilityLogFunction: RunPhoneTool(PhoneTool::CapabilityLog); break;
      case kPhoneBookFunction: SetActiveView(true); return;
      default: break;
    }
  }
}

void CSMSMobilePanel::CopyDialog() {
  Plugin::CopyTargets targets = Plugin::ReadCopyTargets(m_hostHandle, false);
  if (targets.otherIsPlugin || targets.items.empty()) return;
  FarLib::CFarDialog dialog(kCopyDialogWidth, kCopyDialogHeight, "CopyItemDlg");
  Plugin::AddCopyItems(dialog, targets.items, targets.destination);
  dialog.AddOKCancel(Msg::kCopyButton, Msg::kCancel);
  if (dialog.Run() != 0) return;
  std::vector<char> target = Plugin::DestinationBuffer(targets.destination);
  CSMSMobilePanel::GetFiles(targets.items.data(), static_cast<int>(targets.items.size()), 0,
                            target.data(), 0, {});
  Plugin::RefreshAfterCopy(m_hostHandle);
}

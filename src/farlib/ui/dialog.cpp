#include "farlib/ui/dialog.h"

#include <algorithm>

#include "farlib/host.h"

namespace FarLib {

CFarDialog::CFarDialog(int width, int height, std::string helpTopic)
    : m_right(width), m_bottom(height), m_helpTopic(std::move(helpTopic)) {}

int CFarDialog::AddItem(std::unique_ptr<CFarDialogItem> item) {
  m_items.push_back(std::move(item));
  return ItemCount() - 1;
}

int CFarDialog::AddFrame() { return AddFrame(std::string()); }

int CFarDialog::AddFrame(int titleMessage) { return AddFrame(std::string(GetMsg(titleMessage))); }

int CFarDialog::AddFrame(std::string title) {
  return Add<CFarBoxItem>(true, 3, 1, m_right - 4, m_bottom - 2, 0, std::move(title));
}

int CFarDialog::AddButton(int captionMessage) {
  return Add<CFarButtonItem>(0, m_bottom - 4, DIF_CENTERGROUP, false, GetMsg(captionMessage));
}

int CFarDialog::AddOKCancel(int okMessage, int cancelMessage) {
  const int ok = Add<CFarButtonItem>(0, m_bottom - 4, DIF_CENTERGROUP, true, GetMsg(okMessage));
  Add<CFarButtonItem>(0, m_bottom - 4, DIF_CENTERGROUP, false, GetMsg(cancelMessage));
  return ok;
}

void CFarDialog::SetFocus(int index) { m_focus = index < 0 ? index + ItemCount() : index; }

int CFarDialog::Run() { return Run(std::nullopt); }

int CFarDialog::Run(std::initializer_list<int> exitItems) {
  return Run(std::vector<int>(exitItems));
}

int CFarDialog::Run(const std::optional<std::vector<int>>& exitItems) {
  const PluginStartupInfo& info = StartupInfo();
  if (!info.Dialog) return -1;
  std::vector<FarDialogItem> records(m_items.size());
  for (size_t i = 0; i < m_items.size(); ++i) m_items[i]->Fill(records[i]);
  if (m_focus >= 0 && m_focus < ItemCount()) records[static_cast<size_t>(m_focus)].Focus = 1;
  for (;;) {
    const int closedBy = info.Dialog(info.ModuleNumber, m_left, m_top, m_right, m_bottom,
                                     m_helpTopic.c_str(), records.data(), ItemCount());
    if (closedBy < 0) return -1;
    bool isExit = false;
    const int result = ExitPosition(closedBy, exitItems, isExit);
    if (!isExit) return result;
    const int refusing = FirstRefusal(records);
    if (refusing < 0) {
      for (size_t i = 0; i < m_items.size(); ++i) m_items[i]->Store(records[i]);
      return result;
    }
    for (FarDialogItem& record : records) record.Focus = 0;
    records[static_cast<size_t>(refusing)].Focus = 1;
  }
}

int CFarDialog::ExitPosition(int closedBy, const std::optional<std::vector<int>>& exitItems,
                             bool& isExit) const {
  if (!exitItems) {
    isExit = closedBy == ItemCount() - 2;
    return isExit ? 0 : closedBy;
  }
  for (size_t i = 0; i < exitItems->size(); ++i) {
    const int item = (*exitItems)[i];
    if ((item < 0 ? item + ItemCount() : item) == closedBy) {
      isExit = true;
      return static_cast<int>(i);
    }
  }
  return -1;
}

int CFarDialog::FirstRefusal(std::vector<FarDialogItem>& records) {
  for (size_t i = 0; i < m_items.size(); ++i) {
    if (!m_items[i]->Check(records[i], records)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace FarLib

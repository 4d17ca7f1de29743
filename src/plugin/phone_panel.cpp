#include <array>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "farlib/host.h"
#include "farlib/language_file.h"
#include "farlib/menu.h"
#include "farlib/message_ids.h"
#include "farlib/panel_items.h"
#include "link/at_engine.h"
#include "link/io_error.h"
#include "phonebook/entry_editing.h"
#include "phonebook/storage_access.h"
#include "platform/error.h"
#include "plugin/host_panel.h"
#include "plugin/panels.h"

namespace {

constexpr FarDword kDirectoryAttribute = 0x10;
constexpr FarDword kWritableEntryAttribute = 1;
constexpr int kKeyR = 'R';

// The four panel modes: columns, widths and titles (language messages; 0 for none), and the
// status line's columns.
struct ModeLayout {
  const char* columns;
  const char* widths;
  std::array<int, 3> titles;
  const char* statusColumns;
  const char* statusWidths;
};

constexpr std::array<ModeLayout, 4> kModeLayouts = {{
    {"N,Z,S", "2,0,6", {Msg::kIndexColumn, Msg::kNameColumn, 0}, "Z", "0"},
    {"O,Z", "0,6", {Msg::kNumberColumn, 0, 0}, "Z", "0"},
    {"S,O,Z", "5,0,12", {Msg::kIndexColumn, Msg::kNumberColumn, Msg::kNameColumn}, "O,Z", "0,0"},
    {"S,Z,DM",
     "5,0,0",
     {Msg::kIndexColumn, Msg::kNameColumn, Msg::kTimeColumn},
     "Z,O,DM",
     "0,12,0"},
}};

// Built once, on the first request, with copies of the texts so that they outlive the host's.
class CPanelModes {
 public:
  CPanelModes() {
    for (size_t mode = 0; mode < kModeLayouts.size(); ++mode) {
      const ModeLayout& layout = kModeLayouts[mode];
      for (size_t column = 0; column < layout.titles.size(); ++column) {
        const int title = layout.titles[column];
        m_texts[mode][column] = title ? FarLib::GetMsg(title) : "";
        m_titles[mode][column] = m_texts[mode][column].data();
      }
      PanelMode& record = m_modes[mode];
      record = PanelMode{};
      record.ColumnTypes = const_cast<char*>(layout.columns);
      record.ColumnWidths = const_cast<char*>(layout.widths);
      record.ColumnTitles = m_titles[mode].data();
      record.StatusColumnTypes = const_cast<char*>(layout.statusColumns);
      record.StatusColumnWidths = const_cast<char*>(layout.statusWidths);
    }
  }
  const PanelMode* Data() const { return m_modes.data(); }
  int Count() const { return static_cast<int>(m_modes.size()); }

 private:
  std::array<std::array<std::string, 3>, 4> m_texts;
  std::array<std::array<char*, 3>, 4> m_titles{};
  std::array<PanelMode, 4> m_modes{};
};

// The key labels of one level: a null label keeps the host's own, an empty one blanks the key.
enum class KeyRow { Plain, Alt, Shift };
struct KeyLabel {
  KeyRow row;
  int key;      // 1 to 12
  int message;  // 0 blanks the key
};

constexpr KeyLabel kRootLabels[] = {
    {KeyRow::Plain, 3, 0}, {KeyRow::Plain, 4, 0}, {KeyRow::Plain, 6, 0}, {KeyRow::Plain, 7, 0},
    {KeyRow::Plain, 8, 0}, {KeyRow::Alt, 3, 0},   {KeyRow::Alt, 4, 0},   {KeyRow::Alt, 5, 0},
    {KeyRow::Alt, 6, 0},   {KeyRow::Alt, 7, 0},   {KeyRow::Alt, 10, 0},  {KeyRow::Shift, 1, 0},
    {KeyRow::Shift, 2, 0}, {KeyRow::Shift, 3, 0}, {KeyRow::Shift, 4, 0}, {KeyRow::Shift, 6, 0},
    {KeyRow::Shift, 8, 0},
};
constexpr KeyLabel kStorageBlanks[] = {
    {KeyRow::Plain, 7, 0}, {KeyRow::Alt, 3, 0},   {KeyRow::Alt, 4, 0},   {KeyRow::Alt, 7, 0},
    {KeyRow::Alt, 10, 0},  {KeyRow::Shift, 1, 0}, {KeyRow::Shift, 2, 0}, {KeyRow::Shift, 3, 0},
    {KeyRow::Shift, 4, 0}, {KeyRow::Shift, 6, 0},
};
constexpr KeyLabel kWritableLabels[] = {
    {KeyRow::Plain, 4, Msg::kEditKey},
    {KeyRow::Plain, 6, Msg::kRenumberKey},
    {KeyRow::Alt, 5, Msg::kCopyToKey},
    {KeyRow::Alt, 6, Msg::kMoveToKey},
};
constexpr KeyLabel kReadOnlyLabels[] = {
    {KeyRow::Plain, 4, 0},
    {KeyRow::Plain, 6, 0},
    {KeyRow::Alt, 5, Msg::kCopyToKey},
    {KeyRow::Alt, 6, Msg::kMoveToKey},
};

class CKeyBar {
 public:
  CKeyBar(std::initializer_list<std::span<const KeyLabel>> parts) {
    for (std::span<const KeyLabel> part : parts) {
      for (const KeyLabel& label : part) Set(label);
    }
  }
  const KeyBarTitles* Data() const { return &m_titles; }

 private:
  void Set(const KeyLabel& label) {
    std::string& text = m_texts.emplace_back(label.message ? FarLib::GetMsg(label.message) : "");
    char** row = label.row == KeyRow::Plain ? m_titles.Titles
                 : label.row == KeyRow::Alt ? m_titles.AltTitles
                                            : m_titles.ShiftTitles;
    row[label.key - 1] = text.data();
  }

  KeyBarTitles m_titles{};
  std::deque<std::string> m_texts;  // stays where it is as it grows
};

const CPanelModes& PanelModes() {
  static const CPanelModes modes;
  return modes;
}

const CKeyBar& RootKeyBar() {
  static const CKeyBar bar({kRootLabels});
  return bar;
}

const CKeyBar& StorageKeyBar(bool writable) {
  static const CKeyBar writableBar({kStorageBlanks, kWritableLabels});
  static const CKeyBar readOnlyBar({kStorageBlanks, kReadOnlyLabels});
  return writable ? writableBar : readOnlyBar;
}

PluginPanelItem* NewItems(size_t count) { return count ? new PluginPanelItem[count]() : nullptr; }

FarFileTime ToFileTime(uint64_t time) {
  return {static_cast<FarDword>(time), static_cast<FarDword>(time >> 32)};
}

void FillEntryItem(PluginPanelItem& item, const PhoneBookEntry& entry, bool writable,
                   size_t position) {
  FarLib::SetFileName(item, entry.Name.empty() ? entry.Number : entry.Name);
  item.Description = FarLib::DuplicateText(entry.Name);
  item.Owner = FarLib::DuplicateText(entry.Number);
  item.FindData.nFileSizeLow = static_cast<FarDword>(entry.Index);
  item.FindData.ftCreationTime = ToFileTime(entry.Time);
  item.FindData.ftLastWriteTime = ToFileTime(entry.Time);
  item.FindData.dwFileAttributes = writable ? kWritableEntryAttribute : 0;
  item.UserData = static_cast<FarDword>(position);
}

}  // namespace

PhoneBookSession CPhoneMobilePanel::Session() { return {*m_connection, *m_profile, m_cache}; }

PhoneBookStorage* CPhoneMobilePanel::CurrentStorage() const {
  if (m_currentStorage < 0 || static_cast<size_t>(m_currentStorage) >= m_storages.size())
    return nullptr;
  return m_storages[m_currentStorage].get();
}

void CPhoneMobilePanel::GetOpenPluginInfo(OpenPluginInfo& info) {
  CGenericMobilePanel::GetOpenPluginInfo(info);
  info.PanelModesArray = PanelModes().Data();
  info.PanelModesNumber = PanelModes().Count();
  const PhoneBookStorage* storage = CurrentStorage();
  info.KeyBar = storage ? StorageKeyBar(storage->Writable).Data() : RootKeyBar().Data();
  // Inside a storage the item list brings its own "..".
  if (storage) info.Flags &= ~OPIF_ADDDOTS;
}

int CPhoneMobilePanel::GetFindData(PluginPanelItem** items, int* count, int) {
  *items = nullptr;
  *count = 0;
  if (PhoneBookStorage* storage = CurrentStorage()) {
    ListEntries(*storage, items, count);
  } else {
    ListStorages(items, count);
    ApplyPanelModes(0, SM_NAME, 0);
  }
  return 1;
}

void CPhoneMobilePanel::ListStorages(PluginPanelItem** items, int* count) {
  PluginPanelItem* list = NewItems(m_storages.size());
  for (size_t i = 0; i < m_storages.size(); ++i) {
    FarLib::SetFileName(list[i], m_storages[i]->Name);
    list[i].FindData.dwFileAttributes = kDirectoryAttribute;
    list[i].Description = FarLib::DuplicateText(m_storages[i]->Description());
    list[i].UserData = static_cast<FarDword>(i);
  }
  *items = list;
  *count = static_cast<int>(m_storages.size());
}

// A link that fails while the storage is read leaves an empty panel and the reason on screen.
void CPhoneMobilePanel::ListEntries(PhoneBookStorage& storage, PluginPanelItem** items,
                                    int* count) {
  try {
    FarLib::CSavedScreen screen;
    PhoneBookSession session = Session();
    LoadStorage(session, storage);
  } catch (const io_error& failure) {
    Platform::SetLastError(failure.Code());
    FarLib::ShowSysError(failure.what());
    ApplyPanelModes(2, SM_NAME, 1);
    return;
  }
  const size_t total = storage.Entries.size() + 1;
  PluginPanelItem* list = NewItems(total);
  std::memcpy(list[0].FindData.cFileName, "..", 3);
  list[0].FindData.dwFileAttributes = kDirectoryAttribute;
  list[0].Description = FarLib::DuplicateText("..");
  for (size_t i = 0; i < storage.Entries.size(); ++i)
    FillEntryItem(list[i + 1], *storage.Entries[i], storage.Writable, i);
  *items = list;
  *count = static_cast<int>(total);
  ApplyPanelModes(storage.ViewMode, storage.SortMode, storage.SortOrder);
}

void CPhoneMobilePanel::EnterRoot() {
  m_currentStorage = -1;
  m_currentDirectory.clear();
}

void CPhoneMobilePanel::StoreView(PhoneBookStorage& storage) {
  const HostPanelState panel = ReadHostPanel(m_hostHandle);
  storage.ViewMode = panel.viewMode;
  storage.SortMode = panel.sortMode;
  storage.SortOrder = panel.reverseOrder ? 1 : 0;
  m_cache.Save(storage, true);
}

int CPhoneMobilePanel::SetDirectory(const char* directory, int) {
  std::string_view name = directory ? directory : "";
  if (name.starts_with('\\')) {
    EnterRoot();
    name.remove_prefix(1);
    // The root itself is a directory the host may ask for.
    if (name.empty()) return 1;
  }
  PhoneBookStorage* storage = CurrentStorage();
  if (name == "..") {
    if (storage) {
      StoreView(*storage);
      EnterRoot();
    } else {
      FarLib::Control(m_hostHandle, FCTL_CLOSEPLUGIN, nullptr);
    }
    return 1;
  }
  if (storage || name.empty()) return 0;
  for (size_t i = 0; i < m_storages.size(); ++i) {
    if (m_storages[i]->Name == name) {
      m_currentStorage = static_cast<int>(i);
      m_currentDirectory = m_storages[i]->Name;
      return 1;
    }
  }
  return 0;
}

int CPhoneMobilePanel::GetFiles(PluginPanelItem*, int, int, char*, int) { return 0; }

int CPhoneMobilePanel::PutFiles(PluginPanelItem*, int, int, int) { return 0; }

// Each key comes twice, first marked as preprocessing: it acts on the plain one only.
int CPhoneMobilePanel::ProcessKey(int key, unsigned int controlState) {
  if (key & PKF_PREPROCESS) return 0;
  PhoneBookStorage* storage = CurrentStorage();
  if (!storage) return 0;
  if (key == kKeyR && controlState == PKF_CONTROL) {
    RereadMenu(*storage);
    return 0;  // the host then reads the panel again
  }
  return StorageKey(*storage, key, controlState) ? 1 : 0;
}

bool CPhoneMobilePanel::StorageKey(PhoneBookStorage& storage, int key, unsigned int state) {
  const bool plain = state == 0;
  const bool shift = state == PKF_SHIFT;
  if (key == kVkF3 && plain) {
    const HostPanelState panel = ReadHostPanel(m_hostHandle);
    if (panel.currentEntry && *panel.currentEntry < storage.Entries.size()) {
      const PhoneBookEntry& entry = *storage.Entries[*panel.currentEntry];
      FarLib::ShowInfo(entry.Name.c_str(), entry.Number.c_str());
    }
    return true;
  }
  const bool editKey =
      (key == kVkF4 && (plain || shift)) || (key == kVkF8 && plain) || (key == kVkF6 && plain);
  if (!editKey) return false;
  // Keys that change a storage do nothing in one that cannot be changed.
  if (!storage.Writable) return !shift;
  PhoneBookSession session = Session();
  CHostPhoneBookView view(m_hostHandle);
  if (key == kVkF4 && shift) {
    CreateEntry(session, storage, view, "", "+", true);
  } else if (key == kVkF4) {
    const HostPanelState panel = ReadHostPanel(m_hostHandle);
    if (panel.currentEntry && *panel.currentEntry < storage.Entries.size())
      EditEntry(session, storage, view, *panel.currentEntry);
  } else if (key == kVkF8) {
    DeleteSelected(session, storage, view);
  } else {
    return false;  // moving to another index comes with the copy dialogs
  }
  return true;
}

void CPhoneMobilePanel::RereadMenu(PhoneBookStorage& storage) {
  const char* items[] = {FarLib::GetMsg(Msg::kRereadStorage), FarLib::GetMsg(Msg::kRereadSelected),
                         FarLib::GetMsg(Msg::kRereadNew)};
  const char* title = FarLib::GetModuleMessage(Msg::kRereadTitle);
  switch (FarLib::ShowMenu(items, title ? title : "", nullptr, "RereadMenu")) {
    case 0: storage.Loaded = false; break;
    case 1: RereadSelected(storage); break;
    case 2: {
      PhoneBookSession session = Session();
      ReadNewEntries(session, storage, false);
      break;
    }
    default: break;
  }
}

// A re-read may drop an entry and move the later ones up, so each is found again before it is
// read.
void CPhoneMobilePanel::RereadSelected(PhoneBookStorage& storage) {
  FarLib::CSavedScreen screen;
  std::vector<const PhoneBookEntry*> chosen;
  for (size_t position : ReadHostPanel(m_hostHandle).selectedEntries) {
    if (position < storage.Entries.size()) chosen.push_back(storage.Entries[position].get());
  }
  PhoneBookSession session = Session();
  for (const PhoneBookEntry* entry : chosen) {
    for (size_t position = 0; position < storage.Entries.size(); ++position) {
      if (storage.Entries[position].get() != entry) continue;
      RereadEntry(session, storage, position, false);
      break;
    }
    if (EscapePressed()) break;
  }
  m_cache.Save(storage, false);
}

void CPhoneMobilePanel::ClosePlugin() {
  if (PhoneBookStorage* storage = CurrentStorage()) StoreView(*storage);
  CGenericMobilePanel::ClosePlugin();
}

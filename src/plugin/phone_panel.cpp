#include <array>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "farlib/ui/dialog.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/language_file.h"
#include "farlib/ui/menu.h"
#include "farlib/message_ids.h"
#include "farlib/panel_items.h"
#include "link/at_engine.h"
#include "phone/handshake.h"
#include "plugin/edit_profile.h"
#include "phonebook/contact_files.h"
#include "phonebook/contact_transfer.h"
#include "phonebook/entry_editing.h"
#include "phonebook/export_options.h"
#include "phonebook/storage_access.h"
#include "platform/file.h"
#include "plugin/copy_dialog.h"
#include "plugin/guard.h"
#include "plugin/host_panel.h"
#include "plugin/host_users.h"
#include "plugin/output_file.h"
#include "plugin/phone_book_user.h"
#include "plugin/panel_layout.h"
#include "plugin/panels.h"
#include "plugin/view_items.h"
#include "settings/settings.h"

namespace {

using Plugin::CKeyBar;
using Plugin::CPanelModes;
using Plugin::IsFolder;
using Plugin::ItemName;
using Plugin::KeyLabel;
using Plugin::KeyRow;
using Plugin::ModeLayout;

constexpr FarDword kWritableEntryAttribute = 1;
constexpr int kKeyR = 'R';

// The four panel modes: root, numbers only, index-number-name, and call lists with times.
constexpr std::array<ModeLayout, 4> kModeLayouts = {{
    {"N,Z,S", "2,0,6", {{{Msg::kIndexColumn}, {Msg::kNameColumn}, {}}}, "Z", "0"},
    {"O,Z", "0,6", {{{Msg::kNumberColumn}, {}, {}}}, "Z", "0"},
    {"S,O,Z",
     "5,0,12",
     {{{Msg::kIndexColumn}, {Msg::kNumberColumn}, {Msg::kNameColumn}}},
     "O,Z",
     "0,0"},
    {"S,Z,DM",
     "5,0,0",
     {{{Msg::kIndexColumn}, {Msg::kNameColumn}, {Msg::kTimeColumn}}},
     "Z,O,DM",
     "0,12,0"},
}};

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

const CPanelModes& PanelModes() {
  static const CPanelModes modes(kModeLayouts);
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

// Contact files are read whole; long before this size they hold more entries than a phone.
constexpr uint64_t kMaxImportFileSize = 16u << 20;
// The copy dialog's fourth format needs the dialog one row taller than its three.
constexpr int kCopyDialogHeight = 14;
constexpr int kCopyDialogWidth = 70;

// The functions menu, in the order it shows them.
enum FunctionItem {
  kCharsetFunction,
  kModelFunction,
  kTerminalFunction,
  kClockFunction,
  kCapabilityLogFunction,
  kSmsViewFunction,
};

// The OutFormat setting as a format: a value outside the formats (from a hand-edited registry)
// is text.
ExportFormat FormatOfSetting(uint32_t setting) {
  return setting > kLastExportFormat ? ExportFormat::Text : static_cast<ExportFormat>(setting);
}

// None for a file that cannot be read, is too short to hold a contact or too long to be one.
std::optional<std::string> ReadImportFile(const std::string& path) {
  Platform::CFile file = Platform::CFile::Open(path, Platform::OpenMode::ExistingRead);
  uint64_t size = 0;
  if (!file.IsOpen() || !file.Size(size) || size <= 4) return std::nullopt;
  if (size > kMaxImportFileSize) {
    FarLib::ShowError(FarLib::GetMsg(Msg::kFileTooLarge), path.c_str());
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t filled = 0;
  while (filled < bytes.size()) {
    uint32_t read = 0;
    if (!file.Read(bytes.data() + filled, static_cast<uint32_t>(bytes.size() - filled), read) ||
        read == 0)
      break;
    filled += read;
  }
  bytes.resize(filled);
  return bytes;
}

bool IsAbsolutePath(const std::string& path) {
  return path.starts_with('/') || path.starts_with('\\') || (path.size() > 1 && path[1] == ':');
}

std::string BaseName(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The folder of the other panel, where the host's files come from and exports go by default.
std::string OtherPanelFolder(FarHandle panel, bool* isPlugin = nullptr) {
  PanelInfo other{};
  if (!FarLib::Control(panel, FCTL_GETANOTHERPANELINFO, &other)) return {};
  if (isPlugin) *isPlugin = other.Plugin != 0;
  return std::string(other.CurDir, strnlen(other.CurDir, sizeof other.CurDir));
}

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

PhoneBookSession CPhoneMobilePanel::Session() {
  return {*m_connection,  *m_profile, m_cache, HostPhoneBookListingUser(),
          m_selectedBook, &m_charsets};
}

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
  FarLib::CPanelItemArray list(m_storages.size());
  for (size_t i = 0; i < m_storages.size(); ++i) {
    Plugin::FillFolderItem(list[i], FarLib::SafeFileName(m_storages[i]->Name),
                           m_storages[i]->Description(), static_cast<FarDword>(i));
  }
  list.HandOver(items, count);
}

// A link that fails while the storage is read leaves an empty panel and the reason on screen.
void CPhoneMobilePanel::ListEntries(PhoneBookStorage& storage, PluginPanelItem** items,
                                    int* count) {
  const bool loaded = m_listAsIs || Plugin::RunReportingLinkFailure([&] {
                        FarLib::CSavedScreen screen;
                        PhoneBookSession session = Session();
                        LoadStorage(session, storage);
                      });
  if (!loaded) {
    ApplyPanelModes(2, SM_NAME, 1);
    return;
  }
  FarLib::CPanelItemArray list(storage.Entries.size() + 1);
  Plugin::FillFolderItem(list[0], "..", "..", 0);
  for (size_t i = 0; i < storage.Entries.size(); ++i)
    FillEntryItem(list[i + 1], *storage.Entries[i], storage.Writable, i);
  list.HandOver(items, count);
  ApplyPanelModes(storage.ViewMode, storage.SortMode, storage.SortOrder);
}

void CPhoneMobilePanel::ShowListAsIs() {
  m_listAsIs = true;
  RefreshPanel(m_hostHandle, false);
  m_listAsIs = false;
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
  Plugin::FolderMoves moves;
  moves.inFolder = [this] { return CurrentStorage() != nullptr; };
  moves.toRoot = [this] { EnterRoot(); };
  moves.leaveFolder = [this] {
    StoreView(*CurrentStorage());
    EnterRoot();
  };
  moves.enterFolder = [this](std::string_view name) {
    for (size_t i = 0; i < m_storages.size(); ++i) {
      if (m_storages[i]->Name != name) continue;
      m_currentStorage = static_cast<int>(i);
      m_currentDirectory = m_storages[i]->Name;
      return true;
    }
    return false;
  };
  return Plugin::ChangeDirectory(m_hostHandle, directory, moves);
}

// Exported entries are never removed: the host's move flag is not followed.
int CPhoneMobilePanel::GetFiles(PluginPanelItem* items, int count, int, char* destination, int,
                                const ExportOptions& options) {
  if (!items || count <= 0 || !destination) return 0;
  const std::string target(destination, strnlen(destination, NM));
  if (PhoneBookStorage* storage = CurrentStorage())
    return ExportEntries(*storage, items, count, target, options);
  return ExportStorages(items, count, target, options);
}

int CPhoneMobilePanel::PutFiles(PluginPanelItem* items, int count, int move, int) {
  if (!items || count <= 0) return 0;
  int imported = 0;
  RefreshingOnLinkFailure([&] { imported = ImportFiles(items, count, move != 0); },
                          [this] { ShowListAsIs(); });
  return imported;
}

bool CPhoneMobilePanel::WriteExportFile(const PhoneBookStorage& storage,
                                        const std::vector<size_t>& positions,
                                        const std::string& destination, const std::string& fileName,
                                        const ExportOptions& options) {
  const ExportFormat format = options.Format;
  const std::string extension = options.Extension ? ExportExtension(format) : "";
  const std::string path =
      ExportFilePath(destination, fileName, extension, Platform::IsDirectory(destination));
  // Appending to an address book would leave its counts wrong.
  const int mode =
      format == ExportFormat::AddressBook ? Plugin::kAskOverwrite : Plugin::kAskOverwriteOrAppend;
  Platform::CFile file = Plugin::CreateOutputFile(path, false, mode);
  if (!file.IsOpen()) return false;
  std::string bytes = ExportHeader(format, storage.Name, static_cast<uint32_t>(positions.size()));
  for (const size_t position : positions)
    bytes += ExportContact(format, ContactOf(*storage.Entries[position]));
  if (!Plugin::WriteAll(file, bytes)) {
    FarLib::ShowSysError(FarLib::GetMsg(Msg::kFileNotWritten), path.c_str());
    return false;
  }
  return true;
}

int CPhoneMobilePanel::ExportEntries(PhoneBookStorage& storage, PluginPanelItem* items, int count,
                                     const std::string& destination, const ExportOptions& options) {
  std::vector<size_t> positions;
  for (int i = 0; i < count; ++i) {
    if (IsFolder(items[i]) || items[i].UserData >= storage.Entries.size()) continue;
    positions.push_back(items[i].UserData);
  }
  if (positions.empty()) return 0;
  const std::string fileName = count == 1 ? ItemName(items[0]) : storage.Name;
  if (!WriteExportFile(storage, positions, destination, fileName, options)) return 0;
  for (int i = 0; i < count; ++i) items[i].Flags &= ~PPIF_SELECTED;
  return 1;
}

int CPhoneMobilePanel::ExportStorages(PluginPanelItem* items, int count,
                                      const std::string& destination,
                                      const ExportOptions& options) {
  // However the loop ends, the panel is at the root again.
  struct BackToRoot {
    int& current;
    ~BackToRoot() { current = -1; }
  } backToRoot{m_currentStorage};
  int written = 0;
  for (int i = 0; i < count; ++i) {
    // The host's own ".." carries no storage's position.
    if (!IsFolder(items[i]) || ItemName(items[i]) == ".." || items[i].UserData >= m_storages.size())
      continue;
    PhoneBookStorage& storage = *m_storages[items[i].UserData];
    m_currentStorage = static_cast<int>(items[i].UserData);
    PhoneBookSession session = Session();
    {
      FarLib::CSavedScreen screen;
      LoadStorage(session, storage);
    }
    std::vector<size_t> positions(storage.Entries.size());
    for (size_t k = 0; k < positions.size(); ++k) positions[k] = k;
    if (!WriteExportFile(storage, positions, destination, storage.Name, options)) continue;
    items[i].Flags &= ~PPIF_SELECTED;
    ++written;
  }
  return written ? 1 : 0;
}

bool CPhoneMobilePanel::CopyDialog(bool currentOnly) {
  Plugin::CopyTargets targets = Plugin::ReadCopyTargets(m_hostHandle, currentOnly);
  if (targets.otherIsPlugin) return false;
  if (targets.items.empty()) return true;

  // The format chosen last is offered first; the one chosen now is kept for the next copy.
  auto format = static_cast<uint32_t>(FormatOfSetting(Settings().OutFormat));
  FarLib::CFarDialog dialog(kCopyDialogWidth, kCopyDialogHeight, "CopyItemDlg");
  Plugin::AddCopyItems(dialog, targets.items, targets.destination);
  const int labels[] = {Msg::kTextFormat, Msg::kTextFormat + 1, Msg::kTextFormat + 2,
                        Msg::kVCardFormat};
  for (int k = 0; k <= static_cast<int>(kLastExportFormat); ++k) {
    dialog.Add<FarLib::CFarRadioButtonItem>(5, 5 + k, k == 0 ? DIF_GROUP : 0,
                                            FarLib::GetMsg(labels[k]),
                                            FarLib::CFarIntegerStorage(format), k);
  }
  dialog.AddOKCancel(Msg::kCopyButton, Msg::kCancel);
  if (dialog.Run() != 0) return true;
  Settings().OutFormat = format;

  std::vector<char> target = Plugin::DestinationBuffer(targets.destination);
  CPhoneMobilePanel::GetFiles(targets.items.data(), static_cast<int>(targets.items.size()), 0,
                              target.data(), 0, {FormatOfSetting(format), true});
  Plugin::RefreshAfterCopy(m_hostHandle);
  return true;
}

void CPhoneMobilePanel::CopyToStorage(PhoneBookStorage& storage, bool move) {
  const std::vector<size_t> selected = ReadHostPanel(m_hostHandle).selectedEntries;
  if (selected.empty() || selected.front() >= storage.Entries.size()) return;
  std::vector<PhoneBookStorage*> targets;
  for (const auto& other : m_storages) {
    if (other.get() != &storage && other->Writable) targets.push_back(other.get());
  }
  if (targets.empty()) return;
  move = move && storage.Writable;
  const int roles = move ? Msg::kMoveTitle - Msg::kCopyTitle : 0;
  const PhoneBookEntry& first = *storage.Entries[selected.front()];
  const std::string prompt =
      selected.size() == 1
          ? FarLib::FormatMsg(
                Msg::kCopyOne + roles,
                FarLib::SafeFileName(first.Name.empty() ? first.Number : first.Name).c_str())
          : FarLib::FormatMsg(Msg::kCopyMany + roles, static_cast<int>(selected.size()));
  const int count = static_cast<int>(targets.size());
  FarLib::CFarDialog dialog(kCopyDialogWidth, count + 9, "CopyItemInternalDlg");
  dialog.AddFrame(Msg::kCopyTitle + roles);
  dialog.Add<FarLib::CFarTextItem>(5, 2, 0, prompt);
  int32_t choice = 0;
  for (int k = 0; k < count; ++k) {
    dialog.Add<FarLib::CFarRadioButtonItem>(6, 4 + k, k == 0 ? DIF_GROUP : 0,
                                            targets[k]->Description(),
                                            FarLib::CFarIntegerStorage(choice), k);
  }
  dialog.AddOKCancel(Msg::kCopyButton, Msg::kCancel);
  if (dialog.Run() != 0 || choice < 0 || choice >= count) return;

  PhoneBookSession session = Session();
  CHostPhoneBookUser user(m_hostHandle);
  TransferEntries(session, storage, *targets[choice], user, selected, move);
  RefreshPanel(m_hostHandle, true);
}

void CPhoneMobilePanel::MoveDialog(PhoneBookStorage& storage) {
  const HostPanelState panel = ReadHostPanel(m_hostHandle);
  if (!panel.currentEntry || *panel.currentEntry >= storage.Entries.size()) return;
  const int32_t from = storage.Entries[*panel.currentEntry]->Index;
  int32_t to = from;
  FarLib::CFarDialog dialog(60, 9, "MoveItemDlg");
  dialog.AddFrame(Msg::kMoveEntry);
  dialog.Add<FarLib::CFarTextItem>(5, 3, 0, FarLib::GetMsg(Msg::kIndexLabel));
  dialog.Add<FarLib::CFarEditItem>(25, 3, 29, 0, "", FarLib::CFarIntegerStorage(to),
                                   std::make_unique<FarLib::CFarIntegerRangeValidator>(
                                       storage.MinIndex, storage.MaxIndex, "OutOfRangeError"));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  if (dialog.Run() != 0) return;
  {
    FarLib::CSavedScreen screen;
    PhoneBookSession session = Session();
    CHostPhoneBookUser user(m_hostHandle);
    if (RenumberEntry(session, storage, user, from, to)) m_cache.Save(storage, false);
  }
  RefreshPanel(m_hostHandle, true);
}

int CPhoneMobilePanel::ImportFiles(PluginPanelItem* items, int count, bool move) {
  PhoneBookStorage* storage = CurrentStorage();
  if (!storage) {
    FarLib::ShowMessage(FMSG_WARNING, "NoImportError",
                        {FarLib::GetMsg(Msg::kTitle), FarLib::GetMsg(Msg::kNoImportAtRoot),
                         FarLib::GetMsg(Msg::kOk)},
                        1);
    return 0;
  }
  if (!storage->Writable) return 0;
  const std::string folder = OtherPanelFolder(m_hostHandle);
  PhoneBookSession session = Session();
  CHostPhoneBookUser user(m_hostHandle);
  int imported = 0;
  for (int i = 0; i < count; ++i) {
    if (IsFolder(items[i])) continue;
    const std::string name = ItemName(items[i]);
    const std::string path = IsAbsolutePath(name) || folder.empty() ? name : JoinPath(folder, name);
    const std::optional<std::string> bytes = ReadImportFile(path);
    if (!bytes) continue;
    const ContactFile contacts = ReadContactFile(*bytes, BaseName(name));
    const ImportOutcome outcome = ImportContacts(session, *storage, user, contacts);
    if (outcome.mayDelete && move) Platform::DeleteFile(path);
    ++imported;
    if (outcome.stopped) break;
  }
  m_cache.Save(*storage, false);
  // 2: the entries are not named after the files, so the host keeps its cursor.
  return imported ? 2 : 0;
}

void CPhoneMobilePanel::FunctionsMenu() {
  if (!m_profile) return;
  for (;;) {
    const std::vector<std::string> items = {
        FarLib::FormatMsg(Msg::kCharsetItem, m_profile->Charset.c_str()),
        FarLib::FormatMsg(Msg::kModelItem, m_profile->Manufacturer.c_str(),
                          m_profile->Model.c_str()),
        FarLib::GetMsg(Msg::kTerminalItem),
        FarLib::GetMsg(Msg::kClockItem),
        FarLib::GetMsg(Msg::kCapabilityLogItem),
        FarLib::GetMsg(Msg::kSmsViewItem)};
    const int chosen = FarLib::ShowMenu(items, FarLib::GetMsg(Msg::kFunctionsTitle), nullptr,
                                        "Functions", m_functionsPosition, FMENU_WRAPMODE);
    if (chosen < 0 || chosen >= static_cast<int>(items.size())) return;
    m_functionsPosition = chosen;
    switch (chosen) {
      case kCharsetFunction: CharsetMenu(); break;
      case kModelFunction:
        // A save that fails has told the user so itself.
        if (EditProfile(*m_profile)) SaveSettingsOrTell();
        break;
      case kTerminalFunction: RunPhoneTool(PhoneTool::Terminal); break;
      case kClockFunction: RunPhoneTool(PhoneTool::Clock); break;
      case kCapabilityLogFunction: RunPhoneTool(PhoneTool::CapabilityLog); break;
      case kSmsViewFunction: SetActiveView(false); return;
      default: break;
    }
  }
}

// Names were decoded from the set the phone used; one that set could not carry (a Cyrillic name
// read as GSM) comes out right only when read again in the new set, so every storage is read
// again before it is shown.
void CPhoneMobilePanel::CharsetMenu() {
  if (m_charsets.empty()) return;
  int current = -1;
  for (size_t i = 0; i < m_charsets.size(); ++i) {
    if (m_charsets[i] == m_profile->Charset) current = static_cast<int>(i);
  }
  const int chosen = FarLib::ShowMenu(m_charsets, FarLib::GetMsg(Msg::kCharsetTitle), nullptr,
                                      "Functions", current);
  if (chosen < 0 || chosen >= static_cast<int>(m_charsets.size())) return;
  std::string request = m_charsets[chosen];
  {
    FarLib::CSavedScreen screen;
    SelectCharset(*m_connection, *m_profile, m_charsets, request, HostHandshakeUser());
  }
  for (const auto& storage : m_storages) storage->Loaded = false;
  RefreshPanel(m_hostHandle, true);
}

// Each key comes twice, first marked as preprocessing: it acts on the plain one only.
int CPhoneMobilePanel::ProcessKey(int key, unsigned int controlState) {
  if (key & PKF_PREPROCESS) return 0;
  if (key == kVkF2 && controlState == 0) {
    FunctionsMenu();
    return 1;
  }
  if (key == kVkF5 && (controlState == 0 || controlState == PKF_SHIFT))
    return CopyDialog(controlState == PKF_SHIFT) ? 1 : 0;
  PhoneBookStorage* storage = CurrentStorage();
  if (!storage) return 0;
  // Every key below may read entries of the storage again, dropping some and moving the later
  // ones up in the list: the panel's items must not stand for other entries after a failure.
  bool handled = false;
  RefreshingOnLinkFailure(
      [&] {
        if (key == kKeyR && controlState == PKF_CONTROL) {
          RereadMenu(*storage);  // the host then reads the panel again
        } else {
          handled = StorageKey(*storage, key, controlState);
        }
      },
      [this] { ShowListAsIs(); });
  return handled ? 1 : 0;
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
  if ((key == kVkF5 || key == kVkF6) && state == PKF_ALT) {
    CopyToStorage(storage, key == kVkF6);
    return true;
  }
  const bool editKey =
      (key == kVkF4 && (plain || shift)) || (key == kVkF8 && plain) || (key == kVkF6 && plain);
  if (!editKey) return false;
  // Keys that change a storage do nothing in one that cannot be changed.
  if (!storage.Writable) return !shift;
  PhoneBookSession session = Session();
  CHostPhoneBookUser user(m_hostHandle);
  if (key == kVkF4 && shift) {
    PhoneBookEntry proposal;
    proposal.Number = "+";
    CreateEntry(session, storage, user, proposal, true);
  } else if (key == kVkF4) {
    const HostPanelState panel = ReadHostPanel(m_hostHandle);
    if (panel.currentEntry && *panel.currentEntry < storage.Entries.size())
      EditEntry(session, storage, user, *panel.currentEntry);
  } else if (key == kVkF8) {
    DeleteSelected(session, storage, user);
  } else {
    MoveDialog(storage);
  }
  return true;
}

bool CPhoneMobilePanel::CreateEntryIn(size_t position, const std::string& number) {
  if (position >= m_storages.size()) return false;
  m_currentStorage = static_cast<int>(position);
  PhoneBookStorage& storage = *m_storages[position];
  if (!storage.Writable) return false;
  PhoneBookSession session = Session();
  CHostPhoneBookUser user(m_hostHandle);
  // The host's panel may show the other view: the caller brings it up to date.
  PhoneBookEntry proposal;
  proposal.Number = number;
  return CreateEntry(session, storage, user, proposal, false);
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

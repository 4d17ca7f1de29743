#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"
#include "farlib/panel_items.h"
#include "platform/file.h"
#include "plugin/guard.h"
#include "plugin/host_panel.h"
#include "plugin/host_users.h"
#include "plugin/output_file.h"
#include "plugin/panel_layout.h"
#include "plugin/panels.h"
#include "plugin/view_items.h"
#include "sms/message_rendering.h"

namespace {

using Plugin::CKeyBar;
using Plugin::CPanelModes;
using Plugin::KeyLabel;
using Plugin::KeyRow;
using Plugin::ModeLayout;

constexpr const char* kStorageChoiceValue = "ReadSMSStorage";

// The top level, then one mode per folder: received, unsent, sent, other.
constexpr std::array<ModeLayout, 5> kModeLayouts = {{
    {"N,Z,S", "0,2,6", {{{Msg::kNumberColumn}, {0, "##"}, {}}}, "N", "0"},
    {"S,N,DM",
     "5,0,0",
     {{{Msg::kIndexColumn}, {Msg::kSenderColumn}, {Msg::kTimeColumn}}},
     "Z",
     "0"},
    {"S,N", "5,0", {{{Msg::kIndexColumn}, {Msg::kDestinationColumn}, {}}}, "Z", "0"},
    {"S,N,DM",
     "5,0,0",
     {{{Msg::kIndexColumn}, {Msg::kDestinationColumn}, {Msg::kTimeColumn}}},
     "Z",
     "0"},
    {"S,N,DM",
     "5,0,0",
     {{{Msg::kIndexColumn}, {Msg::kSenderColumn}, {Msg::kTimeColumn}}},
     "Z",
     "0"},
}};

constexpr KeyLabel kTopLabels[] = {
    {KeyRow::Shift, 4, Msg::kNewMessageKey},
    {KeyRow::Shift, 5, 0},
    {KeyRow::Shift, 6, 0},
    {KeyRow::Shift, 8, 0},
};
constexpr KeyLabel kFolderLabels[] = {
    {KeyRow::Alt, 3, Msg::kDetailKey},
    {KeyRow::Shift, 4, Msg::kNewMessageKey},
    {KeyRow::Plain, 6, 0},
    {KeyRow::Plain, 7, 0},
    {KeyRow::Alt, 4, 0},
    {KeyRow::Alt, 5, 0},
    {KeyRow::Alt, 6, 0},
    {KeyRow::Alt, 7, 0},
    {KeyRow::Alt, 10, 0},
    {KeyRow::Shift, 1, 0},
    {KeyRow::Shift, 2, 0},
    {KeyRow::Shift, 3, 0},
    {KeyRow::Shift, 5, 0},
    {KeyRow::Shift, 6, 0},
};
// Received messages cannot be edited and sent again.
constexpr KeyLabel kReceivedLabels[] = {{KeyRow::Plain, 4, 0}};

const CPanelModes& PanelModes() {
  static const CPanelModes modes(kModeLayouts);
  return modes;
}

const CKeyBar& KeyBarOf(int32_t folder) {
  static const CKeyBar top({kTopLabels});
  static const CKeyBar received({kFolderLabels, kReceivedLabels});
  static const CKeyBar other({kFolderLabels});
  if (folder < 0) return top;
  return folder == kReceivedFolder ? received : other;
}

std::string FolderName(size_t folder) {
  return FarLib::SafeFileName(FarLib::GetMsg(Msg::kReceivedFolder + static_cast<int>(folder)));
}

// Which folders the phone's statuses can fill; status 4 (all) adds none of its own.
bool FolderOffered(const StatusSet& statuses, size_t folder) {
  switch (folder) {
    case kReceivedFolder: return statuses.test(0) || statuses.test(1);
    case kUnsentFolder: return statuses.test(2);
    case kSentFolder: return statuses.test(3);
    default: return (statuses >> 5).any();
  }
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Exactly one separator between the destination and the name, of the destination's own kind,
// however many the host put at its end. The name is made safe once more, so that nothing in it
// can climb out of the destination or name a device.
std::string OutputPath(const std::string& destination, const std::string& name) {
  std::string folder = destination;
  while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  const bool slashes =
      destination.find('/') != std::string::npos && destination.find('\\') == std::string::npos;
  const std::string safe = FarLib::SafeFileName(name);
  if (destination.empty()) return safe;
  return folder + (slashes ? '/' : '\\') + safe;
}

}  // namespace

CSMSMobilePanel::CSMSMobilePanel() {
  const std::optional<uint32_t> choice = m_cache.ReadDword(kStorageChoiceValue);
  m_stores.selection[0] = choice ? static_cast<int32_t>(*choice) : -1;
}

SMSSession CSMSMobilePanel::Session() {
  return {*m_connection, m_profile, m_storages, HostMessageListUser()};
}

void CSMSMobilePanel::SaveStorageChoice() {
  m_cache.WriteDword(kStorageChoiceValue, static_cast<uint32_t>(m_stores.selection[0]));
}

// A link that fails while the phone is asked leaves the view with what was listed and the
// reason on screen; the panel stays open.
void CSMSMobilePanel::PrepareView() {
  m_currentFolder = -1;
  m_currentDirectory.clear();
  Plugin::RunReportingLinkFailure([&] { m_stores.DiscoverStorages(Session()); });
}

CSMSMessage* CSMSMobilePanel::CurrentMessage() {
  if (m_currentFolder < 0 || static_cast<size_t>(m_currentFolder) >= kFolderCount) return nullptr;
  const HostPanelState panel = ReadHostPanel(m_hostHandle);
  const MessageList& folder = m_stores.folders[m_currentFolder];
  if (!panel.currentEntry || *panel.currentEntry >= folder.size()) return nullptr;
  return folder[*panel.currentEntry].get();
}

void CSMSMobilePanel::GetOpenPluginInfo(OpenPluginInfo& info) {
  CGenericMobilePanel::GetOpenPluginInfo(info);
  info.PanelModesArray = PanelModes().Data();
  info.PanelModesNumber = PanelModes().Count();
  info.KeyBar = KeyBarOf(m_currentFolder).Data();
}

int CSMSMobilePanel::GetFindData(PluginPanelItem** items, int* count, int) {
  *items = nullptr;
  *count = 0;
  if (m_currentFolder < 0) {
    size_t offered = 0;
    for (size_t folder = 0; folder < kFolderCount; ++folder)
      offered += FolderOffered(m_stores.statuses, folder) ? 1 : 0;
    FarLib::CPanelItemArray list(offered);
    size_t at = 0;
    for (size_t folder = 0; folder < kFolderCount; ++folder) {
      if (!FolderOffered(m_stores.statuses, folder)) continue;
      char size[16];
      std::snprintf(size, sizeof size, "%2d", static_cast<int>(m_stores.folders[folder].size()));
      Plugin::FillFolderItem(list[at++], FolderName(folder), size, static_cast<FarDword>(folder));
    }
    list.HandOver(items, count);
    ApplyPanelModes(0, SM_UNSORTED, 0);
    return 1;
  }
  const MessageList& folder = m_stores.folders[m_currentFolder];
  FarLib::CPanelItemArray list(folder.size());
  for (size_t i = 0; i < folder.size(); ++i) FillPanelItem(*folder[i], i, list[i]);
  list.HandOver(items, count);
  // Received messages by their time, the others by their place in the phone.
  ApplyPanelModes(m_currentFolder + 1, m_currentFolder == kReceivedFolder ? SM_MTIME : SM_SIZE, 1);
  return 1;
}

int CSMSMobilePanel::SetDirectory(const char* directory, int) {
  Plugin::FolderMoves moves;
  moves.inFolder = [this] { return m_currentFolder >= 0; };
  moves.toRoot = [this] {
    m_currentFolder = -1;
    m_currentDirectory.clear();
  };
  moves.leaveFolder = moves.toRoot;
  moves.enterFolder = [this](std::string_view name) {
    for (size_t folder = 0; folder < kFolderCount; ++folder) {
      std::string folderName = FolderName(folder);
      if (name != folderName) continue;
      m_currentFolder = static_cast<int32_t>(folder);
      m_currentDirectory = std::move(folderName);
      return true;
    }
    return false;
  };
  return Plugin::ChangeDirectory(m_hostHandle, directory, moves);
}

// Copying out never deletes a message: the host's move flag is not followed. Messages are
// written in one form, whatever the phone book's export options.
int CSMSMobilePanel::GetFiles(PluginPanelItem* items, int count, int, char* destination, int opMode,
                              const ExportOptions&) {
  if (!items || count <= 0 || !destination) return 0;
  const std::string target(destination, strnlen(destination, NM));
  const bool silent = (opMode & OPM_SILENT) != 0;
  for (int i = 0; i < count; ++i) {
    const PluginPanelItem& item = items[i];
    const size_t position = item.UserData;
    std::string text;
    if (m_currentFolder < 0) {
      if (!Plugin::IsFolder(item) || position >= kFolderCount) continue;
      for (const auto& message : m_stores.folders[position])
        text += MessageFileText(*message) + "\r\n";
    } else {
      const MessageList& folder = m_stores.folders[m_currentFolder];
      if (Plugin::IsFolder(item) || position >= folder.size()) continue;
      text = MessageFileText(*folder[position]);
    }
    const std::string path = OutputPath(target, Plugin::ItemName(item));
    Platform::CFile file = Plugin::CreateOutputFile(path, silent, Plugin::kAskOverwriteOrAppend);
    if (!file.IsOpen()) return 0;
    if (!Plugin::WriteAll(file, text)) {
      if (!silent) FarLib::ShowError(FarLib::GetMsg(Msg::kFileNotWritten), path.c_str());
      return 0;
    }
  }
  return 1;
}

// Nothing can be put into the phone's message stores as a file.
int CSMSMobilePanel::PutFiles(PluginPanelItem*, int, int, int) { return 0; }

#include "plugin/panels.h"

#include <cstring>

#include "farlib/host.h"
#include "farlib/panel_items.h"
#include "farlib/ui/host_ui.h"
#include "phone/handshake.h"
#include "plugin/phone_tools.h"
#include "plugin/plugin_info.h"
#include "platform/clock.h"
#include "plugin/guard.h"
#include "plugin/host_users.h"
#include "settings/settings.h"

namespace {

constexpr const char* kPanelFormat = "Mobile";

InfoPanelLine InfoLine(const char* label, const std::string& data) {
  InfoPanelLine line{};
  std::strncpy(line.Text, label, sizeof line.Text - 1);
  std::strncpy(line.Data, data.c_str(), sizeof line.Data - 1);
  return line;
}

}  // namespace

CGenericMobilePanel::CGenericMobilePanel(std::unique_ptr<CConnection> connection)
    : m_connection(std::move(connection)) {
  Platform::SleepMilliseconds(Settings().SettleTime);
  PhoneIdentity phone = RunHandshake(*m_connection, Settings().Profiles, HostHandshakeUser());
  m_profile = phone.Profile;
  const std::string cacheIdentity = CacheIdentity(phone);
  m_identity = std::move(phone.Identity);
  m_charsets = std::move(phone.Charsets);
  for (std::string& name : phone.StorageNames)
    m_storages.push_back(std::make_unique<PhoneBookStorage>(std::move(name)));
  if (m_cache.Open(cacheIdentity)) m_cache.Load(m_storages);
}

CGenericMobilePanel::~CGenericMobilePanel() = default;

void CGenericMobilePanel::GetOpenPluginInfo(OpenPluginInfo& info) {
  info.StructSize = sizeof(OpenPluginInfo);
  info.Flags = OPIF_ADDDOTS | OPIF_SHOWPRESERVECASE;
  info.HostFile = nullptr;
  info.CurDir = m_currentDirectory.c_str();
  info.Format = kPanelFormat;
  info.PanelTitle = kPanelFormat;
  info.InfoLines = nullptr;
  info.InfoLinesNumber = 0;
  if (m_profile) {
    m_infoLines = {InfoLine("Manufacturer", m_profile->Manufacturer),
                   InfoLine("Model", m_profile->Model)};
    info.InfoLines = m_infoLines.data();
    info.InfoLinesNumber = static_cast<int>(m_infoLines.size());
  }
  info.DescrFiles = nullptr;
  info.DescrFilesNumber = 0;
  info.PanelModesArray = nullptr;
  info.PanelModesNumber = 0;
  info.StartPanelMode = '0';
  info.StartSortMode = SM_NAME;
  info.StartSortOrder = 0;
  info.KeyBar = nullptr;
  info.ShortcutData = nullptr;
}

void CGenericMobilePanel::FreeFindData(PluginPanelItem* items, int count) {
  FarLib::FreePanelItems(items, count);
}

void CGenericMobilePanel::ClosePlugin() { m_cache.Close(); }

void CGenericMobilePanel::RunPhoneTool(PhoneTool tool) {
  // Commands typed in the terminal, and the capability log's probing, may select other storages.
  if (tool != PhoneTool::Clock) ForgetPhoneSelection();
  Plugin::RunReportingLinkFailure([&] {
    switch (tool) {
      case PhoneTool::Terminal: RunTerminal(*m_connection); break;
      case PhoneTool::Clock: SetPhoneClock(*m_connection); break;
      case PhoneTool::CapabilityLog: CapabilityLog(*m_connection); break;
    }
  });
}

void CGenericMobilePanel::ApplyPanelModes(int viewMode, int sortMode, int sortOrder) {
  FarLib::Control(m_hostHandle, FCTL_SETVIEWMODE, &viewMode);
  FarLib::Control(m_hostHandle, FCTL_SETSORTMODE, &sortMode);
  FarLib::Control(m_hostHandle, FCTL_SETSORTORDER, &sortOrder);
}

CMobilePanel::CMobilePanel(std::unique_ptr<CConnection> connection, bool phoneView)
    : CGenericMobilePanel(std::move(connection)), m_phoneView(phoneView) {
  m_hostHandle = this;
  if (!m_phoneView) PrepareView();
}

void CMobilePanel::GetOpenPluginInfo(OpenPluginInfo& info) {
  if (m_phoneView) CPhoneMobilePanel::GetOpenPluginInfo(info);
  else CSMSMobilePanel::GetOpenPluginInfo(info);
  // The host restores the folder from CurDir itself.
  info.ShortcutData = Plugin::ShortcutData(m_phoneView);
}

int CMobilePanel::GetFindData(PluginPanelItem** items, int* count, int opMode) {
  return m_phoneView ? CPhoneMobilePanel::GetFindData(items, count, opMode)
                     : CSMSMobilePanel::GetFindData(items, count, opMode);
}

int CMobilePanel::SetDirectory(const char* directory, int opMode) {
  return m_phoneView ? CPhoneMobilePanel::SetDirectory(directory, opMode)
                     : CSMSMobilePanel::SetDirectory(directory, opMode);
}

int CMobilePanel::GetFiles(PluginPanelItem* items, int count, int move, char* destination,
                           int opMode, const ExportOptions& options) {
  return m_phoneView ? CPhoneMobilePanel::GetFiles(items, count, move, destination, opMode, options)
                     : CSMSMobilePanel::GetFiles(items, count, move, destination, opMode, options);
}

int CMobilePanel::PutFiles(PluginPanelItem* items, int count, int move, int opMode) {
  return m_phoneView ? CPhoneMobilePanel::PutFiles(items, count, move, opMode)
                     : CSMSMobilePanel::PutFiles(items, count, move, opMode);
}

int CMobilePanel::ProcessKey(int key, unsigned int controlState) {
  return m_phoneView ? CPhoneMobilePanel::ProcessKey(key, controlState)
                     : CSMSMobilePanel::ProcessKey(key, controlState);
}

void CMobilePanel::ClosePlugin() {
  if (m_phoneView) CPhoneMobilePanel::ClosePlugin();
  else CGenericMobilePanel::ClosePlugin();
}

void CMobilePanel::SetActiveView(bool phoneView) {
  m_phoneView = phoneView;
  if (m_phoneView) {
    // The messages view named the directory after its own folders.
    const PhoneBookStorage* storage = CurrentStorage();
    m_currentDirectory = storage ? storage->Name : "";
  } else {
    PrepareView();
  }
  RefreshPanel(m_hostHandle, true);
}

void UpdatePanel(FarHandle panel, int updateCommand, bool keepSelection) {
  // The host keeps the selection for any non-null parameter; what it points to is never read.
  static int keepSelectionMark = 1;
  FarLib::Control(panel, updateCommand, keepSelection ? &keepSelectionMark : nullptr);
}

void RefreshPanel(FarHandle panel, bool keepSelection) {
  UpdatePanel(panel, FCTL_UPDATEPANEL, keepSelection);
  FarLib::Control(panel, FCTL_REDRAWPANEL, nullptr);
}

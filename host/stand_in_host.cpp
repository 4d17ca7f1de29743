#include "host/stand_in_host.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/file.h"

namespace Host {
namespace {

CStandInHost* g_standIn = nullptr;

constexpr int kVkPrior = 0x21;  // PgUp

const char* const kControlNames[] = {"FCTL_CLOSEPLUGIN",          "FCTL_GETPANELINFO",
                                     "FCTL_GETANOTHERPANELINFO",  "FCTL_UPDATEPANEL",
                                     "FCTL_UPDATEANOTHERPANEL",   "FCTL_REDRAWPANEL",
                                     "FCTL_REDRAWANOTHERPANEL",   "FCTL_SETANOTHERPANELDIR",
                                     "FCTL_GETCMDLINE",           "FCTL_SETCMDLINE",
                                     "FCTL_SETSELECTION",         "FCTL_SETANOTHERSELECTION",
                                     "FCTL_SETVIEWMODE",          "FCTL_SETANOTHERVIEWMODE",
                                     "FCTL_INSERTCMDLINE",        "FCTL_SETUSERSCREEN",
                                     "FCTL_SETPANELDIR",          "FCTL_SETCMDLINEPOS",
                                     "FCTL_GETCMDLINEPOS",        "FCTL_SETSORTMODE",
                                     "FCTL_SETANOTHERSORTMODE",   "FCTL_SETSORTORDER",
                                     "FCTL_SETANOTHERSORTORDER",  "FCTL_GETCMDLINESELECTEDTEXT",
                                     "FCTL_SETCMDLINESELECTION",  "FCTL_GETCMDLINESELECTION",
                                     "FCTL_GETPANELSHORTINFO",    "FCTL_GETANOTHERPANELSHORTINFO",
                                     "FCTL_CHECKPANELSEXIST",     "FCTL_SETNUMERICSORT",
                                     "FCTL_SETANOTHERNUMERICSORT"};

std::string CommandName(int command) {
  if (command >= 0 && command < static_cast<int>(std::size(kControlNames)))
    return kControlNames[command];
  return "command " + std::to_string(command);
}

std::string Hex(uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

std::string HandleText(FarHandle handle) {
  if (handle == CStandInHost::InvalidHandle()) return "INVALID_HANDLE_VALUE";
  return Hex(reinterpret_cast<uintptr_t>(handle));
}

std::string ResultText(int result) { return std::to_string(result); }
std::string ResultText(FarHandle handle) { return HandleText(handle); }

std::string Names(const std::vector<CPanelItem>& items) {
  std::string text;
  for (const CPanelItem& item : items) text += (text.empty() ? "" : ",") + item.name;
  return text;
}

// The folder's last component: where Far puts the cursor after going up out of it.
std::string LastComponent(const std::string& path) {
  std::string trimmed = path;
  while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.pop_back();
  const size_t cut = trimmed.find_last_of("\\/");
  return cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
}

void CopyField(char* field, size_t size, const std::string& text) {
  std::snprintf(field, size, "%s", text.c_str());
}

// Items the plug-in processed come back with PPIF_SELECTED cleared; Far then unselects them.
void UnselectProcessed(CPanel& panel, CItemArray& passed) {
  for (int i = 0; i < passed.Count(); ++i) {
    const PluginPanelItem& item = passed.Data()[i];
    if (!(item.Flags & PPIF_SELECTED)) panel.Select(item.FindData.cFileName, false);
  }
}

void AddSubfolders(const std::string& folder, std::vector<CPanelItem>& items) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(folder, error);
  if (error) return;
  if (path.has_relative_path()) {
    CPanelItem parent;
    parent.name = kParentName;
    parent.attributes = kAttributeDirectory;
    items.push_back(std::move(parent));
  }
  std::vector<CPanelItem> found;
  for (std::filesystem::directory_iterator it(path, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code typeError;
    if (!it->is_directory(typeError)) continue;
    CPanelItem item;
    item.name = it->path().filename().string();
    item.attributes = kAttributeDirectory;
    found.push_back(std::move(item));
  }
  std::sort(found.begin(), found.end(),
            [](const CPanelItem& a, const CPanelItem& b) { return a.name < b.name; });
  items.insert(items.end(), found.begin(), found.end());
}

}  // namespace

CStandInHost::CStandInHost() : m_previousHost(g_standIn) {
  g_standIn = this;
  MutableStartupInfo().Control = &CStandInHost::ControlService;
}

CStandInHost::~CStandInHost() {
  if (m_module) Exit();
  g_standIn = m_previousHost;
}

void CStandInHost::ForgetRecords() {
  CScriptedHost::ForgetRecords();
  m_calls.clear();
  m_controlLog.clear();
}

bool CStandInHost::Require(const char* name) {
  if (!m_module) {
    Fail(std::string(name) + ": no module is loaded");
    return false;
  }
  if (!m_module->Exports(name)) {
    Fail(std::string(name) + ": the module does not export it");
    return false;
  }
  return true;
}

// Runs one call into the plug-in. A panel the plug-in asked to close (FCTL_CLOSEPLUGIN) or that
// failed to read is closed only once the outermost export has returned, as in Far.
// The call goes into Calls() before it is made, or with its result once it returns, so calls it
// led to (through Control) come first.
template <typename TBody>
auto CStandInHost::CallExport(const std::string& call, TBody&& body) {
  struct CDepth {
    CStandInHost& host;
    explicit CDepth(CStandInHost& h) : host(h) { ++host.m_depth; }
    ~CDepth() { --host.m_depth; }
  };
  if constexpr (std::is_void_v<decltype(body())>) {
    m_calls.push_back(call);
    {
      CDepth depth(*this);
      body();
    }
    AfterExport();
  } else {
    decltype(body()) result;
    {
      CDepth depth(*this);
      result = body();
    }
    m_calls.push_back(call + " -> " + ResultText(result));
    AfterExport();
    return result;
  }
}

void CStandInHost::AfterExport() {
  if (m_depth == 0 && m_closeRequested && m_open) ClosePanel();
}

void CStandInHost::Problems(const std::string& where, const std::vector<std::string>& problems) {
  for (const std::string& problem : problems) Fail(where + ": " + problem);
}

bool CStandInHost::Load(const std::string& modulePath, std::string_view language) {
  if (m_module) Exit();
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(modulePath, error);
  if (modulePath.empty() || error) {
    Fail("cannot load \"" + modulePath + "\": not a path");
    return false;
  }
  const std::string fullPath = path.string();
  if (fullPath.size() >= static_cast<size_t>(NM)) {
    Fail("cannot load \"" + fullPath + "\": Far's ModuleName holds at most " +
         std::to_string(NM - 1) + " characters");
    return false;
  }
  auto module = std::make_unique<CPluginModule>(fullPath);
  if (!module->IsLoaded()) {
    Fail("cannot load \"" + fullPath + "\": " + module->LoadError());
    return false;
  }
  m_module = std::move(module);
  SetModule(path, language);
  if (!Require("SetStartupInfo")) return true;
  // The record lives only during the call, as Far's does: the plug-in must keep a copy.
  const PluginStartupInfo record = StartupInfo();
  CallExport("SetStartupInfo", [&] { m_module->Exports().SetStartupInfo(&record); });
  return true;
}

CPluginMenus CStandInHost::PluginMenus() {
  if (!Require("GetPluginInfo")) return {};
  PluginInfo info{};
  CallExport("GetPluginInfo", [&] { m_module->Exports().GetPluginInfo(&info); });
  std::vector<std::string> problems;
  CPluginMenus menus = ReadPluginInfo(info, problems);
  Problems("GetPluginInfo", problems);
  return menus;
}

bool CStandInHost::Open(int openFrom, int item) {
  return OpenWith(openFrom, item, std::to_string(item));
}

CStandInHost::CShortcut CStandInHost::SaveShortcut() const {
  return CShortcut{m_plugin.plugin.shortcutData, m_plugin.directory};
}

bool CStandInHost::OpenShortcut(const CShortcut& shortcut) {
  const std::string data = shortcut.data;  // Far's own copy, alive while the plug-in opens
  if (!OpenWith(OPEN_SHORTCUT, reinterpret_cast<intptr_t>(data.c_str()), "\"" + data + "\""))
    return false;
  return shortcut.folder.empty() || SetDirectory(shortcut.folder);
}

bool CStandInHost::OpenWith(int openFrom, intptr_t item, const std::string& shown) {
  if (!Require("OpenPlugin")) return false;
  if (m_open) Close();
  const FarHandle handle = CallExport("OpenPlugin " + std::to_string(openFrom) + " " + shown, [&] {
    return m_module->Exports().OpenPlugin(openFrom, item);
  });
  if (handle == InvalidHandle()) return false;
  if (handle == nullptr) {
    Fail("OpenPlugin(" + std::to_string(openFrom) + ", " + shown +
         ") returned 0, which Far takes for a broken plug-in; INVALID_HANDLE_VALUE means no panel");
    return false;
  }
  m_handle = handle;
  m_open = true;
  m_closeRequested = false;
  m_closedTo.clear();
  m_plugin = CPanel();
  m_active = EPanel::Plugin;
  ReadPluginPanel(false, true);
  AfterExport();
  return m_open;
}

void CStandInHost::ReadPluginPanel(bool keepSelection, bool opening) {
  if (!m_open || m_closeRequested) return;
  if (!Require("GetOpenPluginInfo") || !Require("GetFindData") || !Require("FreeFindData")) return;
  const CPluginExports& exports = m_module->Exports();
  m_reading = true;
  OpenPluginInfo info{};
  CallExport("GetOpenPluginInfo", [&] { exports.GetOpenPluginInfo(m_handle, &info); });
  std::vector<std::string> problems;
  CPluginPanelInfo panelInfo = ReadOpenPluginInfo(info, problems);
  Problems("GetOpenPluginInfo", problems);

  PluginPanelItem* items = nullptr;
  int count = 0;
  const int found =
      CallExport("GetFindData", [&] { return exports.GetFindData(m_handle, &items, &count, 0); });
  if (!found) {
    m_reading = false;
    Fail("GetFindData returned FALSE in \"" + panelInfo.curDir +
         "\": Far closes the plug-in's panel");
    m_closeRequested = true;
    return;
  }
  problems.clear();
  std::vector<CPanelItem> read = ReadFindData(items, count, problems);
  Problems("GetFindData", problems);
  // The same array and count go back, whatever they were.
  CallExport("FreeFindData " + std::to_string(count),
             [&] { exports.FreeFindData(m_handle, items, count); });
  m_reading = false;

  const bool hasParent =
      std::any_of(read.begin(), read.end(), [](const CPanelItem& item) { return item.IsParent(); });
  // Far adds ".." at the root too: Enter on it there closes the plug-in's panel.
  if ((panelInfo.flags & OPIF_ADDDOTS) && !hasParent) {
    CPanelItem parent;
    parent.name = kParentName;
    parent.attributes = kAttributeDirectory;
    read.insert(read.begin(), parent);
  }
  if (opening) {
    if (panelInfo.startPanelMode != 0) m_plugin.viewMode = panelInfo.startPanelMode - '0';
    if (panelInfo.startSortMode != SM_DEFAULT) {
      m_plugin.sortMode = panelInfo.startSortMode;
      m_plugin.reverseOrder = panelInfo.startSortOrder != 0;
    }
  }
  m_plugin.directory = panelInfo.curDir;
  m_plugin.plugin = std::move(panelInfo);
  m_plugin.SetItems(std::move(read), keepSelection);
}

bool CStandInHost::SetFolder(const std::string& folder) {
  if (!Platform::IsDirectory(folder)) {
    Fail("the file panel cannot show \"" + folder + "\": not a folder");
    return false;
  }
  // A new folder keeps the panel's modes, as in Far.
  m_files.Clear();
  m_files.directory = folder;
  ListFolder(false);
  return true;
}

void CStandInHost::ListFolder(bool keepSelection) {
  if (m_files.directory.empty()) return;
  std::vector<CPanelItem> items;
  if (m_listSubfolders) AddSubfolders(m_files.directory, items);
  for (const std::string& name : Platform::ListFiles(m_files.directory + "/*")) {
    CPanelItem item;
    item.name = name;
    item.attributes = kAttributeArchive;
    Platform::CFile file =
        Platform::CFile::Open(m_files.directory + "/" + name, Platform::OpenMode::ExistingRead);
    uint64_t size = 0;
    if (file.IsOpen() && file.Size(size)) item.size = size;
    items.push_back(std::move(item));
  }
  m_files.SetItems(std::move(items), keepSelection);
}

bool CStandInHost::Select(EPanel panel, const std::vector<std::string>& names, bool selected) {
  bool all = true;
  for (const std::string& name : names) {
    if (!Panel(panel).Select(name, selected)) {
      Fail("cannot select \"" + name + "\": no such item on the " +
           (panel == EPanel::Plugin ? "plug-in's" : "file") + " panel");
      all = false;
    }
  }
  return all;
}

bool CStandInHost::PressKey(int key, unsigned int controlState) {
  if (m_active == EPanel::Plugin && m_open && Require("ProcessKey")) {
    const auto offer = [&](int offered) {
      const int handled = CallExport(
          "ProcessKey " + Hex(static_cast<unsigned>(offered)) + " " + std::to_string(controlState),
          [&] { return m_module->Exports().ProcessKey(m_handle, offered, controlState); });
      return handled != 0;
    };
    if (offer(key | PKF_PREPROCESS) || !m_open || offer(key) || !m_open) return true;
  }
  return DefaultKey(key, controlState);
}

bool CStandInHost::DefaultKey(int key, unsigned int controlState) {
  const bool plain = controlState == 0;
  if (key == kVkTab && plain) {
    if (m_open) m_active = m_active == EPanel::Plugin ? EPanel::Files : EPanel::Plugin;
    return m_open;
  }
  if (key == kVkInsert && plain) {
    CPanel& panel = Panel(m_active);
    const CPanelItem* current = panel.CurrentItem();
    if (!current) return false;
    panel.Select(current->name, !current->selected);
    panel.SetCurrent(panel.Current() + 1);
    return true;
  }
  if (const int mode = SortModeOfKey(key, controlState); mode != SM_DEFAULT) {
    if (m_active == EPanel::Plugin && !m_open) return false;
    Panel(m_active).ChooseSortMode(mode);
    return true;
  }
  if (m_active == EPanel::Files) {
    if ((key == kVkF5 || key == kVkF6) && plain && m_open) {
      PutFiles(key == kVkF6);
      return true;
    }
    return false;
  }
  if (!m_open) return false;
  // Ctrl+R reads the panel again, keeping the selection.
  if (key == 'R' && controlState == PKF_CONTROL) {
    Update(true);
    return true;
  }
  if (key == kVkReturn && plain) {
    const CPanelItem* current = m_plugin.CurrentItem();
    if (!current || !current->IsFolder()) return false;
    return current->IsParent() ? LeaveFolder() : SetDirectory(current->name);
  }
  if (key == kVkPrior && controlState == PKF_CONTROL) return LeaveFolder();
  if ((key == kVkF5 || key == kVkF6) && plain) {
    GetFiles(key == kVkF6);
    return true;
  }
  return false;
}

// At the plug-in's root, going up closes its panel, as in Far.
bool CStandInHost::LeaveFolder() {
  if (m_plugin.directory.empty()) {
    Close();
    return true;
  }
  return SetDirectory(kParentName);
}

// By value: the name often comes from the panel's own items, which the re-read replaces.
bool CStandInHost::SetDirectory(std::string name) {
  if (!m_open) {
    Fail("SetDirectory(\"" + name + "\"): no plug-in panel is open");
    return false;
  }
  if (!Require("SetDirectory")) return false;
  const std::string left = LastComponent(m_plugin.directory);
  const int changed = CallExport("SetDirectory \"" + name + "\" 0", [&] {
    return m_module->Exports().SetDirectory(m_handle, name.c_str(), 0);
  });
  if (!changed || !m_open) return false;
  m_plugin.SetCurrent(0);
  ReadPluginPanel(false, false);
  if (name != kParentName || !m_plugin.SetCurrent(left)) m_plugin.SetCurrent(0);
  AfterExport();
  return true;
}

int CStandInHost::GetFiles(bool move, int opMode) {
  if (!m_open || !Require("GetFiles")) return 0;
  const std::vector<CPanelItem> targets = m_plugin.Targets();
  if (targets.empty()) return 0;
  if (m_files.directory.size() >= static_cast<size_t>(NM)) {
    Fail("GetFiles: the file panel's folder is longer than Far's " + std::to_string(NM) +
         "-byte buffer");
    return 0;
  }
  CItemArray passed;
  passed.Assign(targets);
  char destination[NM] = {};
  CopyField(destination, sizeof destination, m_files.directory);
  const std::string call = "GetFiles " + Names(targets) + " move " + std::to_string(move ? 1 : 0) +
                           " to \"" + m_files.directory + "\" opmode " + std::to_string(opMode);
  const int result = CallExport(call, [&] {
    return m_module->Exports().GetFiles(m_handle, passed.Data(), passed.Count(), move ? 1 : 0,
                                        destination, opMode);
  });
  if (result < -1 || result > 1)
    Fail("GetFiles returned " + std::to_string(result) + ", not 1, 0 or -1");
  if (result == 1) UnselectProcessed(m_plugin, passed);
  ListFolder(true);
  if (move) ReadPluginPanel(true, false);
  AfterExport();
  return result;
}

int CStandInHost::PutFiles(bool move, int opMode) {
  if (!m_open || !Require("PutFiles")) return 0;
  const std::vector<CPanelItem> targets = m_files.Targets();
  if (targets.empty()) return 0;
  CItemArray passed;
  passed.Assign(targets);
  const std::string call = "PutFiles " + Names(targets) + " move " + std::to_string(move ? 1 : 0) +
                           " opmode " + std::to_string(opMode);
  const int result = CallExport(call, [&] {
    return m_module->Exports().PutFiles(m_handle, passed.Data(), passed.Count(), move ? 1 : 0,
                                        opMode);
  });
  if (result < -1 || result > 2)
    Fail("PutFiles returned " + std::to_string(result) + ", not 2, 1, 0 or -1");
  if (result == 1 || result == 2) UnselectProcessed(m_files, passed);
  ReadPluginPanel(true, false);
  // 1 asks Far to put the cursor on the last file put; 2 leaves it.
  if (result == 1) m_plugin.SetCurrent(targets.back().name);
  ListFolder(true);
  AfterExport();
  return result;
}

void CStandInHost::Update(bool keepSelection) {
  ReadPluginPanel(keepSelection, false);
  AfterExport();
}

void CStandInHost::Close() {
  if (!m_open) return;
  ClosePanel();
}

void CStandInHost::ClosePanel() {
  const bool known = m_module && m_module->Exports("ClosePlugin");
  m_closeRequested = false;
  m_calls.push_back("ClosePlugin");
  // As in Far, the panel still answers Control during ClosePlugin: a plug-in may read its
  // view there to remember it.
  if (known) {
    ++m_depth;
    m_module->Exports().ClosePlugin(m_handle);
    --m_depth;
  } else {
    Require("ClosePlugin");
  }
  m_open = false;
  m_handle = nullptr;
  m_plugin = CPanel();
  m_active = EPanel::Files;
}

int CStandInHost::Configure(int item) {
  if (!Require("Configure")) return 0;
  const int result = CallExport("Configure " + std::to_string(item),
                                [&] { return m_module->Exports().Configure(item); });
  // TRUE asks Far to redraw the panels, which re-reads them.
  if (result && m_open) Update(true);
  return result;
}

void CStandInHost::Exit() {
  if (!m_module) return;
  Close();
  // Far calls ExitFAR only when the module has it; MissingExports() names it otherwise.
  if (m_module->Exports("ExitFAR")) CallExport("ExitFAR", [&] { m_module->Exports().ExitFAR(); });
  m_module.reset();
}

// ---- Control ----

int ZANTEL_STDCALL CStandInHost::ControlService(FarHandle plugin, int command, void* param) {
  CStandInHost* host = g_standIn;
  return host ? host->Control(plugin, command, param) : 0;
}

CPanel* CStandInHost::PanelFor(FarHandle plugin, bool another, EPanel& which) {
  // INVALID_HANDLE_VALUE names the active panel; the plug-in's handle names its own.
  const EPanel self = plugin == InvalidHandle() ? m_active : EPanel::Plugin;
  which = another ? (self == EPanel::Plugin ? EPanel::Files : EPanel::Plugin) : self;
  if (which == EPanel::Plugin && !m_open) return nullptr;
  return &Panel(which);
}

int CStandInHost::Control(FarHandle plugin, int command, void* param) {
  const std::string name = CommandName(command);
  const auto intParam = [&](const char* absent) {
    return param ? std::to_string(*static_cast<const int*>(param)) : std::string(absent);
  };
  std::string entry = name;
  std::string closeTo;
  switch (command) {
    case FCTL_UPDATEPANEL:
    case FCTL_UPDATEANOTHERPANEL: entry += param ? " keep-selection" : " clear-selection"; break;
    case FCTL_REDRAWPANEL:
    case FCTL_REDRAWANOTHERPANEL:
      if (param) {
        const auto* redraw = static_cast<const PanelRedrawInfo*>(param);
        entry += " current " + std::to_string(redraw->CurrentItem) + " top " +
                 std::to_string(redraw->TopPanelItem);
      }
      break;
    case FCTL_SETVIEWMODE:
    case FCTL_SETANOTHERVIEWMODE:
    case FCTL_SETSORTMODE:
    case FCTL_SETANOTHERSORTMODE:
    case FCTL_SETSORTORDER:
    case FCTL_SETANOTHERSORTORDER: entry += " " + intParam("null"); break;
    case FCTL_CLOSEPLUGIN:
      if (param) {
        std::vector<std::string> problems;
        closeTo = ReadText(static_cast<const char*>(param), NM - 1, "FCTL_CLOSEPLUGIN's folder",
                           problems);
        Problems("Control", problems);
        if (!closeTo.empty()) entry += " \"" + closeTo + "\"";
      }
      break;
    default: break;
  }
  m_controlLog.push_back(entry);

  if (!m_open || plugin != m_handle) {
    if (plugin != InvalidHandle()) {
      Fail("Control(" + entry + ") with handle " + HandleText(plugin) + ", which is not " +
           (m_open ? "the open panel's (" + HandleText(m_handle) + ")" : "an open panel's"));
      return 0;
    }
  }
  EPanel which = EPanel::Files;
  switch (command) {
    case FCTL_CLOSEPLUGIN:
      if (!m_open) return 0;
      m_closedTo = closeTo;
      m_closeRequested = true;
      AfterExport();
      return 1;
    case FCTL_GETPANELINFO:
    case FCTL_GETANOTHERPANELINFO: {
      const bool another = command == FCTL_GETANOTHERPANELINFO;
      if (!param) {
        Fail("Control(" + name + ") without a PanelInfo to fill");
        return 0;
      }
      if (!PanelFor(plugin, another, which)) return 0;
      return FillPanelInfo(which, *static_cast<PanelInfo*>(param), another ? 1 : 0);
    }
    case FCTL_UPDATEPANEL:
    case FCTL_UPDATEANOTHERPANEL:
      if (!PanelFor(plugin, command == FCTL_UPDATEANOTHERPANEL, which)) return 0;
      return UpdatePanel(which, param != nullptr);
    case FCTL_REDRAWPANEL:
    case FCTL_REDRAWANOTHERPANEL: {
      CPanel* panel = PanelFor(plugin, command == FCTL_REDRAWANOTHERPANEL, which);
      if (!panel) return 0;
      if (param) {
        const auto* redraw = static_cast<const PanelRedrawInfo*>(param);
        panel->SetCurrent(redraw->CurrentItem);
        panel->SetTop(redraw->TopPanelItem);
      }
      return 1;
    }
    case FCTL_SETVIEWMODE:
    case FCTL_SETANOTHERVIEWMODE: {
      CPanel* panel = PanelFor(plugin, command == FCTL_SETANOTHERVIEWMODE, which);
      const int mode = param ? *static_cast<const int*>(param) : 0;
      if (!panel || mode < 0 || mode > 9) return 0;
      panel->viewMode = mode;
      return 1;
    }
    case FCTL_SETSORTMODE:
    case FCTL_SETANOTHERSORTMODE: {
      CPanel* panel = PanelFor(plugin, command == FCTL_SETANOTHERSORTMODE, which);
      // Far refuses SM_DEFAULT, a mode out of range and a missing value, changing nothing.
      if (!panel || !param) return 0;
      const int mode = *static_cast<const int*>(param);
      if (mode <= SM_DEFAULT || mode > SM_NUMLINKS) return 0;
      panel->sortMode = mode;
      panel->Sort();
      return 1;
    }
    case FCTL_SETSORTORDER:
    case FCTL_SETANOTHERSORTORDER: {
      CPanel* panel = PanelFor(plugin, command == FCTL_SETANOTHERSORTORDER, which);
      if (!panel) return 0;
      panel->reverseOrder = param && *static_cast<const int*>(param) != 0;
      panel->Sort();
      return 1;
    }
    default: break;
  }
  Fail("Control(" + name + ") is not served by the stand-in host");
  return 0;
}

bool CStandInHost::UpdatePanel(EPanel which, bool keepSelection) {
  if (which == EPanel::Files) {
    ListFolder(keepSelection);
    return true;
  }
  if (m_reading) {
    Fail(
        "Control(FCTL_UPDATEPANEL) while the host is reading the panel: it would read again "
        "without end");
    return false;
  }
  ReadPluginPanel(keepSelection, false);
  return m_open && !m_closeRequested;
}

bool CStandInHost::FillPanelInfo(EPanel which, PanelInfo& info, int slot) {
  CPanel& panel = Panel(which);
  std::memset(&info, 0, sizeof info);
  info.PanelType = PTYPE_FILEPANEL;
  info.Plugin = which == EPanel::Plugin ? 1 : 0;
  info.PanelRect = which == EPanel::Plugin ? FarRect{0, 1, 39, 22} : FarRect{40, 1, 79, 22};
  m_infoItems[slot].Assign(panel.Items());
  info.PanelItems = m_infoItems[slot].Data();
  info.ItemsNumber = m_infoItems[slot].Count();
  // With nothing selected, Far gives the current item, unless that is "..".
  m_infoSelected[slot].Assign(panel.Targets());
  info.SelectedItems = m_infoSelected[slot].Data();
  info.SelectedItemsNumber = m_infoSelected[slot].Count();
  info.CurrentItem = panel.Current();
  info.TopPanelItem = panel.Top();
  info.Visible = 1;
  info.Focus = m_active == which ? 1 : 0;
  info.ViewMode = panel.viewMode;
  info.SortMode = panel.sortMode;
  if (panel.reverseOrder) info.Flags |= PFLAGS_REVERSESORTORDER;
  std::string curDir = panel.directory;
  if (which == EPanel::Plugin) {
    const std::vector<CPanelModeInfo>& modes = panel.plugin.panelModes;
    if (panel.viewMode < static_cast<int>(modes.size()) && modes[panel.viewMode].given) {
      CopyField(info.ColumnTypes, sizeof info.ColumnTypes, modes[panel.viewMode].columnTypes);
      CopyField(info.ColumnWidths, sizeof info.ColumnWidths, modes[panel.viewMode].columnWidths);
    }
    if (panel.plugin.flags & OPIF_REALNAMES) info.Flags |= PFLAGS_REALNAMES;
    // Far asks the plug-in for its folder now, unless it is already in the middle of asking.
    if (!m_reading && Require("GetOpenPluginInfo")) {
      OpenPluginInfo fresh{};
      m_reading = true;
      CallExport("GetOpenPluginInfo",
                 [&] { m_module->Exports().GetOpenPluginInfo(m_handle, &fresh); });
      m_reading = false;
      std::vector<std::string> problems;
      curDir = ReadText(fresh.CurDir, NM - 1, "CurDir", problems);
      Problems("GetOpenPluginInfo", problems);
    }
  } else {
    info.Flags |= PFLAGS_REALNAMES;
  }
  CopyField(info.CurDir, sizeof info.CurDir, curDir);
  return true;
}

}  // namespace Host

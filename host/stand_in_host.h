#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "farapi/far_api.h"
#include "host/panel.h"
#include "host/plugin_module.h"
#include "host/plugin_records.h"
#include "host/scripted_host.h"

// The stand-in for Far: loads a plug-in module, hands it a complete start-up record (the scripted
// dialogs, menus and boxes of CScriptedHost plus a real Control service) and keeps two panels,
// the plug-in's and a file panel over a real folder. It calls the exports in the order and with
// the arguments Far uses, reads every answer as Far reads it, and reports to the failure record
// whatever Far would trip over. Like CScriptedHost, the newest instance serves the services.
namespace Host {

enum class EPanel { Plugin, Files };

class CStandInHost : public CScriptedHost {
 public:
  static FarHandle InvalidHandle() {
    return reinterpret_cast<FarHandle>(static_cast<intptr_t>(-1));
  }

  CStandInHost();
  // Closes the panel, calls ExitFAR and unloads the module if that has not been done.
  ~CStandInHost();

  // Loads the module, fills the start-up record (ModuleName is the full path) and calls
  // SetStartupInfo. False, and reported, when the module cannot be loaded.
  bool Load(const std::string& modulePath, std::string_view language = "English");
  const CPluginModule* Module() const { return m_module.get(); }

  // GetPluginInfo: the menu entries as Far reads them.
  CPluginMenus PluginMenus();

  // OpenPlugin. True when the plug-in opened a panel, which then becomes the active one.
  bool Open(int openFrom, int item);

  // A folder shortcut as Far keeps one made on the plug-in panel (Ctrl+Shift+digit): the
  // panel's ShortcutData and CurDir.
  struct CShortcut {
    std::string data;
    std::string folder;
  };
  CShortcut SaveShortcut() const;
  // Far's way back: OpenPlugin(OPEN_SHORTCUT) with a pointer to the data, then SetDirectory
  // to the folder unless it is empty.
  bool OpenShortcut(const CShortcut& shortcut);
  bool IsOpen() const { return m_open; }
  FarHandle Handle() const { return m_handle; }

  // The other panel: lists a real folder. False, and reported, when it is not a folder.
  bool SetFolder(const std::string& folder);
  const std::string& Folder() const { return m_files.directory; }
  // The file panel lists subfolders too (with ".." below the root), as a person's panel
  // does; tests see the files alone unless they ask.
  void ListSubfolders(bool on) { m_listSubfolders = on; }

  CPanel& Panel(EPanel panel) { return panel == EPanel::Plugin ? m_plugin : m_files; }
  const CPanel& Panel(EPanel panel) const { return panel == EPanel::Plugin ? m_plugin : m_files; }
  EPanel Active() const { return m_active; }
  void Activate(EPanel panel) { m_active = panel; }
  // Selects or clears the named items on a panel; false, and reported, for a name not there.
  bool Select(EPanel panel, const std::vector<std::string>& names, bool selected = true);

  // A key on the active panel as Far handles it: a plug-in panel offers it to ProcessKey with
  // PKF_PREPROCESS, then plainly; what the plug-in leaves, the host does itself (Enter, Ctrl+PgUp,
  // F5, F6, Insert, Tab). True when the plug-in or the host did something with it.
  bool PressKey(int key, unsigned int controlState = 0);

  // The operations behind those keys, without offering the key to the plug-in first.
  bool SetDirectory(std::string name);
  int GetFiles(bool move, int opMode = 0);
  int PutFiles(bool move, int opMode = 0);
  // GetOpenPluginInfo and GetFindData again; the selection is kept or cleared.
  void Update(bool keepSelection);
  void Close();
  int Configure(int item);
  // ExitFAR, then the module is unloaded.
  void Exit();

  // The directory FCTL_CLOSEPLUGIN named for after the close ("" when none).
  const std::string& ClosedTo() const { return m_closedTo; }
  // Every Control call: the command's name and its parameter ("FCTL_SETVIEWMODE 3").
  const std::vector<std::string>& ControlLog() const { return m_controlLog; }
  // Every export called, with its arguments and result, in order.
  const std::vector<std::string>& Calls() const { return m_calls; }
  // CScriptedHost::ForgetRecords, and the calls and the Control log too.
  void ForgetRecords();

 private:
  static int ZANTEL_STDCALL ControlService(FarHandle plugin, int command, void* param);

  // Reports an export the host needs and the module lacks, or a call with no module loaded.
  bool Require(const char* name);
  // `shown` is the item as Calls() and the failure record name it.
  bool OpenWith(int openFrom, intptr_t item, const std::string& shown);
  template <typename TBody>
  auto CallExport(const std::string& call, TBody&& body);
  void AfterExport();
  void Problems(const std::string& where, const std::vector<std::string>& problems);
  void ReadPluginPanel(bool keepSelection, bool opening);
  void ListFolder(bool keepSelection);
  void ClosePanel();
  bool DefaultKey(int key, unsigned int controlState);
  bool LeaveFolder();

  int Control(FarHandle plugin, int command, void* param);
  CPanel* PanelFor(FarHandle plugin, bool another, EPanel& which);
  bool FillPanelInfo(EPanel which, PanelInfo& info, int slot);
  bool UpdatePanel(EPanel which, bool keepSelection);

  CStandInHost* m_previousHost = nullptr;
  std::unique_ptr<CPluginModule> m_module;
  FarHandle m_handle = nullptr;
  bool m_open = false;
  bool m_closeRequested = false;
  std::string m_closedTo;
  int m_depth = 0;
  bool m_reading = false;
  bool m_listSubfolders = false;
  CPanel m_plugin;
  CPanel m_files;
  EPanel m_active = EPanel::Files;
  // The item arrays of FCTL_GETPANELINFO and FCTL_GETANOTHERPANELINFO (all and selected), kept
  // until the next request of the same kind, as Far keeps them.
  CItemArray m_infoItems[2];
  CItemArray m_infoSelected[2];
  std::vector<std::string> m_controlLog;
  std::vector<std::string> m_calls;
};

}  // namespace Host

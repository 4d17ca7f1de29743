#pragma once
#include <string>

#include "host/stand_in_host.h"
#include "host/tui/terminal.h"
#include "host/tui/tui_ui.h"

// The interactive host: the plug-in's panel on the left, a file panel on the right, a key bar,
// and Far's menus for opening the plug-in. Keys go through CStandInHost::PressKey as Far hands
// them to a plug-in; what neither the plug-in nor Far's defaults take moves the cursor.
namespace Host::Tui {

class CTuiApp {
 public:
  CTuiApp();
  // False, with the reason in `error`, when the module cannot be loaded.
  bool Start(const std::string& modulePath, const std::string& folder, const std::string& language,
             std::string& error);
  // As if the disk menu's entry `index` (from 0) were chosen: the plug-in's panel opens on the
  // left. The status line says so when the plug-in offers no such entry or opens no panel.
  void OpenDiskItem(size_t index);
  // Until F10 or Ctrl+Q.
  void Run();

 private:
  void Draw();
  void DrawPanel(EPanel which, int x, int width, int height);
  void DrawInfoPanel(int x, int width, int height);
  void DrawKeyBar(int y);
  void HandleKey(const CFarKey& key);
  bool FilePanelKey(const CFarKey& key);
  void EditFile(const std::string& path);
  bool MoveCursor(const CFarKey& key);
  void SelectByMask(EPanel which, bool select);
  void SortMenu();
  void DiskMenu();
  void PluginsMenu();
  void ConfigureMenu();
  void Help();
  void Say(const std::string& text) { m_status = FromOem(text); }

  CTerminal m_terminal;
  CTuiUi m_ui;
  CStandInHost m_host;
  CHelpFiles m_help;
  std::wstring m_status;
  bool m_quit = false;
  // Ctrl+L: the right panel shows the plug-in's information lines instead of the files.
  bool m_infoPanel = false;
};

}  // namespace Host::Tui

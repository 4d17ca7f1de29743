#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/dialog_model.h"
#include "host/help_pages.h"
#include "host/host_ui.h"
#include "host/tui/terminal.h"

// Far's dialogs, menus and message boxes on the terminal, for a person. Whatever is drawn
// under them (the panels) comes from `drawBackground`; boxes without buttons stay on screen
// until the screen saved before them is restored, or until the host redraws after the
// plug-in's call.
namespace Host::Tui {

class CTuiUi : public CHostUi {
 public:
  CTuiUi(CTerminal& terminal, std::function<void()> drawBackground);

  int Dialog(const ShownDialog& shown, FarDialogItem* items, int count) override;
  int Menu(const ShownMenu& shown, int& breakCode) override;
  int Message(const ShownMessage& shown) override;
  void SaveScreen(uintptr_t screen) override;
  void RestoreScreen(uintptr_t screen) override;

  // A menu of the host's own (disk menu, plug-ins menu): the chosen index or -1. The item
  // `current`, when given, has the cursor and the `check` mark (1: Far's tick).
  int ChooseFrom(const std::wstring& title, const std::vector<std::wstring>& items,
                 int current = -1, int check = 0);
  // The plug-in's help files, for F1 (not owned; null: no help).
  void SetHelp(const CHelpFiles* help) { m_help = help; }
  // The help viewer on a topic as the plug-in names it; false when there is no such page.
  bool ShowHelp(const std::string& topic);
  // A box of the host's own with one OK button.
  void Tell(const std::wstring& title, const std::vector<std::wstring>& lines, bool warning);
  // Draws the background and the boxes still standing, without waiting.
  void Redraw();
  // The host redrew the panels after the plug-in's call: standing boxes go.
  void ForgetStandingBoxes();

 private:
  struct CBox {
    ShownMessage message;
  };
  void DrawMessage(const ShownMessage& shown, int focus);
  void DrawStanding();

  CTerminal& m_terminal;
  std::function<void()> m_drawBackground;
  const CHelpFiles* m_help = nullptr;
  std::vector<ShownMessage> m_standing;
  std::map<uintptr_t, size_t> m_saved;
  CDialogHistory m_history;

  friend class CDialogRunner;
  friend class CMenuRunner;
  friend class CHelpViewer;
};

}  // namespace Host::Tui

#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

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

  // A menu of the host's own (disk menu, plug-ins menu): the chosen index or -1.
  int ChooseFrom(const std::wstring& title, const std::vector<std::wstring>& items);
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
  std::vector<ShownMessage> m_standing;
  std::map<uintptr_t, size_t> m_saved;
  std::map<std::string, std::vector<std::wstring>> m_history;

  friend class CDialogRunner;
  friend class CMenuRunner;
};

}  // namespace Host::Tui

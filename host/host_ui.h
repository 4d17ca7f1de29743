#pragma once
#include <cstdint>

#include "farapi/far_api.h"
#include "host/shown_ui.h"

// The person (or script) behind the host's Dialog, Menu and Message services. CScriptedHost
// reads and checks the plug-in's records in every case; a UI set on it then answers instead of
// the script, so the Far emulation stays the same for tests and for people.
namespace Host {

class CHostUi {
 public:
  virtual ~CHostUi() = default;

  // Runs the dialog; the user's input goes back into `items` as Far writes it when a dialog
  // closes. Returns the item that closed it, or -1.
  virtual int Dialog(const ShownDialog& shown, FarDialogItem* items, int count) = 0;
  // The chosen item or -1; `breakCode` gets the index of the break key that ended it, else -1.
  virtual int Menu(const ShownMenu& shown, int& breakCode) = 0;
  // A box with buttons waits for one (its index, or -1); one without stays drawn until the
  // screen under it is restored, and the call returns -1 at once.
  virtual int Message(const ShownMessage& shown) = 0;
  // `screen` is the host's handle for the area saved; RestoreScreen(0) only says that others
  // drew over the screen.
  virtual void SaveScreen(uintptr_t screen) = 0;
  virtual void RestoreScreen(uintptr_t screen) = 0;
};

}  // namespace Host

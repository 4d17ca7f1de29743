#pragma once
#include <initializer_list>
#include <span>

#include "farapi/far_api.h"

// The host's Message, SaveScreen, RestoreScreen and Control services, for the plug-in layer:
// the operations below it ask and show through interfaces the plug-in implements with these.
// Every call passes the plug-in's module number; without the host's services nothing is shown
// and boxes answer as if cancelled.
namespace FarLib {

// The host's Message service. The lines are the title, the body lines, then `buttons`
// button captions. Returns the chosen button, or -1 on Escape.
int ShowMessage(FarDword flags, const char* helpTopic, std::initializer_list<const char*> lines,
                int buttons);
int ShowMessage(FarDword flags, const char* helpTopic, std::span<const char* const> lines,
                int buttons);

// An information box: the title, one or two lines (a null second line is left out) and OK.
void ShowInfo(const char* title, const char* line1, const char* line2 = nullptr);
// A warning box titled with the plug-in's name, help topic "Error".
void ShowError(const char* line1, const char* line2 = nullptr);
// As ShowError, and the host adds the text of the last system error; help topic "SysError".
void ShowSysError(const char* line1, const char* line2 = nullptr);

// The host's panel control for the panel behind `panel`; 0 without the host's services.
int Control(FarHandle panel, int command, void* parameter);

// The host's screen saved for the lifetime of the object and put back at its end.
class CSavedScreen {
 public:
  CSavedScreen();
  ~CSavedScreen();
  CSavedScreen(const CSavedScreen&) = delete;
  CSavedScreen& operator=(const CSavedScreen&) = delete;

 private:
  FarHandle m_screen = nullptr;
};

// A box without buttons that stays on the screen during a long operation; HideWait puts back
// what it covered. A second ShowWait before HideWait only replaces the box's text, so HideWait
// still brings back the screen from before the first.
void ShowWait(const char* title, const char* line1, const char* line2 = nullptr);
void HideWait();

}  // namespace FarLib

#pragma once
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

#include "farapi/far_api.h"

// The host's start-up record, copied once when the host hands it over, and the thin calls
// through its Message, GetMsg, SaveScreen and RestoreScreen services that every layer above
// uses. Every call passes the plug-in's module number; without the host's services nothing is
// shown and boxes answer as if cancelled.
namespace FarLib {

void SetStartupInfo(const PluginStartupInfo& info);
const PluginStartupInfo& StartupInfo();

// The text of a language-file message in the host's current language.
const char* GetMsg(int number);

// The message text used as a printf format with the given arguments.
std::string FormatMsg(int number, ...);

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

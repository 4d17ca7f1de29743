#pragma once
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "host/shown_ui.h"

// Reads the records a plug-in hands to the host's services the way Far reads them, and writes
// a user's input back into dialog records the way Far does when a dialog closes. Whatever Far
// would trip over (a text without its terminating zero, a second focused item, a variable
// buffer without an address) is added to `problems`.
namespace Host {

ShownDialog ReadDialog(const char* helpTopic, int x1, int y1, int x2, int y2,
                       const FarDialogItem* items, int count, std::vector<std::string>& problems);
ShownMenu ReadMenu(const char* title, const char* bottom, const char* helpTopic, FarDword flags,
                   const int* breakKeys, const FarMenuItem* items, int count,
                   std::vector<std::string>& problems);
ShownMessage ReadMessage(FarDword flags, const char* helpTopic, const char* const* items, int count,
                         int buttons, std::vector<std::string>& problems);

bool IsEditItem(const FarDialogItem& item);
// Copies as much of the text as the edit's room takes, with its terminating zero.
void WriteEditText(FarDialogItem& item, const std::string& text);
// Selects one radio button and clears the others of its group: the run of radio buttons that
// starts at the nearest one carrying DIF_GROUP and ends before the next group or other item.
void SelectRadioButton(FarDialogItem* items, int count, int index);

// The index of the first break key that the pressed key matches, or -1. With modifiers held,
// an entry matches when it names at least one of them; with none held, only a plain entry.
int MatchBreakKey(const std::vector<int>& breakKeys, int pressed);

}  // namespace Host

#pragma once
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "farapi/far_types.h"

// Menus through the host's Menu service, centred and as tall as needed.
namespace FarLib {

// The cursor starts on item `selected` (none for an index outside the list). `breakKeys` are
// break-key entries as the host spells them (virtual-key code, PKF_* bits in the high word);
// when one ends the menu, `breakCode` receives its position in the list, otherwise -1.
// Returns the index of the chosen item (the cursor's, for a break key), or -1.
int ShowMenu(std::span<const char* const> items, const char* title, const char* bottom,
             const char* helpTopic, int selected = -1, FarDword flags = 0,
             std::span<const int> breakKeys = {}, int* breakCode = nullptr);
int ShowMenu(const std::vector<std::string>& items, const char* title, const char* bottom,
             const char* helpTopic, int selected = -1, FarDword flags = 0,
             std::span<const int> breakKeys = {}, int* breakCode = nullptr);

// A choice among values: the cursor starts on item `current`, which also carries the host's
// check mark. Returns the chosen item, or -1.
int ShowChoiceMenu(const std::vector<std::string>& items, const char* title, const char* helpTopic,
                   int current);

// A wrapping, auto-highlighting menu of fixed items; a null item is a separator line.
int ShowMenuItems(const char* title, const char* bottom, const char* helpTopic,
                  std::initializer_list<const char*> items);

}  // namespace FarLib

#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "farapi/far_api.h"

// Filling the host's panel items from texts that come from the phone.
namespace FarLib {

// A file name made of any text: characters that Windows or Linux would take as wildcards,
// paths, devices or redirections ('*', '?', '\', '/', ':', '<', '>', '"', '|'), the characters
// the host treats specially ('$', '%', '^', '&') and control characters become '_', and so do
// the dots of a name made of dots only. A name Windows would open as a device (CON, PRN, AUX,
// NUL, COM1-COM9, LPT1-LPT9 in any case, also with an extension or trailing dots or spaces)
// gets a leading '_'. Cut to the host's name field; an empty text gives "_".
std::string SafeFileName(std::string_view text);

// Puts the safe form of `text` into the item's file name.
void SetFileName(PluginPanelItem& item, std::string_view text);

// A copy of the text in memory of the C run-time, as the host expects for an item's
// Description and Owner; the panel's FreeFindData releases it.
char* DuplicateText(std::string_view text);

// Frees an item array as a GetFindData handed it out: each item's Description and Owner, then
// the array.
void FreePanelItems(PluginPanelItem* items, int count);

// The item array a GetFindData fills, owned until it is handed to the host. Should filling
// fail, the array and what was filled into it are freed as FreePanelItems frees them.
class CPanelItemArray {
 public:
  // `count` empty items; none, and no array, for 0.
  explicit CPanelItemArray(size_t count);
  ~CPanelItemArray();
  CPanelItemArray(const CPanelItemArray&) = delete;
  CPanelItemArray& operator=(const CPanelItemArray&) = delete;

  size_t Count() const { return m_count; }
  PluginPanelItem& operator[](size_t position) { return m_items[position]; }

  // Hands the array to the host, whose FreeFindData gives it back to FreePanelItems.
  void HandOver(PluginPanelItem** items, int* count);

 private:
  std::unique_ptr<PluginPanelItem[]> m_items;
  size_t m_count;
};

}  // namespace FarLib

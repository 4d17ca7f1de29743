#include "farlib/ui/menu.h"

#include <cstring>

#include "farlib/host.h"

namespace FarLib {
namespace {

// Longer texts are cut so that the host always finds the terminating zero.
FarMenuItem MenuItem(const char* text, bool selected) {
  FarMenuItem item{};
  if (text) std::strncpy(item.Text, text, sizeof item.Text - 1);
  item.Selected = selected ? 1 : 0;
  return item;
}

int ShowItems(const std::vector<FarMenuItem>& items, const char* title, const char* bottom,
              const char* helpTopic, FarDword flags, std::span<const int> breakKeys,
              int* breakCode) {
  if (breakCode) *breakCode = -1;
  const PluginStartupInfo& info = StartupInfo();
  if (!info.Menu) return -1;
  std::vector<int> keys;
  if (!breakKeys.empty()) {
    keys.assign(breakKeys.begin(), breakKeys.end());
    keys.push_back(0);
  }
  return info.Menu(info.ModuleNumber, -1, -1, 0, flags, title, bottom, helpTopic,
                   keys.empty() ? nullptr : keys.data(), breakCode, items.data(),
                   static_cast<int>(items.size()));
}

}  // namespace

int ShowMenu(std::span<const char* const> items, const char* title, const char* bottom,
             const char* helpTopic, int selected, FarDword flags, std::span<const int> breakKeys,
             int* breakCode) {
  std::vector<FarMenuItem> records;
  records.reserve(items.size());
  for (size_t i = 0; i < items.size(); ++i)
    records.push_back(MenuItem(items[i], static_cast<int>(i) == selected));
  return ShowItems(records, title, bottom, helpTopic, flags, breakKeys, breakCode);
}

int ShowMenu(const std::vector<std::string>& items, const char* title, const char* bottom,
             const char* helpTopic, int selected, FarDword flags, std::span<const int> breakKeys,
             int* breakCode) {
  std::vector<const char*> texts;
  texts.reserve(items.size());
  for (const std::string& item : items) texts.push_back(item.c_str());
  return ShowMenu(texts, title, bottom, helpTopic, selected, flags, breakKeys, breakCode);
}

int ShowChoiceMenu(const std::vector<std::string>& items, const char* title, const char* helpTopic,
                   int current) {
  std::vector<FarMenuItem> records;
  records.reserve(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    const bool chosen = static_cast<int>(i) == current;
    records.push_back(MenuItem(items[i].c_str(), chosen));
    records.back().Checked = chosen ? 1 : 0;
  }
  return ShowItems(records, title, nullptr, helpTopic, 0, {}, nullptr);
}

int ShowMenuItems(const char* title, const char* bottom, const char* helpTopic,
                  std::initializer_list<const char*> items) {
  std::vector<FarMenuItem> records;
  records.reserve(items.size());
  for (const char* text : items) {
    records.push_back(MenuItem(text, false));
    records.back().Separator = text ? 0 : 1;
  }
  return ShowItems(records, title, bottom, helpTopic, FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT, {},
                   nullptr);
}

}  // namespace FarLib

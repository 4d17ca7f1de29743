#include "host/column_layout.h"

#include <charconv>
#include <cstdio>

#include "platform/clock.h"

namespace Host {
namespace {

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    parts.emplace_back(
        text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return parts;
}

// A width as Far reads it: a count of characters, a percentage of the panel, or 0 (and
// anything unreadable) for a column that takes its share of what is left.
int ColumnWidth(const std::string& text, int room) {
  if (text.empty()) return 0;
  const bool percent = text.back() == '%';
  const std::string_view digits(text.data(), text.size() - (percent ? 1 : 0));
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || value < 0) return 0;
  if (percent) return value >= 100 ? room : room * value / 100;
  return value;
}

// Far's ten view modes as its defaults give them.
const CColumnMode kFarModes[10] = {
    {"N,D,T", "0,8,5", {}},       // 0 alternative full
    {"N", "0", {}},               // 1 brief (three name columns in Far)
    {"N", "0", {}},               // 2 medium (two name columns in Far)
    {"N,S,D,T", "0,10,8,5", {}},  // 3 full
    {"N,S", "0,10", {}},          // 4 wide
    {"N,S,D,T", "0,10,8,5", {}},  // 5 detailed
    {"N,Z", "40%,0", {}},         // 6 descriptions
    {"N,S,Z", "30%,10,0", {}},    // 7 long descriptions
    {"N,S,O", "0,10,15", {}},     // 8 file owners
    {"N,S,L", "0,10,3", {}},      // 9 file links
};

// Far's date and time columns read the item's write time, shown in local time.
std::string DateTimeText(uint64_t writeTime, bool date, bool time) {
  Platform::FileTime local = 0;
  Platform::SystemTime when;
  if (writeTime == 0 || !Platform::FileTimeToLocalFileTime(writeTime, local) ||
      !Platform::FileTimeToSystemTime(local, when)) {
    return {};
  }
  char text[32];
  if (date && time) {
    std::snprintf(text, sizeof text, "%02u.%02u.%02u %02u:%02u", when.day, when.month,
                  when.year % 100u, when.hour, when.minute);
  } else if (date) {
    std::snprintf(text, sizeof text, "%02u.%02u.%02u", when.day, when.month, when.year % 100u);
  } else {
    std::snprintf(text, sizeof text, "%02u:%02u", when.hour, when.minute);
  }
  return text;
}

}  // namespace

std::vector<CColumn> LayoutColumns(const CColumnMode& mode, int width) {
  const std::vector<std::string> types = SplitList(mode.types);
  const std::vector<std::string> widths = SplitList(mode.widths);
  std::vector<CColumn> columns;
  if (width <= 0) return columns;
  std::vector<int> wanted;
  for (size_t i = 0; i < types.size(); ++i) {
    CColumn column;
    column.type = types[i];
    column.title = i < mode.titles.size() ? mode.titles[i] : DefaultTitle(types[i]);
    columns.push_back(std::move(column));
    wanted.push_back(i < widths.size() ? ColumnWidth(widths[i], width) : 0);
  }
  // Drop columns from the right until the fixed ones and one character for every shared one
  // fit with their separators.
  while (!columns.empty()) {
    int needed = static_cast<int>(columns.size()) - 1;
    for (const int w : wanted) needed += w > 0 ? w : 1;
    if (needed <= width) break;
    if (columns.size() == 1) {
      wanted[0] = width;
      break;
    }
    columns.pop_back();
    wanted.pop_back();
  }
  int fixed = static_cast<int>(columns.size()) - 1;
  int shared = 0;
  for (const int w : wanted) {
    if (w > 0) fixed += w;
    else ++shared;
  }
  const int left = width - fixed;
  int sharedSeen = 0;
  int x = 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    int w = wanted[i];
    if (w <= 0) {
      ++sharedSeen;
      // The last shared column takes what division leaves over.
      w = sharedSeen == shared ? left - (left / shared) * (shared - 1) : left / shared;
    }
    columns[i].x = x;
    columns[i].width = w;
    x += w + 1;
  }
  // With no shared column the last one reaches the edge, as in Far.
  if (shared == 0 && !columns.empty()) columns.back().width = width - columns.back().x;
  return columns;
}

CColumnMode PanelColumns(const CPanel& panel, bool pluginPanel) {
  const int mode = panel.viewMode >= 0 && panel.viewMode <= 9 ? panel.viewMode : 2;
  if (pluginPanel) {
    const std::vector<CPanelModeInfo>& modes = panel.plugin.panelModes;
    if (mode < static_cast<int>(modes.size()) && modes[mode].given &&
        !modes[mode].columnTypes.empty()) {
      return {modes[mode].columnTypes, modes[mode].columnWidths, modes[mode].columnTitles};
    }
  }
  return kFarModes[mode];
}

std::string CellText(const CPanelItem& item, std::string_view type) {
  if (type == "N") return item.name;
  if (type == "S") {
    if (item.IsParent()) return "Up";
    if (item.IsFolder()) return "Folder";
    return std::to_string(item.size);
  }
  if (type == "Z") return item.description;
  if (type == "O") return item.owner;
  if (type == "D") return DateTimeText(item.writeTime, true, false);
  if (type == "T") return DateTimeText(item.writeTime, false, true);
  if (type == "DM") return DateTimeText(item.writeTime, true, true);
  if (type.size() == 2 && type[0] == 'C' && type[1] >= '0' && type[1] <= '9') {
    const size_t index = static_cast<size_t>(type[1] - '0');
    return index < item.customColumns.size() ? item.customColumns[index] : std::string();
  }
  return {};
}

std::string DefaultTitle(std::string_view type) {
  if (type == "N") return "Name";
  if (type == "S") return "Size";
  if (type == "Z") return "Description";
  if (type == "O") return "Owner";
  if (type == "D") return "Date";
  if (type == "T") return "Time";
  if (type == "L") return "Lnk";
  if (type == "DM") return "Modified";
  return {};
}

}  // namespace Host

#include "host/plugin_records.h"

#include <algorithm>
#include <cstring>

namespace Host {
namespace {

constexpr size_t kFileNameSize = sizeof(FAR_FIND_DATA{}.cFileName);
constexpr size_t kInfoFieldSize = sizeof(InfoPanelLine{}.Text);
// Far has ten view modes (0..9) and reads no more entries than that.
constexpr int kPanelModes = 10;

std::string Numbered(const std::string& what, int index) {
  return what + " " + std::to_string(index);
}

// The entries of a counted array Far will read: none for a negative count or a missing array.
int CountOf(const void* array, int count, int limit, const std::string& what,
            std::vector<std::string>& problems) {
  if (count < 0) {
    problems.push_back(what + ": negative count " + std::to_string(count));
    return 0;
  }
  if (count > 0 && array == nullptr) {
    problems.push_back(what + ": count " + std::to_string(count) + " with a null array");
    return 0;
  }
  if (count > limit) {
    problems.push_back(what + ": count " + std::to_string(count) + " is beyond " +
                       std::to_string(limit) + "; only that many read");
    return limit;
  }
  return count;
}

std::string FieldText(const char* field, size_t size, const std::string& what,
                      std::vector<std::string>& problems) {
  const auto* end = static_cast<const char*>(std::memchr(field, 0, size));
  if (end == nullptr) {
    problems.push_back(what + ": no terminating zero in its " + std::to_string(size) + " bytes");
    return std::string(field, size);
  }
  return std::string(field, end);
}

std::vector<std::string> ReadTexts(const char* const* texts, int count, const std::string& what,
                                   std::vector<std::string>& problems) {
  std::vector<std::string> read;
  const int entries = CountOf(texts, count, kMaxListEntries, what, problems);
  for (int i = 0; i < entries; ++i) {
    if (texts[i] == nullptr) problems.push_back(Numbered(what, i) + " is a null pointer");
    read.push_back(ReadText(texts[i], kMaxText, Numbered(what, i), problems));
  }
  return read;
}

// Column types are comma-separated; PanelMode.ColumnTitles has one entry per column.
int ColumnCount(const std::string& columnTypes) {
  if (columnTypes.empty()) return 0;
  return 1 + static_cast<int>(std::count(columnTypes.begin(), columnTypes.end(), ','));
}

CPanelModeInfo ReadPanelMode(const PanelMode& mode, const std::string& what,
                             std::vector<std::string>& problems) {
  CPanelModeInfo read;
  read.given = mode.ColumnTypes != nullptr || mode.StatusColumnTypes != nullptr;
  read.columnTypes = ReadText(mode.ColumnTypes, kMaxText, what + " ColumnTypes", problems);
  read.columnWidths = ReadText(mode.ColumnWidths, kMaxText, what + " ColumnWidths", problems);
  if (mode.ColumnTitles != nullptr) {
    const int columns = ColumnCount(read.columnTypes);
    for (int i = 0; i < columns; ++i) {
      read.columnTitles.push_back(
          ReadText(mode.ColumnTitles[i], kMaxText, Numbered(what + " ColumnTitles", i), problems));
    }
  }
  read.fullScreen = mode.FullScreen != 0;
  read.detailedStatus = mode.DetailedStatus != 0;
  read.statusColumnTypes =
      ReadText(mode.StatusColumnTypes, kMaxText, what + " StatusColumnTypes", problems);
  read.statusColumnWidths =
      ReadText(mode.StatusColumnWidths, kMaxText, what + " StatusColumnWidths", problems);
  return read;
}

void ReadKeyBar(const KeyBarTitles& keyBar, CKeyBar& labels, std::vector<std::string>& problems) {
  char* const* rows[] = {keyBar.Titles,       keyBar.CtrlTitles,      keyBar.AltTitles,
                         keyBar.ShiftTitles,  keyBar.CtrlShiftTitles, keyBar.AltShiftTitles,
                         keyBar.CtrlAltTitles};
  for (size_t row = 0; row < labels.size(); ++row) {
    for (size_t key = 0; key < 12; ++key) {
      labels[row][key] =
          ReadText(rows[row][key], kMaxText,
                   "KeyBar row " + std::to_string(row) + " F" + std::to_string(key + 1), problems);
    }
  }
}

}  // namespace

std::string ReadText(const char* text, size_t limit, const std::string& what,
                     std::vector<std::string>& problems) {
  if (text == nullptr) return {};
  size_t length = 0;
  // Stops at the limit rather than at a terminator that may never come.
  while (length <= limit && text[length] != 0) ++length;
  if (length > limit) {
    problems.push_back(what + ": longer than " + std::to_string(limit) + " characters; cut short");
    length = limit;
  }
  return std::string(text, length);
}

CPluginMenus ReadPluginInfo(const PluginInfo& info, std::vector<std::string>& problems) {
  CPluginMenus menus;
  if (info.StructSize != static_cast<int>(sizeof(PluginInfo))) {
    problems.push_back("PluginInfo.StructSize is " + std::to_string(info.StructSize) +
                       " instead of " + std::to_string(sizeof(PluginInfo)));
  }
  menus.flags = info.Flags;
  const std::vector<std::string> disk =
      ReadTexts(info.DiskMenuStrings, info.DiskMenuStringsNumber, "DiskMenuStrings", problems);
  for (size_t i = 0; i < disk.size(); ++i) {
    menus.diskMenu.push_back(
        {disk[i], info.DiskMenuNumbers != nullptr ? info.DiskMenuNumbers[i] : -1});
  }
  menus.pluginsMenu = ReadTexts(info.PluginMenuStrings, info.PluginMenuStringsNumber,
                                "PluginMenuStrings", problems);
  menus.configMenu = ReadTexts(info.PluginConfigStrings, info.PluginConfigStringsNumber,
                               "PluginConfigStrings", problems);
  menus.commandPrefix = ReadText(info.CommandPrefix, kMaxText, "CommandPrefix", problems);
  return menus;
}

CPluginPanelInfo ReadOpenPluginInfo(const OpenPluginInfo& info,
                                    std::vector<std::string>& problems) {
  CPluginPanelInfo read;
  if (info.StructSize != static_cast<int>(sizeof(OpenPluginInfo))) {
    problems.push_back("OpenPluginInfo.StructSize is " + std::to_string(info.StructSize) +
                       " instead of " + std::to_string(sizeof(OpenPluginInfo)));
  }
  read.flags = info.Flags;
  read.hostFile = ReadText(info.HostFile, NM - 1, "HostFile", problems);
  read.curDir = ReadText(info.CurDir, NM - 1, "CurDir", problems);
  read.format = ReadText(info.Format, kMaxText, "Format", problems);
  read.panelTitle = ReadText(info.PanelTitle, kMaxText, "PanelTitle", problems);
  const int lines =
      CountOf(info.InfoLines, info.InfoLinesNumber, kMaxListEntries, "InfoLines", problems);
  for (int i = 0; i < lines; ++i) {
    const InfoPanelLine& line = info.InfoLines[i];
    read.infoLines.push_back(
        {FieldText(line.Text, kInfoFieldSize, Numbered("InfoLine", i) + " Text", problems),
         FieldText(line.Data, kInfoFieldSize, Numbered("InfoLine", i) + " Data", problems),
         line.Separator != 0});
  }
  const int modes = std::min(
      CountOf(info.PanelModesArray, info.PanelModesNumber, kMaxListEntries, "PanelModes", problems),
      kPanelModes);
  for (int i = 0; i < modes; ++i)
    read.panelModes.push_back(
        ReadPanelMode(info.PanelModesArray[i], Numbered("PanelMode", i), problems));
  read.startPanelMode = info.StartPanelMode;
  if (read.startPanelMode != 0 && (read.startPanelMode < '0' || read.startPanelMode > '9')) {
    problems.push_back("StartPanelMode " + std::to_string(read.startPanelMode) +
                       " is neither 0 nor '0'..'9'");
    read.startPanelMode = 0;
  }
  read.startSortMode = info.StartSortMode;
  if (read.startSortMode < SM_DEFAULT || read.startSortMode > SM_NUMLINKS) {
    problems.push_back("StartSortMode " + std::to_string(read.startSortMode) + " is no sort mode");
    read.startSortMode = SM_DEFAULT;
  }
  read.startSortOrder = info.StartSortOrder;
  if (info.KeyBar != nullptr) ReadKeyBar(*info.KeyBar, read.keyBar, problems);
  read.shortcutData =
      ReadText(info.ShortcutData, MAXSIZE_SHORTCUTDATA - 1, "ShortcutData", problems);
  return read;
}

std::vector<CPanelItem> ReadFindData(const PluginPanelItem* items, int count,
                                     std::vector<std::string>& problems) {
  std::vector<CPanelItem> read;
  const int entries = CountOf(items, count, kMaxFindItems, "GetFindData's items", problems);
  for (int i = 0; i < entries; ++i) {
    const PluginPanelItem& item = items[i];
    const std::string what = Numbered("item", i);
    const auto* end =
        static_cast<const char*>(std::memchr(item.FindData.cFileName, 0, kFileNameSize));
    if (end == nullptr) {
      problems.push_back(what + ": the name has no terminating zero in its " +
                         std::to_string(kFileNameSize) + " bytes; item left out");
      continue;
    }
    CPanelItem panelItem;
    panelItem.name.assign(item.FindData.cFileName, end);
    if (panelItem.name.empty()) {
      problems.push_back(what + ": an empty name; item left out");
      continue;
    }
    const std::string named = what + " \"" + panelItem.name + "\"";
    panelItem.size =
        (static_cast<uint64_t>(item.FindData.nFileSizeHigh) << 32) | item.FindData.nFileSizeLow;
    panelItem.attributes = item.FindData.dwFileAttributes;
    panelItem.writeTime =
        (static_cast<uint64_t>(item.FindData.ftLastWriteTime.dwHighDateTime) << 32) |
        item.FindData.ftLastWriteTime.dwLowDateTime;
    panelItem.creationTime =
        (static_cast<uint64_t>(item.FindData.ftCreationTime.dwHighDateTime) << 32) |
        item.FindData.ftCreationTime.dwLowDateTime;
    panelItem.description = ReadText(item.Description, kMaxText, named + " Description", problems);
    panelItem.owner = ReadText(item.Owner, kMaxText, named + " Owner", problems);
    panelItem.userData = item.UserData;
    panelItem.flags = item.Flags & ~PPIF_SELECTED;
    panelItem.selected = false;
    if (item.Flags & PPIF_USERDATA) {
      problems.push_back(named +
                         ": PPIF_USERDATA makes Far read UserData as the address of a "
                         "block, which 32 bits cannot carry here");
    }
    const int columns = CountOf(item.CustomColumnData, item.CustomColumnNumber, kMaxListEntries,
                                named + " CustomColumnData", problems);
    for (int c = 0; c < columns; ++c) {
      panelItem.customColumns.push_back(
          ReadText(item.CustomColumnData[c], kMaxText, Numbered(named + " column", c), problems));
    }
    read.push_back(std::move(panelItem));
  }
  return read;
}

char* CItemArray::Store(const std::string& text) {
  if (text.empty()) return nullptr;
  return m_texts.emplace_back(text).data();
}

void CItemArray::Assign(const std::vector<CPanelItem>& items) {
  m_items.assign(items.size(), PluginPanelItem{});
  m_texts.clear();
  m_columns.clear();
  for (size_t i = 0; i < items.size(); ++i) {
    const CPanelItem& from = items[i];
    PluginPanelItem& to = m_items[i];
    const size_t length = std::min(from.name.size(), kFileNameSize - 1);
    std::memcpy(to.FindData.cFileName, from.name.data(), length);
    to.FindData.dwFileAttributes = from.attributes;
    to.FindData.nFileSizeHigh = static_cast<FarDword>(from.size >> 32);
    to.FindData.nFileSizeLow = static_cast<FarDword>(from.size);
    to.FindData.ftLastWriteTime.dwHighDateTime = static_cast<FarDword>(from.writeTime >> 32);
    to.FindData.ftLastWriteTime.dwLowDateTime = static_cast<FarDword>(from.writeTime);
    to.FindData.ftCreationTime.dwHighDateTime = static_cast<FarDword>(from.creationTime >> 32);
    to.FindData.ftCreationTime.dwLowDateTime = static_cast<FarDword>(from.creationTime);
    to.Flags = from.flags | (from.selected ? PPIF_SELECTED : 0);
    to.Description = Store(from.description);
    to.Owner = Store(from.owner);
    to.UserData = from.userData;
    if (!from.customColumns.empty()) {
      std::vector<char*>& columns = m_columns.emplace_back();
      for (const std::string& column : from.customColumns)
        columns.push_back(m_texts.emplace_back(column).data());
      to.CustomColumnData = columns.data();
      to.CustomColumnNumber = static_cast<int>(columns.size());
    }
  }
}

}  // namespace Host

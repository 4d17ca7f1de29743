// A plug-in for the stand-in host's tests. It keeps a tiny phone in memory, two folders of a few
// files, and writes down everything the host hands it (keys, folders, items, the start-up record)
// in a journal it shows as a message box on 'J' or from Configure(0), so that a test sees what
// arrived on the plug-in's side of the calls. Some keys make it call Control as a real plug-in
// does; the plug-ins menu item chosen makes it answer well or badly.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "platform/abi.h"

namespace {

struct CEntry {
  std::string name;
  FarDword size = 0;
  bool folder = false;
  FarDword userData = 0;
  std::string description;
  std::string owner;
  std::vector<std::string> columns;
};

// What OpenPlugin's plug-ins menu item asks of the panel.
enum EMode {
  kNormal = 0,
  kNoPanel = 1,
  kNullHandle = 2,
  kBrokenItems = 3,
  kFindFails = 4,
  kNegativeCount = 5,
  kNullArray = 6,
  kBrokenInfo = 7,
};

struct CPanelState {
  int mode = kNormal;
  std::string dir;
  std::string title;
  InfoPanelLine infoLines[2] = {};
  // What GetFindData allocated, and what it told the host, which must come back unchanged.
  PluginPanelItem* handedOut = nullptr;
  int handedCount = 0;
  PluginPanelItem* toldArray = nullptr;
  int toldCount = 0;
};

PluginStartupInfo g_info;
std::map<std::string, std::vector<CEntry>> g_folders;
std::vector<std::string> g_journal;
int g_created = 0;
const std::string g_longText(5000, 'd');

void Reset() {
  g_folders.clear();
  g_journal.clear();
  g_created = 0;
  g_folders[""] = {{"Contacts", 0, true, 1, "", "", {}},
                   {"Messages", 0, true, 2, "", "", {}},
                   {"readme.txt", 120, false, 3, "About", "", {}}};
  g_folders["Contacts"] = {{"alice.vcf", 10, false, 101, "Alice", "SIM", {"+111", "home"}},
                           {"bob.vcf", 20, false, 102, "Bob", "SIM", {"+222", "work"}},
                           {"carol.vcf", 30, false, 103, "Carol", "ME", {"+333", "mobile"}}};
  g_folders["Messages"] = {{"inbox-1.txt", 5, false, 201, "", "", {}},
                           {"inbox-2.txt", 6, false, 202, "", "", {}}};
}

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

char* Copy(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

std::string BaseName(const char* path) {
  const char* cut = std::strrchr(path, '/');
  const char* back = std::strrchr(path, '\\');
  if (back && (!cut || back > cut)) cut = back;
  return cut ? cut + 1 : path;
}

CPanelState& State(FarHandle plugin) { return *static_cast<CPanelState*>(plugin); }

void ShowJournal() {
  std::vector<const char*> items = {"Journal"};
  for (const std::string& line : g_journal) items.push_back(line.c_str());
  items.push_back("OK");
  g_info.Message(g_info.ModuleNumber, 0, "Journal", items.data(), static_cast<int>(items.size()),
                 1);
}

std::vector<CEntry>& Folder(const CPanelState& state) { return g_folders[state.dir]; }

void FillItem(PluginPanelItem& item, const CEntry& entry) {
  std::snprintf(item.FindData.cFileName, sizeof item.FindData.cFileName, "%s", entry.name.c_str());
  item.FindData.dwFileAttributes = entry.folder ? 0x10 : 0x20;
  item.FindData.nFileSizeLow = entry.size;
  item.UserData = entry.userData;
  if (!entry.description.empty()) item.Description = Copy(entry.description);
  if (!entry.owner.empty()) item.Owner = Copy(entry.owner);
  if (!entry.columns.empty()) {
    item.CustomColumnData = static_cast<char**>(std::malloc(entry.columns.size() * sizeof(char*)));
    for (size_t c = 0; c < entry.columns.size(); ++c)
      item.CustomColumnData[c] = Copy(entry.columns[c]);
    item.CustomColumnNumber = static_cast<int>(entry.columns.size());
  }
}

void FreeItems(PluginPanelItem* items, int count) {
  for (int i = 0; i < count; ++i) {
    std::free(items[i].Description);
    std::free(items[i].Owner);
    for (int c = 0; c < items[i].CustomColumnNumber; ++c) std::free(items[i].CustomColumnData[c]);
    std::free(items[i].CustomColumnData);
  }
  std::free(items);
}

std::string ItemList(const PluginPanelItem* items, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += (i ? "," : "") + std::string(items[i].FindData.cFileName) + "#" +
            std::to_string(items[i].UserData) + ((items[i].Flags & PPIF_SELECTED) ? "*" : "");
  }
  return text;
}

// What the host said about a panel, in one line.
std::string PanelLine(const char* what, const PanelInfo& info) {
  return std::string(what) + " plugin " + std::to_string(info.Plugin) + " focus " +
         std::to_string(info.Focus) + " dir \"" + info.CurDir + "\" items " +
         std::to_string(info.ItemsNumber) + " current " + std::to_string(info.CurrentItem) +
         " selected " + ItemList(info.SelectedItems, info.SelectedItemsNumber) + " view " +
         std::to_string(info.ViewMode) + " sort " + std::to_string(info.SortMode) + " flags " +
         Hex(info.Flags);
}

bool WriteFile(const std::string& path, const std::string& content) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  return std::fclose(file) == 0 && written;
}

void RemoveEntry(std::vector<CEntry>& folder, const std::string& name) {
  for (auto entry = folder.begin(); entry != folder.end(); ++entry) {
    if (entry->name == name) {
      folder.erase(entry);
      return;
    }
  }
}

[[maybe_unused]] int ProcessKeyOf(FarHandle plugin, int key, unsigned int controlState) {
  CPanelState& state = State(plugin);
  if (key == ('P' | PKF_PREPROCESS)) return 1;
  if (controlState == PKF_SHIFT && key == kVkF7) {
    g_info.Control(plugin, FCTL_UPDATEPANEL, nullptr);
    return 1;
  }
  if (controlState != 0) return 0;
  if (key == kVkF7) {
    Folder(state).push_back({"new" + std::to_string(++g_created) + ".vcf",
                             1,
                             false,
                             static_cast<FarDword>(900 + g_created),
                             "",
                             "",
                             {}});
    static int keep = 1;
    g_info.Control(plugin, FCTL_UPDATEPANEL, &keep);
    return 1;
  }
  if (key == kVkF2) {
    int view = 3;
    int sort = SM_SIZE;
    int order = 1;
    PanelRedrawInfo redraw = {2, 0};
    g_info.Control(plugin, FCTL_SETVIEWMODE, &view);
    g_info.Control(plugin, FCTL_SETSORTMODE, &sort);
    g_info.Control(plugin, FCTL_SETSORTORDER, &order);
    g_info.Control(plugin, FCTL_REDRAWPANEL, &redraw);
    return 1;
  }
  if (key == kVkF8) {
    PanelInfo own;
    PanelInfo other;
    g_info.Control(plugin, FCTL_GETPANELINFO, &own);
    g_info.Control(plugin, FCTL_GETANOTHERPANELINFO, &other);
    // Both arrays stay valid until the next request of their own kind.
    g_journal.push_back(PanelLine("panel", own));
    g_journal.push_back(PanelLine("other", other));
    for (int i = 0; i < own.SelectedItemsNumber; ++i) {
      const FarDword gone = own.SelectedItems[i].UserData;
      std::vector<CEntry>& folder = Folder(state);
      for (auto entry = folder.begin(); entry != folder.end(); ++entry) {
        if (entry->userData == gone) {
          folder.erase(entry);
          break;
        }
      }
    }
    g_info.Control(plugin, FCTL_UPDATEPANEL, nullptr);
    return 1;
  }
  if (key == kVkF10) {
    g_info.Control(plugin, FCTL_CLOSEPLUGIN, nullptr);
    // Far closes the panel only after this call returns: the handle still works here.
    PanelInfo info;
    const int stillOpen = g_info.Control(plugin, FCTL_GETPANELINFO, &info);
    g_journal.push_back("after FCTL_CLOSEPLUGIN the panel answers " + std::to_string(stillOpen));
    return 1;
  }
  if (key == 'B') {
    const int result =
        g_info.Control(reinterpret_cast<FarHandle>(0x1234), FCTL_UPDATEPANEL, nullptr);
    g_journal.push_back("a stranger's handle gets " + std::to_string(result));
    return 1;
  }
  if (key == 'J') {
    ShowJournal();
    return 1;
  }
  return 0;
}

}  // namespace

extern "C" {

void ZANTEL_STDCALL SetStartupInfo(const PluginStartupInfo* info) {
  Reset();
  g_info = *info;
  g_journal.push_back("SetStartupInfo size " + std::to_string(info->StructSize) + " module " +
                      std::to_string(info->ModuleNumber) + " root " + info->RootKey + " name " +
                      BaseName(info->ModuleName) + " control " + (info->Control ? "yes" : "no"));
}

void ZANTEL_STDCALL GetPluginInfo(PluginInfo* info) {
  static const char* const disk[] = {"Test phone"};
  static int diskNumbers[] = {5};
  static const char* const plugins[] = {"Test phone panel", "No panel",   "Null handle",
                                        "Broken items",     "Find fails", "Negative count",
                                        "Null array",       "Broken info"};
  static const char* const config[] = {"Test phone settings"};
  info->StructSize = sizeof(PluginInfo);
  info->Flags = PF_FULLCMDLINE;
  info->DiskMenuStrings = disk;
  info->DiskMenuNumbers = diskNumbers;
  info->DiskMenuStringsNumber = 1;
  info->PluginMenuStrings = plugins;
  info->PluginMenuStringsNumber = 8;
  info->PluginConfigStrings = config;
  info->PluginConfigStringsNumber = 1;
  info->CommandPrefix = "tst";
}

FarHandle ZANTEL_STDCALL OpenPlugin(int openFrom, intptr_t item) {
  g_journal.push_back("OpenPlugin " + std::to_string(openFrom) + " " + std::to_string(item));
  const int mode = openFrom == OPEN_PLUGINSMENU ? static_cast<int>(item) : kNormal;
  if (mode == kNoPanel) {
    const char* const items[] = {"Test phone", "No phone answers", "OK"};
    g_info.Message(g_info.ModuleNumber, FMSG_WARNING, "NoPhone", items, 3, 1);
    return reinterpret_cast<FarHandle>(static_cast<intptr_t>(-1));
  }
  if (mode == kNullHandle) return nullptr;
  auto* state = new CPanelState;
  state->mode = mode;
  return state;
}

void ZANTEL_STDCALL GetOpenPluginInfo(FarHandle plugin, OpenPluginInfo* info) {
  static char columnTypes[] = "N,C0,C1";
  static char columnWidths[] = "0,12,8";
  static char titleName[] = "Name";
  static char titleNumber[] = "Number";
  static char titleKind[] = "Kind";
  static char* titles[] = {titleName, titleNumber, titleKind};
  static PanelMode modes[10] = {};
  modes[4].ColumnTypes = columnTypes;
  modes[4].ColumnWidths = columnWidths;
  modes[4].ColumnTitles = titles;
  modes[4].FullScreen = 1;
  static char update[] = "Update";
  static char edit[] = "Edit";
  static KeyBarTitles keyBar = {};
  keyBar.Titles[6] = update;
  keyBar.ShiftTitles[3] = edit;

  CPanelState& state = State(plugin);
  state.title = " Test phone: " + state.dir + " ";
  std::snprintf(state.infoLines[0].Text, sizeof state.infoLines[0].Text, "%s", "Phone");
  std::snprintf(state.infoLines[0].Data, sizeof state.infoLines[0].Data, "%s", "Test phone");
  std::snprintf(state.infoLines[1].Text, sizeof state.infoLines[1].Text, "%s", "Memory");
  state.infoLines[1].Separator = 1;
  info->StructSize = sizeof(OpenPluginInfo);
  info->Flags = OPIF_ADDDOTS | OPIF_SHOWPRESERVECASE;
  info->CurDir = state.dir.c_str();
  info->Format = "Test";
  info->PanelTitle = state.title.c_str();
  info->InfoLines = state.infoLines;
  info->InfoLinesNumber = 2;
  info->PanelModesArray = modes;
  info->PanelModesNumber = 10;
  info->StartPanelMode = '4';
  info->StartSortMode = SM_EXT;
  info->StartSortOrder = 1;
  info->KeyBar = &keyBar;
  if (state.mode == kBrokenInfo) {
    info->StructSize = 0;
    info->CurDir = g_longText.c_str();
    info->InfoLines = nullptr;
    info->InfoLinesNumber = 3;
    info->PanelModesNumber = -1;
    info->StartPanelMode = 'x';
  }
}

int ZANTEL_STDCALL GetFindData(FarHandle plugin, PluginPanelItem** items, int* count, int) {
  CPanelState& state = State(plugin);
  if (state.mode == kFindFails) return 0;
  if (state.mode == kNullArray) {
    *items = state.toldArray = nullptr;
    *count = state.toldCount = 5;
    return 1;
  }
  const std::vector<CEntry>& folder = Folder(state);
  const int entries = state.mode == kBrokenItems ? 3 : static_cast<int>(folder.size());
  auto* handed = static_cast<PluginPanelItem*>(
      std::calloc(entries > 0 ? entries : 1, sizeof(PluginPanelItem)));
  if (state.mode == kBrokenItems) {
    std::memset(handed[0].FindData.cFileName, 'x', sizeof handed[0].FindData.cFileName);
    FillItem(handed[1], {"ok.txt", 1, false, 7, g_longText, "", {}});
    handed[1].CustomColumnNumber = -2;
    FillItem(handed[2], {"userdata.txt", 1, false, 8, "", "", {}});
    handed[2].Flags = PPIF_USERDATA;
  } else {
    for (int i = 0; i < entries; ++i) FillItem(handed[i], folder[static_cast<size_t>(i)]);
  }
  state.handedOut = handed;
  state.handedCount = entries;
  *items = state.toldArray = handed;
  *count = state.toldCount = state.mode == kNegativeCount ? -3 : entries;
  return 1;
}

void ZANTEL_STDCALL FreeFindData(FarHandle plugin, PluginPanelItem* items, int count) {
  CPanelState& state = State(plugin);
  if (items != state.toldArray || count != state.toldCount)
    g_journal.push_back("FreeFindData with another array or count");
  if (state.handedOut) FreeItems(state.handedOut, state.handedCount);
  state.handedOut = nullptr;
  state.handedCount = 0;
}

int ZANTEL_STDCALL SetDirectory(FarHandle plugin, const char* dir, int opMode) {
  CPanelState& state = State(plugin);
  g_journal.push_back("SetDirectory \"" + std::string(dir) + "\" " + std::to_string(opMode));
  const std::string name = dir;
  if (name == "..") {
    if (state.dir.empty()) return 0;
    state.dir.clear();
    return 1;
  }
  if (name == "\\") {
    state.dir.clear();
    return 1;
  }
  if (!state.dir.empty() || name.empty() || g_folders.count(name) == 0) return 0;
  state.dir = name;
  return 1;
}

int ZANTEL_STDCALL GetFiles(FarHandle plugin, PluginPanelItem* items, int count, int move,
                            char* destPath, int opMode) {
  CPanelState& state = State(plugin);
  g_journal.push_back("GetFiles " + ItemList(items, count) + " move " + std::to_string(move) +
                      " to " + BaseName(destPath) + " opmode " + std::to_string(opMode));
  for (int i = 0; i < count; ++i) {
    const std::string name = items[i].FindData.cFileName;
    if (!WriteFile(std::string(destPath) + "/" + name, name + "\n")) return 0;
    items[i].Flags &= ~PPIF_SELECTED;
    if (move) RemoveEntry(Folder(state), name);
  }
  return 1;
}

// The partial build leaves these two out, for the host's handling of missing exports.
#ifndef ZANTEL_TEST_PLUGIN_PARTIAL
int ZANTEL_STDCALL PutFiles(FarHandle plugin, PluginPanelItem* items, int count, int move,
                            int opMode) {
  CPanelState& state = State(plugin);
  g_journal.push_back("PutFiles " + ItemList(items, count) + " move " + std::to_string(move) +
                      " opmode " + std::to_string(opMode));
  for (int i = 0; i < count; ++i) {
    Folder(state).push_back({items[i].FindData.cFileName,
                             items[i].FindData.nFileSizeLow,
                             false,
                             static_cast<FarDword>(500 + i),
                             "",
                             "",
                             {}});
    items[i].Flags &= ~PPIF_SELECTED;
  }
  return 1;
}

int ZANTEL_STDCALL ProcessKey(FarHandle plugin, int key, unsigned int controlState) {
  g_journal.push_back("ProcessKey " + Hex(static_cast<unsigned>(key)) + " " +
                      std::to_string(controlState));
  return ProcessKeyOf(plugin, key, controlState);
}
#endif

void ZANTEL_STDCALL ClosePlugin(FarHandle plugin) {
  g_journal.push_back("ClosePlugin");
  delete &State(plugin);
}

int ZANTEL_STDCALL Configure(int item) {
  g_journal.push_back("Configure " + std::to_string(item));
  if (item == 0) ShowJournal();
  return item == 1;
}

void ZANTEL_STDCALL ExitFAR() { g_journal.push_back("ExitFAR"); }

}  // extern "C"

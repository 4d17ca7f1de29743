#include "plugin/copy_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_host.h"
#include "farlib/host.h"
#include "plugin/view_items.h"

namespace {

// The two panels the fake Control service describes.
struct FakePanels {
  bool otherIsPlugin = false;
  std::string otherFolder;
  std::vector<std::string> items;
  std::vector<std::string> selected;
  int current = 0;
};

FakePanels g_panels;
std::vector<PluginPanelItem> g_items;
std::vector<PluginPanelItem> g_selected;

PluginPanelItem Item(const std::string& name) {
  PluginPanelItem item{};
  std::memcpy(item.FindData.cFileName, name.data(),
              std::min(name.size(), sizeof item.FindData.cFileName));
  return item;
}

int ZANTEL_STDCALL PanelControl(FarHandle, int command, void* parameter) {
  auto& info = *static_cast<PanelInfo*>(parameter);
  std::memset(&info, 0, sizeof info);
  if (command == FCTL_GETANOTHERPANELINFO) {
    info.Plugin = g_panels.otherIsPlugin ? 1 : 0;
    std::memcpy(info.CurDir, g_panels.otherFolder.data(),
                std::min(g_panels.otherFolder.size(), sizeof info.CurDir));
    return 1;
  }
  if (command != FCTL_GETPANELINFO) return 0;
  g_items.clear();
  g_selected.clear();
  for (const std::string& name : g_panels.items) g_items.push_back(Item(name));
  for (const std::string& name : g_panels.selected) g_selected.push_back(Item(name));
  info.Plugin = 1;
  info.PanelItems = g_items.data();
  info.ItemsNumber = static_cast<int>(g_items.size());
  info.SelectedItems = g_selected.data();
  info.SelectedItemsNumber = static_cast<int>(g_selected.size());
  info.CurrentItem = g_panels.current;
  return 1;
}

struct TargetsCase {
  const char* what;
  FakePanels panels;
  bool currentOnly;
  bool otherIsPlugin;
  std::string destination;
  std::vector<std::string> names;
};

TEST(CopyTargets, TakeWhatTheHostChoseAndNeverTheParent) {
  const std::string longFolder(NM, 'd');  // fills CurDir without a terminating zero
  const TargetsCase cases[] = {
      {"three selected, in the host's order",
       {false, "/tmp/out", {"..", "a", "b", "c"}, {"c", "a", "b"}, 1},
       false,
       false,
       "/tmp/out",
       {"c", "a", "b"}},
      {"the host hands over \"..\" when nothing else is chosen",
       {false, "C:\\Out", {"..", "a"}, {".."}, 0},
       false,
       false,
       "C:\\Out",
       {}},
      {"only the item under the cursor, whatever is selected",
       {false, "/tmp", {"..", "a", "b"}, {"a", "b"}, 2},
       true,
       false,
       "/tmp",
       {"b"}},
      {"the cursor on \"..\"", {false, "/tmp", {"..", "a"}, {"a"}, 0}, true, false, "/tmp", {}},
      {"a cursor beyond the items", {false, "/tmp", {"..", "a"}, {}, 5}, true, false, "/tmp", {}},
      {"an empty panel", {false, "/tmp", {}, {"ghost"}, 0}, false, false, "/tmp", {}},
      {"the other panel a plug-in's", {true, "SM", {"a"}, {"a"}, 0}, false, true, "SM", {"a"}},
      {"a folder that fills its field",
       {false, longFolder, {"a"}, {"a"}, 0},
       false,
       false,
       longFolder,
       {"a"}},
  };
  CFakeHost host;
  PluginStartupInfo info = host.StartupInfo();
  info.Control = &PanelControl;
  FarLib::SetStartupInfo(info);
  for (const TargetsCase& test : cases) {
    g_panels = test.panels;
    const Plugin::CopyTargets targets = Plugin::ReadCopyTargets(nullptr, test.currentOnly);
    std::vector<std::string> names;
    for (const PluginPanelItem& item : targets.items) names.push_back(Plugin::ItemName(item));
    EXPECT_EQ(targets.otherIsPlugin, test.otherIsPlugin) << test.what;
    EXPECT_EQ(targets.destination, test.destination) << test.what;
    EXPECT_EQ(names, test.names) << test.what;
  }
}

}  // namespace

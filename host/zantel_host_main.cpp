// zantel-host MODULE: loads a Far 1.70 plug-in module as Far does and tells what it offers, the
// entries it puts into Far's menus. The panels come with the terminal interface.
#include <cstdio>
#include <string>

#include "host/stand_in_host.h"

namespace {

void PrintEntries(const char* title, const std::vector<std::string>& entries) {
  std::printf("%s:%s\n", title, entries.empty() ? " none" : "");
  for (size_t i = 0; i < entries.size(); ++i) std::printf("  %zu. %s\n", i, entries[i].c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::string(argv[1]) == "--help") {
    std::fprintf(stderr,
                 "usage: zantel-host MODULE\n"
                 "Loads a Far Manager 1.70 plug-in (zantel.so, Zantel.dll) and lists the entries\n"
                 "it offers in Far's disk, plug-ins and configuration menus.\n");
    return 2;
  }
  Host::CStandInHost host;
  host.NameMissingMessages();
  if (!host.Load(argv[1])) {
    for (const std::string& failure : host.Failures())
      std::fprintf(stderr, "%s\n", failure.c_str());
    return 1;
  }
  const Host::CPluginModule& module = *host.Module();
  std::printf("Module: %s\n", module.Path().c_str());
  if (!module.MissingExports().empty()) {
    std::string missing;
    for (const std::string& name : module.MissingExports()) missing += " " + name;
    std::printf("Does not export:%s\n", missing.c_str());
  }
  if (module.Exports("GetPluginInfo")) {
    const Host::CPluginMenus menus = host.PluginMenus();
    std::vector<std::string> disk;
    for (const Host::CMenuEntry& entry : menus.diskMenu) {
      disk.push_back(entry.number >= 0
                         ? entry.text + " (hot key " + std::to_string(entry.number) + ")"
                         : entry.text);
    }
    PrintEntries("Disk menu", disk);
    PrintEntries("Plug-ins menu", menus.pluginsMenu);
    PrintEntries("Configuration menu", menus.configMenu);
    if (!menus.commandPrefix.empty())
      std::printf("Command-line prefix: %s:\n", menus.commandPrefix.c_str());
  }
  host.Exit();
  // What the plug-in did that Far would trip over, dialogs it showed included.
  for (const std::string& failure : host.Failures())
    std::fprintf(stderr, "problem: %s\n", failure.c_str());
  return host.Failures().empty() ? 0 : 1;
}

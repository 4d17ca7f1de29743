// zantel-tui MODULE [FOLDER]: Far's part played on a terminal for a person, with the plug-in's
// panel beside a file panel over FOLDER (the current folder by default).
#include <cstdio>
#include <filesystem>
#include <string>

#include "host/tui/tui_app.h"

int main(int argc, char** argv) {
  std::string language = "English";
  bool open = false;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--language" && i + 1 < argc) {
      language = argv[++i];
    } else if (argument == "--open") {
      open = true;
    } else if (argument == "--help" || argument.starts_with("--")) {
      std::fprintf(
          stderr,
          "usage: zantel-tui [--language English|Russian] [--open] MODULE [FOLDER]\n"
          "Plays Far Manager 1.70 on the terminal for the plug-in MODULE (zantel.so):\n"
          "its panel on the left, FOLDER (default: the current folder) on the right.\n"
          "--open: the plug-in's first disk-menu entry (the phone) opens on the left at start.\n");
      return argument == "--help" ? 0 : 2;
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.empty() || positional.size() > 2) {
    std::fprintf(stderr,
                 "usage: zantel-tui [--language English|Russian] [--open] MODULE [FOLDER]\n");
    return 2;
  }
  std::error_code error;
  const std::string folder =
      positional.size() > 1 ? positional[1] : std::filesystem::current_path(error).string();
  // Checked before the screen is taken over, so the message stays readable.
  if (!std::filesystem::is_directory(folder, error)) {
    std::fprintf(stderr, "zantel-tui: \"%s\" is not a folder\n", folder.c_str());
    return 1;
  }
  if (!std::filesystem::is_regular_file(positional[0], error)) {
    std::fprintf(stderr, "zantel-tui: no plug-in module at \"%s\"\n", positional[0].c_str());
    return 1;
  }
  std::string failure;
  {
    Host::Tui::CTuiApp app;
    if (app.Start(positional[0], folder, language, failure)) {
      if (open) app.OpenDiskItem(0);
      app.Run();
      failure.clear();
    }
  }
  if (!failure.empty()) {
    std::fprintf(stderr, "zantel-tui: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}

// zantel-tui [MODULE] [FOLDER]: Far's part played on a terminal for a person, with the plug-in's
// panel beside a file panel over FOLDER (the current folder by default). Without MODULE the
// plug-in installed beside this program is loaded (ZANTEL_TUI_MODULE_FROM_BIN, relative to the
// program's own folder), so the installed tree works wherever it is moved.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/tui/tui_app.h"

namespace {

constexpr const char* kUsage =
    "usage: zantel-tui [--language English|Russian] [--open] [MODULE] [FOLDER]\n"
    "       zantel-tui --version\n"
    "Plays Far Manager 1.70 on the terminal for the plug-in MODULE (zantel.so):\n"
    "its panel on the left, FOLDER (default: the current folder) on the right.\n"
    "--open: the plug-in's first disk-menu entry (the phone) opens on the left at start.\n"
    "Without MODULE, the installed plug-in (" ZANTEL_TUI_MODULE_FROM_BIN
    " from this program's folder).\n"
    "A single folder argument is FOLDER.\n";

// The running program as the kernel knows it: argv[0] may be a bare name found in PATH or a
// relative path, and neither leads back to the installed tree.
std::optional<std::filesystem::path> InstalledModule() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || program.empty()) return std::nullopt;
  return (program.parent_path() / ZANTEL_TUI_MODULE_FROM_BIN).lexically_normal();
}

}  // namespace

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
    } else if (argument == "--version") {
      std::printf("zantel-tui %s\n", ZANTEL_VERSION);
      return 0;
    } else if (argument == "--help" || argument.starts_with("--")) {
      if (argument == "--language") {
        std::fprintf(stderr, "zantel-tui: --language needs English or Russian after it\n");
      } else if (argument != "--help") {
        std::fprintf(stderr, "zantel-tui: unknown option \"%s\"\n", argument.c_str());
      }
      std::fprintf(argument == "--help" ? stdout : stderr, "%s", kUsage);
      return argument == "--help" ? 0 : 2;
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() > 2) {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }
  std::error_code error;
  // A lone folder is the right panel's: a module is a file, so the older "MODULE" form keeps
  // its meaning.
  const bool moduleGiven =
      positional.size() == 2 ||
      (positional.size() == 1 && !std::filesystem::is_directory(positional[0], error));
  std::string module;
  if (moduleGiven) {
    module = positional.front();
    positional.erase(positional.begin());
  } else if (const auto installed = InstalledModule()) {
    module = installed->string();
  } else {
    std::fprintf(stderr, "zantel-tui: cannot tell where this program lies; name the MODULE\n");
    return 1;
  }
  const std::string folder =
      positional.empty() ? std::filesystem::current_path(error).string() : positional.front();
  // Checked before the screen is taken over, so the message stays readable.
  if (!std::filesystem::is_directory(folder, error)) {
    std::fprintf(stderr, "zantel-tui: \"%s\" is not a folder\n", folder.c_str());
    return 1;
  }
  if (!std::filesystem::is_regular_file(module, error)) {
    std::fprintf(stderr, "zantel-tui: no plug-in module at \"%s\"%s\n", module.c_str(),
                 moduleGiven ? "" : " (name one: zantel-tui MODULE)");
    return 1;
  }
  std::string failure;
  {
    Host::Tui::CTuiApp app;
    if (app.Start(module, folder, language, failure)) {
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

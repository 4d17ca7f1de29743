#pragma once
#include <string>

#include "host/tui/terminal.h"

// Far's viewer for a file of the file panel (F3): its lines over the whole screen under a title
// line, the key bar below. The text's logic is host/text_view.h's; this draws it and takes keys.
namespace Host::Tui {

// Until F10, Esc or F3. False, with the reason in `error`, when the file cannot be read.
bool ViewFile(CTerminal& terminal, const std::string& path, std::string& error);

}  // namespace Host::Tui

#pragma once

namespace Platform {

// Polls the console for a pressed Escape key without blocking: pending key events are
// consumed one by one up to and including the first Escape. False when no console is
// attached (input redirected from a file or pipe) or nothing is pending.
bool ConsoleEscapePressed();

}  // namespace Platform

#include "platform/console.h"

#include "platform/win32/windows_api.h"

namespace Platform {
namespace {

constexpr WORD kEscapeKey = VK_ESCAPE;

// Taken once and held for the life of the process: the host's console input does not change.
HANDLE ConsoleInput() {
  static const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  return input;
}

bool IsEscapeDown(const INPUT_RECORD& event) {
  return event.EventType == KEY_EVENT && event.Event.KeyEvent.bKeyDown &&
         event.Event.KeyEvent.wVirtualKeyCode == kEscapeKey;
}

}  // namespace

// Input that is not a console (a file, a pipe, nothing) makes the console calls fail: no key.
bool ConsoleEscapePressed() {
  const HANDLE input = ConsoleInput();
  INPUT_RECORD event{};
  DWORD count = 0;
  while (PeekConsoleInputA(input, &event, 1, &count) && count > 0) {
    if (!ReadConsoleInputA(input, &event, 1, &count) || count == 0) return false;
    if (IsEscapeDown(event)) return true;
  }
  return false;
}

}  // namespace Platform

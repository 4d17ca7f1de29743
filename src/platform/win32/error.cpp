#include "platform/error.h"

#include <array>

#include "platform/win32/windows_api.h"

namespace Platform {

uint32_t LastError() { return ::GetLastError(); }

void SetLastError(uint32_t code) { ::SetLastError(code); }

// Asking for the text must not change the error being described.
std::string ErrorText(uint32_t code) {
  const DWORD saved = ::GetLastError();
  std::array<char, 1024> buffer{};
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                     buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
  ::SetLastError(saved);
  std::string text(buffer.data(), length);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return text.empty() ? "Error " + std::to_string(code) : text;
}

}  // namespace Platform

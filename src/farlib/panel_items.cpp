#include "farlib/panel_items.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

namespace FarLib {
namespace {

constexpr std::string_view kUnsafe = "*?\\/$%^&:<>\"|";

bool IsUnsafe(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F || kUnsafe.find(c) != std::string_view::npos;
}

char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows opens the device whatever extension follows the name, and drops the spaces before
// the extension, so "nul.vcf" and "Con .txt" are the devices as much as "NUL" is.
bool NamesDevice(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string upper;
  for (const char c : base) upper += ToUpperAscii(c);
  static constexpr std::array<std::string_view, 4> kPlainDevices = {"CON", "PRN", "AUX", "NUL"};
  for (const std::string_view device : kPlainDevices) {
    if (upper == device) return true;
  }
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::string SafeFileName(std::string_view text) {
  std::string name(text.substr(0, sizeof(FAR_FIND_DATA::cFileName) - 1));
  for (char& c : name) {
    if (IsUnsafe(c)) c = '_';
  }
  // "." and ".." would be taken for the folder itself or its parent.
  if (name.find_first_not_of('.') == std::string::npos) name.assign(name.size(), '_');
  // A leading '_' rather than a changed or suffixed base: the name stays whole and recognisable
  // with any extension, dots or spaces after it, '_' is already the mark of what was changed
  // here, and a name made safe twice (an SMS item copied out) is prefixed only once.
  if (NamesDevice(name)) {
    name.insert(name.begin(), '_');
    name.resize(std::min(name.size(), sizeof(FAR_FIND_DATA::cFileName) - 1));
  }
  return name.empty() ? "_" : name;
}

void SetFileName(PluginPanelItem& item, std::string_view text) {
  const std::string name = SafeFileName(text);
  std::memcpy(item.FindData.cFileName, name.c_str(), name.size() + 1);
}

char* DuplicateText(std::string_view text) {
  auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (!copy) throw std::bad_alloc();
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void FreePanelItems(PluginPanelItem* items, int count) {
  for (int i = 0; i < count; ++i) {
    std::free(items[i].Description);
    std::free(items[i].Owner);
  }
  delete[] items;
}

CPanelItemArray::CPanelItemArray(size_t count)
    : m_items(count ? std::make_unique<PluginPanelItem[]>(count) : nullptr), m_count(count) {}

CPanelItemArray::~CPanelItemArray() {
  if (m_items) FreePanelItems(m_items.release(), static_cast<int>(m_count));
}

void CPanelItemArray::HandOver(PluginPanelItem** items, int* count) {
  *count = static_cast<int>(m_count);
  *items = m_items.release();
  m_count = 0;
}

}  // namespace FarLib

#include "farlib/panel_items.h"

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

}  // namespace

std::string SafeFileName(std::string_view text) {
  std::string name(text.substr(0, sizeof(FAR_FIND_DATA::cFileName) - 1));
  for (char& c : name) {
    if (IsUnsafe(c)) c = '_';
  }
  // "." and ".." would be taken for the folder itself or its parent.
  if (name.find_first_not_of('.') == std::string::npos) name.assign(name.size(), '_');
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

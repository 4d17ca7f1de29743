#pragma once
#include <array>
#include <deque>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "farapi/far_api.h"

// The panel modes and key bars the views hand to the host. Built once, on the first request,
// with copies of the language texts, so that they outlive every call that returns them.
namespace Plugin {

// A column title: a language message, or a literal text when the message is 0.
struct ColumnTitle {
  int message = 0;
  const char* literal = "";
};

// One panel mode: columns, widths and titles, and the status line's columns.
struct ModeLayout {
  const char* columns;
  const char* widths;
  std::array<ColumnTitle, 3> titles;
  const char* statusColumns;
  const char* statusWidths;
};

class CPanelModes {
 public:
  explicit CPanelModes(std::span<const ModeLayout> layouts);
  const PanelMode* Data() const { return m_modes.data(); }
  int Count() const { return static_cast<int>(m_modes.size()); }

 private:
  std::vector<std::array<std::string, 3>> m_texts;
  std::vector<std::array<char*, 3>> m_titles;
  std::vector<PanelMode> m_modes;
};

// The key labels of one level: a key not named keeps the host's own label; message 0 blanks
// the key.
enum class KeyRow { Plain, Alt, Shift };
struct KeyLabel {
  KeyRow row;
  int key;      // 1 to 12
  int message;  // 0 blanks the key
};

class CKeyBar {
 public:
  CKeyBar(std::initializer_list<std::span<const KeyLabel>> parts);
  const KeyBarTitles* Data() const { return &m_titles; }

 private:
  void Set(const KeyLabel& label);

  KeyBarTitles m_titles{};
  std::deque<std::string> m_texts;  // stays where it is as it grows
};

}  // namespace Plugin

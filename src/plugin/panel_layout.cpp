#include "plugin/panel_layout.h"

#include "farlib/host.h"

namespace Plugin {

CPanelModes::CPanelModes(std::span<const ModeLayout> layouts)
    : m_texts(layouts.size()), m_titles(layouts.size()), m_modes(layouts.size()) {
  for (size_t mode = 0; mode < layouts.size(); ++mode) {
    const ModeLayout& layout = layouts[mode];
    for (size_t column = 0; column < layout.titles.size(); ++column) {
      const ColumnTitle& title = layout.titles[column];
      m_texts[mode][column] = title.message ? FarLib::GetMsg(title.message) : title.literal;
      m_titles[mode][column] = m_texts[mode][column].data();
    }
    PanelMode& record = m_modes[mode];
    record = PanelMode{};
    record.ColumnTypes = const_cast<char*>(layout.columns);
    record.ColumnWidths = const_cast<char*>(layout.widths);
    record.ColumnTitles = m_titles[mode].data();
    record.StatusColumnTypes = const_cast<char*>(layout.statusColumns);
    record.StatusColumnWidths = const_cast<char*>(layout.statusWidths);
  }
}

CKeyBar::CKeyBar(std::initializer_list<std::span<const KeyLabel>> parts) {
  for (std::span<const KeyLabel> part : parts) {
    for (const KeyLabel& label : part) Set(label);
  }
}

void CKeyBar::Set(const KeyLabel& label) {
  std::string& text = m_texts.emplace_back(label.message ? FarLib::GetMsg(label.message) : "");
  char** row = label.row == KeyRow::Plain ? m_titles.Titles
               : label.row == KeyRow::Alt ? m_titles.AltTitles
                                          : m_titles.ShiftTitles;
  row[label.key - 1] = text.data();
}

}  // namespace Plugin

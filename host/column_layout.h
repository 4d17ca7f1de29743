#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "host/panel.h"

// Where a panel's columns go: Far's column types ("N,S,C0") and widths ("0,8,12"; 0 or nothing
// shares the room that is left, "25%" takes a share of the panel) laid out over a panel's inner
// width, one separator column between two columns. Columns that do not fit are left out from
// the right, as Far does.
namespace Host {

struct CColumn {
  std::string type;
  int x = 0;  // from the panel's inner left edge
  int width = 0;
  std::string title;
};

struct CColumnMode {
  std::string types;
  std::string widths;
  std::vector<std::string> titles;  // empty: Far's own title for each type
};

std::vector<CColumn> LayoutColumns(const CColumnMode& mode, int width);

// The plug-in's mode for the panel's view mode when it gave one, else Far's own for that mode.
// Far's modes made of name columns alone flow the names across columns; here they show one.
CColumnMode PanelColumns(const CPanel& panel, bool pluginPanel);

// What a column shows of an item, or Far's title for a column of that type.
std::string CellText(const CPanelItem& item, std::string_view type);
std::string DefaultTitle(std::string_view type);

}  // namespace Host

#include "host/column_layout.h"

#include <gtest/gtest.h>

namespace Host {
namespace {

std::string Describe(const std::vector<CColumn>& columns) {
  std::string text;
  for (const CColumn& column : columns) {
    text += (text.empty() ? "" : " ") + column.type + "@" + std::to_string(column.x) + "+" +
            std::to_string(column.width) + (column.title.empty() ? "" : ":" + column.title);
  }
  return text;
}

// Panel modes as plug-ins give them, laid out over a panel's inner width; "T@x+w:title".
TEST(ColumnLayout, ModesLayOutOverThePanelWidth) {
  struct Case {
    CColumnMode mode;
    int width;
    std::string expected;
  };
  const Case cases[] = {
      // One shared column takes what the fixed ones and the separators leave.
      {{"C0,N,S", "5,0,6", {"#", "Name", ""}}, 40, "C0@0+5:# N@6+27:Name S@34+6"},
      // Shared columns split the rest, the last one taking the odd character.
      {{"N,Z", "0,0", {}}, 21, "N@0+10:Name Z@11+10:Description"},
      {{"N,Z,O", ",,", {}}, 20, "N@0+6:Name Z@7+6:Description O@14+6:Owner"},
      // Percentages of the panel; no shared column: the last reaches the edge.
      {{"N,S", "50%,10", {}}, 40, "N@0+20:Name S@21+19:Size"},
      {{"N,Z", "40%,0", {}}, 30, "N@0+12:Name Z@13+17:Description"},
      // Widths missing or unreadable are shared.
      {{"C0,C1", "8", {"Number", "Name"}}, 30, "C0@0+8:Number C1@9+21:Name"},
      {{"N,S", "abc,7", {}}, 20, "N@0+12:Name S@13+7:Size"},
      // Columns that do not fit go from the right; a lone column is cut to the panel.
      {{"N,C0,C1", "0,20,20", {"A", "B", "C"}}, 30, "N@0+9:A C0@10+20:B"},
      {{"C0", "50", {"Only"}}, 12, "C0@0+12:Only"},
      // More titles than columns are ignored, fewer leave Far's own.
      {{"N", "0", {"Entry", "spare"}}, 10, "N@0+10:Entry"},
      {{"N,S", "0,5", {"Entry"}}, 10, "N@0+4:Entry S@5+5:Size"},
      // Nothing to lay out.
      {{"", "", {}}, 30, ""},
      {{"N,S", "0,5", {}}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode.types + " / " + c.mode.widths + " in " + std::to_string(c.width));
    const std::vector<CColumn> columns = LayoutColumns(c.mode, c.width);
    EXPECT_EQ(Describe(columns), c.expected);
    for (const CColumn& column : columns) EXPECT_LE(column.x + column.width, c.width);
  }
}

}  // namespace
}  // namespace Host

#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "host/far_keys.h"
#include "host/oem_text.h"

// The screen and keyboard through ncurses (wide-character build): the only place that includes
// it. Text comes in as the plug-in's OEM code page or as wide characters and goes out as the
// terminal's UTF-8 (host/oem_text.h converts).
namespace Host::Tui {

enum class EColor {
  Panel = 1,
  PanelTitle,
  PanelSelected,
  Cursor,
  CursorSelected,
  ActiveTitle,
  KeyNumber,
  KeyLabel,
  Dialog,
  DialogEdit,
  DialogFocus,
  DialogBox,
  Warning,
  WarningFocus,
  WarningBox,
  Menu,
  MenuCursor,
  MenuBox,
  MenuHotKey,
  MenuCursorHotKey,
  Status,
  Shadow,
};

// Columns the text takes on the screen.
int TextWidth(std::wstring_view text);

struct CInput {
  bool resized = false;
  std::optional<CFarKey> key;  // unset for a key Far has no name for
};

class CTerminal {
 public:
  CTerminal();
  ~CTerminal();
  CTerminal(const CTerminal&) = delete;
  CTerminal& operator=(const CTerminal&) = delete;

  int Width() const;
  int Height() const;

  // Waits for a key; a window size change comes back as `resized`.
  CInput ReadKey();

  void Fill(int y, int x, int width, EColor color);
  // Draws at most `width` columns of the text, padding with spaces when `pad`.
  void Text(int y, int x, int width, std::wstring_view text, EColor color, bool pad = false);
  void Char(int y, int x, wchar_t c, EColor color);
  void Box(int y, int x, int height, int width, bool doubleLine, EColor color);
  void HorizontalLine(int y, int x, int width, bool doubleLine, EColor color);
  void VerticalLine(int y, int x, int height, EColor color);
  // Far's shadow under a box at y, x: two columns on its right and the row below it, shifted
  // two columns right. What is drawn there keeps its characters in the shadow's colour.
  void Shadow(int y, int x, int height, int width);
  void Cursor(int y, int x);  // x < 0 hides it
  void Clear();
  void Show();
  // The terminal goes back to the shell's modes for another program (an editor) until Resume,
  // which takes it again and draws the whole screen anew.
  void Suspend();
  void Resume();

 private:
  int m_cursorY = -1;
  int m_cursorX = -1;
};

}  // namespace Host::Tui

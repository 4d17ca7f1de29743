#include "host/tui/terminal.h"

#include <clocale>
#include <cwchar>
#include <string>

#define NCURSES_WIDECHAR 1
#include <ncursesw/ncurses.h>

namespace Host::Tui {
namespace {

struct CColorPair {
  EColor role;
  short foreground;
  short background;
  bool bright;
};

// Far's classic colours.
constexpr CColorPair kPairs[] = {
    {EColor::Panel, COLOR_CYAN, COLOR_BLUE, true},
    {EColor::PanelTitle, COLOR_YELLOW, COLOR_BLUE, true},
    {EColor::PanelSelected, COLOR_YELLOW, COLOR_BLUE, true},
    {EColor::Cursor, COLOR_BLACK, COLOR_CYAN, false},
    {EColor::CursorSelected, COLOR_YELLOW, COLOR_CYAN, true},
    {EColor::ActiveTitle, COLOR_BLACK, COLOR_CYAN, false},
    {EColor::KeyNumber, COLOR_WHITE, COLOR_BLACK, false},
    {EColor::KeyLabel, COLOR_BLACK, COLOR_CYAN, false},
    {EColor::Dialog, COLOR_BLACK, COLOR_WHITE, false},
    {EColor::DialogEdit, COLOR_BLACK, COLOR_CYAN, false},
    {EColor::DialogFocus, COLOR_WHITE, COLOR_BLACK, true},
    {EColor::DialogBox, COLOR_WHITE, COLOR_WHITE, true},
    {EColor::Warning, COLOR_WHITE, COLOR_RED, true},
    {EColor::WarningFocus, COLOR_BLACK, COLOR_WHITE, false},
    {EColor::WarningBox, COLOR_WHITE, COLOR_RED, true},
    {EColor::Menu, COLOR_WHITE, COLOR_CYAN, true},
    {EColor::MenuCursor, COLOR_WHITE, COLOR_BLACK, true},
    {EColor::MenuBox, COLOR_WHITE, COLOR_CYAN, true},
    {EColor::MenuHotKey, COLOR_YELLOW, COLOR_CYAN, true},
    {EColor::MenuCursorHotKey, COLOR_YELLOW, COLOR_BLACK, true},
    {EColor::Status, COLOR_WHITE, COLOR_BLACK, false},
    // Dark grey on black; terminals of eight colours show grey as bright black.
    {EColor::Shadow, COLOR_BLACK, COLOR_BLACK, true},
};

// Terminals of sixteen colours or more have dark grey of its own (colour 8).
constexpr short kDarkGrey = 8;

bool g_colors = false;

attr_t Attributes(EColor role, short& pair) {
  pair = static_cast<short>(role);
  if (!g_colors) {
    pair = 0;
    switch (role) {
      case EColor::Cursor:
      case EColor::CursorSelected:
      case EColor::ActiveTitle:
      case EColor::DialogFocus:
      case EColor::MenuCursor:
      case EColor::MenuCursorHotKey:
      case EColor::WarningFocus: return A_REVERSE;
      case EColor::PanelSelected:
      case EColor::PanelTitle:
      case EColor::MenuHotKey: return A_BOLD;
      case EColor::Shadow: return A_DIM;
      default: return A_NORMAL;
    }
  }
  if (role == EColor::Shadow && COLORS >= 16) return A_NORMAL;
  for (const CColorPair& entry : kPairs) {
    if (entry.role == role) return entry.bright ? A_BOLD : A_NORMAL;
  }
  return A_NORMAL;
}

// Control characters would move the terminal's cursor: they show as spaces.
wchar_t Printable(wchar_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return L' ';
  return wcwidth(c) < 0 ? L'?' : c;
}

void Put(int y, int x, wchar_t c, EColor color) {
  short pair = 0;
  const attr_t attributes = Attributes(color, pair);
  const wchar_t text[2] = {Printable(c), 0};
  cchar_t cell;
  setcchar(&cell, text, attributes, pair, nullptr);
  mvadd_wch(y, x, &cell);
}

}  // namespace

int TextWidth(std::wstring_view text) {
  int width = 0;
  for (const wchar_t c : text) width += std::max(0, wcwidth(Printable(c)));
  return width;
}

CTerminal::CTerminal() {
  std::setlocale(LC_ALL, "");
  set_escdelay(25);
  initscr();
  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  if (has_colors()) {
    start_color();
    g_colors = true;
    for (const CColorPair& entry : kPairs) {
      init_pair(static_cast<short>(entry.role), entry.foreground, entry.background);
    }
    if (COLORS >= 16) init_pair(static_cast<short>(EColor::Shadow), kDarkGrey, COLOR_BLACK);
  }
  curs_set(0);
}

CTerminal::~CTerminal() { endwin(); }

int CTerminal::Width() const { return COLS; }
int CTerminal::Height() const { return LINES; }

CInput CTerminal::ReadKey() {
  CInput input;
  bool alt = false;
  while (true) {
    wint_t code = 0;
    timeout(alt ? 50 : -1);
    const int kind = get_wch(&code);
    if (kind == ERR) {
      // Escape alone, with nothing after it in time.
      if (alt) input.key = TranslateTerminalKey("", 0x1B, false);
      return input;
    }
    if (kind == KEY_CODE_YES && code == KEY_RESIZE) {
      input.resized = true;
      return input;
    }
    if (kind == OK && code == 0x1B && !alt) {
      alt = true;
      continue;
    }
    if (kind == KEY_CODE_YES) {
      const char* name = keyname(static_cast<int>(code));
      input.key = TranslateTerminalKey(name ? name : "?", 0, alt);
    } else {
      input.key = TranslateTerminalKey("", static_cast<char32_t>(code), alt);
    }
    return input;
  }
}

void CTerminal::Fill(int y, int x, int width, EColor color) {
  for (int i = 0; i < width; ++i) Put(y, x + i, L' ', color);
}

void CTerminal::Text(int y, int x, int width, std::wstring_view text, EColor color, bool pad) {
  int used = 0;
  for (const wchar_t raw : text) {
    const wchar_t c = Printable(raw);
    const int w = std::max(0, wcwidth(c));
    if (w == 0) continue;
    if (used + w > width) break;
    Put(y, x + used, c, color);
    used += w;
  }
  if (pad) Fill(y, x + used, width - used, color);
}

void CTerminal::Char(int y, int x, wchar_t c, EColor color) { Put(y, x, c, color); }

void CTerminal::Box(int y, int x, int height, int width, bool doubleLine, EColor color) {
  if (height < 2 || width < 2) return;
  const wchar_t* corners = doubleLine ? L"╔╗╚╝" : L"┌┐└┘";
  const wchar_t vertical = doubleLine ? L'║' : L'│';
  HorizontalLine(y, x, width, doubleLine, color);
  HorizontalLine(y + height - 1, x, width, doubleLine, color);
  for (int row = y + 1; row < y + height - 1; ++row) {
    Put(row, x, vertical, color);
    Put(row, x + width - 1, vertical, color);
  }
  Put(y, x, corners[0], color);
  Put(y, x + width - 1, corners[1], color);
  Put(y + height - 1, x, corners[2], color);
  Put(y + height - 1, x + width - 1, corners[3], color);
}

void CTerminal::HorizontalLine(int y, int x, int width, bool doubleLine, EColor color) {
  for (int i = 0; i < width; ++i) Put(y, x + i, doubleLine ? L'═' : L'─', color);
}

void CTerminal::VerticalLine(int y, int x, int height, EColor color) {
  for (int i = 0; i < height; ++i) Put(y + i, x, L'│', color);
}

void CTerminal::Shadow(int y, int x, int height, int width) {
  short pair = 0;
  const attr_t attributes = Attributes(EColor::Shadow, pair);
  const auto dim = [&](int row, int column) {
    if (row < 0 || row >= LINES || column < 0 || column >= COLS) return;
    cchar_t cell;
    if (mvin_wch(row, column, &cell) == ERR) return;
    wchar_t text[CCHARW_MAX + 1] = {};
    attr_t oldAttributes = 0;
    short oldPair = 0;
    if (getcchar(&cell, text, &oldAttributes, &oldPair, nullptr) == ERR) return;
    setcchar(&cell, text, attributes, pair, nullptr);
    mvadd_wch(row, column, &cell);
  };
  for (int row = y + 1; row <= y + height; ++row) {
    dim(row, x + width);
    dim(row, x + width + 1);
  }
  for (int column = x + 2; column < x + width; ++column) dim(y + height, column);
}

void CTerminal::Cursor(int y, int x) {
  m_cursorY = y;
  m_cursorX = x;
}

void CTerminal::Clear() { erase(); }

void CTerminal::Show() {
  // The cursor shows only in an edit; drawing moves it, so it is placed last.
  if (m_cursorX >= 0 && m_cursorY >= 0) {
    move(m_cursorY, m_cursorX);
    curs_set(1);
  } else {
    curs_set(0);
  }
  refresh();
}

void CTerminal::Suspend() {
  def_prog_mode();
  endwin();
}

void CTerminal::Resume() {
  reset_prog_mode();
  clearok(curscr, TRUE);
  refresh();
}

}  // namespace Host::Tui

#include "host/tui/tui_ui.h"

#include <algorithm>
#include <cwctype>

#include "host/dialog_model.h"
#include "host/menu_model.h"
#include "host/record_reader.h"

namespace Host::Tui {
namespace {

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(L'\n', start);
    lines.push_back(
        text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return lines;
}

std::vector<std::wstring> StandardButtons(FarDword flags) {
  switch (flags & 0x000F0000u) {
    case FMSG_MB_OK: return {L"OK"};
    case FMSG_MB_OKCANCEL: return {L"OK", L"Cancel"};
    case FMSG_MB_ABORTRETRYIGNORE: return {L"Abort", L"Retry", L"Ignore"};
    case FMSG_MB_YESNO: return {L"Yes", L"No"};
    case FMSG_MB_YESNOCANCEL: return {L"Yes", L"No", L"Cancel"};
    case FMSG_MB_RETRYCANCEL: return {L"Retry", L"Cancel"};
    default: return {};
  }
}

struct CMessageLayout {
  std::wstring title;
  std::vector<std::wstring> lines;
  std::vector<std::wstring> buttons;
};

CMessageLayout LayOutMessage(const ShownMessage& shown) {
  CMessageLayout layout;
  std::vector<std::wstring> texts;
  for (const std::string& item : shown.items) {
    const std::wstring wide = FromOem(item);
    if (shown.flags & FMSG_ALLINONE) {
      for (std::wstring& line : SplitLines(wide)) texts.push_back(std::move(line));
    } else {
      texts.push_back(wide);
    }
  }
  layout.buttons = StandardButtons(shown.flags);
  size_t ownButtons = 0;
  if (layout.buttons.empty()) {
    ownButtons = static_cast<size_t>(std::clamp(shown.buttons, 0, static_cast<int>(texts.size())));
    for (size_t i = texts.size() - ownButtons; i < texts.size(); ++i) {
      layout.buttons.push_back(texts[i]);  // "&Retry": the hot key stays until drawn
    }
  }
  if (!texts.empty()) layout.title = texts[0];
  if (!shown.errorText.empty()) layout.lines.push_back(FromOem(shown.errorText));
  for (size_t i = 1; i + ownButtons < texts.size(); ++i) layout.lines.push_back(texts[i]);
  return layout;
}

}  // namespace

// ---- Dialogs ----

class CDialogRunner {
 public:
  CDialogRunner(CTuiUi& ui, const ShownDialog& shown, FarDialogItem* items)
      : m_ui(ui), m_shown(shown), m_items(items), m_model(shown, ui.m_history) {}

  int Run() {
    while (true) {
      Draw();
      const CInput input = m_ui.m_terminal.ReadKey();
      if (input.resized || !input.key) continue;
      const CFarKey& key = *input.key;
      if (key.Is(kVkF1)) {
        m_ui.ShowHelp(m_shown.helpTopic);
        continue;
      }
      if (const std::optional<std::string> name = m_model.HistoryWanted(key)) {
        const std::vector<std::wstring> entries = m_ui.m_history[*name];
        const int chosen = entries.empty() ? -1 : m_ui.ChooseFrom(L"History", entries);
        if (chosen >= 0) m_model.SetFocusedText(entries[static_cast<size_t>(chosen)]);
        continue;
      }
      const int result = m_model.Press(key);
      if (result != CDialogModel::kStay) {
        m_model.Finish(result, m_items, m_ui.m_history);
        return result;
      }
    }
  }

 private:
  int Count() const { return m_model.Count(); }
  const ShownDialogItem& Item(int i) const { return m_shown.items[static_cast<size_t>(i)]; }

  void Draw() {
    CTerminal& t = m_ui.m_terminal;
    m_ui.Redraw();
    const int width = m_shown.x1 == -1 ? m_shown.x2 : m_shown.x2 - m_shown.x1 + 1;
    const int height = m_shown.y1 == -1 ? m_shown.y2 : m_shown.y2 - m_shown.y1 + 1;
    const int left = m_shown.x1 == -1 ? std::max(0, (t.Width() - width) / 2) : m_shown.x1;
    const int top = m_shown.y1 == -1 ? std::max(0, (t.Height() - height) / 2) : m_shown.y1;
    t.Shadow(top, left, height, width);
    for (int row = 0; row < height && top + row < t.Height(); ++row)
      t.Fill(top + row, left, std::min(width, t.Width() - left), EColor::Dialog);
    int cursorY = -1;
    int cursorX = -1;
    std::map<int, int> centredRowX;
    for (int i = 0; i < Count(); ++i) {
      const ShownDialogItem& item = Item(i);
      if (item.flags & DIF_HIDDEN) continue;
      const int y = top + item.y1;
      int x = left + item.x1;
      const bool focused = i == m_model.Focus();
      const std::wstring raw = FromOem(item.data);
      const CHotText hot = HotText(raw, item.flags & DIF_SHOWAMPERSAND);
      switch (item.type) {
        case DI_SINGLEBOX:
        case DI_DOUBLEBOX: {
          const int w = item.x2 - item.x1 + 1;
          t.Box(y, x, item.y2 - item.y1 + 1, w, item.type == DI_DOUBLEBOX, EColor::DialogBox);
          // A title's '&' marks a hot key, as on Far's frames, unless shown as it is.
          if (!hot.text.empty()) {
            const std::wstring title = L" " + hot.text + L" ";
            const int tw = std::min(TextWidth(title), w - 2);
            t.Text(y, x + (w - tw) / 2, tw, title, EColor::Dialog);
          }
          break;
        }
        case DI_TEXT: {
          if (item.flags & (DIF_SEPARATOR | DIF_SEPARATOR2)) {
            t.HorizontalLine(y, left + 3, width - 6, item.flags & DIF_SEPARATOR2,
                             EColor::DialogBox);
            if (hot.text.empty()) break;
            x = -1;
          }
          const int tw = TextWidth(hot.text);
          if (item.x1 == -1 || x == -1 || (item.flags & DIF_CENTERTEXT))
            x = left + (width - tw) / 2;
          t.Text(y, x, width - (x - left), hot.text, EColor::Dialog);
          break;
        }
        case DI_VTEXT:
          for (size_t k = 0; k < hot.text.size(); ++k)
            t.Char(y + static_cast<int>(k), x, hot.text[k], EColor::Dialog);
          break;
        case DI_EDIT:
        case DI_PSWEDIT:
        case DI_FIXEDIT:
        case DI_COMBOBOX: {
          CDialogModel::CItemState& state = m_model.MutableState(i);
          const int w = std::max(1, item.x2 - item.x1 + 1);
          if (state.cursor < state.scroll) state.scroll = state.cursor;
          if (state.cursor >= state.scroll + w) state.scroll = state.cursor - w + 1;
          std::wstring shownText =
              state.text.substr(std::min(state.text.size(), static_cast<size_t>(state.scroll)));
          if (item.type == DI_PSWEDIT) shownText.assign(shownText.size(), L'*');
          t.Text(y, x, w, shownText, focused ? EColor::DialogFocus : EColor::DialogEdit, true);
          if (focused) {
            cursorY = y;
            cursorX =
                x + TextWidth(state.text.substr(static_cast<size_t>(state.scroll),
                                                static_cast<size_t>(state.cursor - state.scroll)));
          }
          break;
        }
        case DI_BUTTON: {
          if (item.flags & DIF_CENTERGROUP) x = CentredX(item.y1, i, left, width, centredRowX);
          t.Text(y, x, width - (x - left), Label(i),
                 focused ? EColor::DialogFocus : EColor::Dialog);
          break;
        }
        case DI_CHECKBOX:
        case DI_RADIOBUTTON: {
          const int selected = m_model.State(i).selected;
          std::wstring mark;
          if (item.type == DI_CHECKBOX)
            mark = selected == 2 ? L"[?] " : selected ? L"[x] " : L"[ ] ";
          else mark = selected ? L"(•) " : L"( ) ";
          if (item.flags & DIF_CENTERGROUP) x = CentredX(item.y1, i, left, width, centredRowX);
          t.Text(y, x, width - (x - left), mark + hot.text,
                 focused ? EColor::DialogFocus : EColor::Dialog);
          break;
        }
        default: t.Text(y, x, width - (x - left), hot.text, EColor::Dialog); break;
      }
    }
    t.Cursor(cursorY, cursorX);
    t.Show();
  }

  std::wstring Label(int i) const {
    const ShownDialogItem& item = Item(i);
    const std::wstring text = HotText(FromOem(item.data), item.flags & DIF_SHOWAMPERSAND).text;
    if (item.type == DI_BUTTON) {
      if (item.flags & DIF_NOBRACKETS) return text;
      return item.defaultButton ? L"{ " + text + L" }" : L"[ " + text + L" ]";
    }
    return L"[ ] " + text;
  }

  // DIF_CENTERGROUP items of one row stand centred together, one space apart.
  int CentredX(int row, int index, int left, int width, std::map<int, int>& rowX) const {
    if (!rowX.count(row)) {
      int total = -1;
      for (int i = 0; i < Count(); ++i) {
        if (Item(i).y1 == row && (Item(i).flags & DIF_CENTERGROUP) && !(Item(i).flags & DIF_HIDDEN))
          total += TextWidth(Label(i)) + 1;
      }
      rowX[row] = left + std::max(0, (width - total) / 2);
    }
    const int x = rowX[row];
    rowX[row] += TextWidth(Label(index)) + 1;
    return x;
  }

  CTuiUi& m_ui;
  const ShownDialog& m_shown;
  FarDialogItem* m_items;
  CDialogModel m_model;
};

// ---- Menus ----

class CMenuRunner {
 public:
  CMenuRunner(CTuiUi& ui, std::wstring title, std::wstring bottom, CMenuModel model)
      : m_ui(ui),
        m_title(std::move(title)),
        m_bottom(std::move(bottom)),
        m_model(std::move(model)) {}

  int x = -1;
  int y = -1;
  int maxHeight = 0;
  const std::vector<int>* breakKeys = nullptr;
  std::string helpTopic;

  int Run(int& breakCode) {
    breakCode = -1;
    while (true) {
      Draw();
      const CInput input = m_ui.m_terminal.ReadKey();
      if (input.resized || !input.key) continue;
      const CFarKey& key = *input.key;
      if (breakKeys && !breakKeys->empty()) {
        const int matched = MatchBreakKey(*breakKeys, BreakKeyCode(key));
        if (matched >= 0) {
          breakCode = matched;
          return m_model.Cursor();
        }
      }
      if (key.Is(kVkF1)) {
        if (!helpTopic.empty()) m_ui.ShowHelp(helpTopic);
        continue;
      }
      const int result = m_model.Press(key, m_shownRows);
      if (result != CMenuModel::kStay) return result;
    }
  }

 private:
  int Count() const { return m_model.Count(); }

  void Draw() {
    CTerminal& t = m_ui.m_terminal;
    m_ui.Redraw();
    int inner = std::max(TextWidth(m_title), TextWidth(m_bottom)) + 2;
    for (int i = 0; i < Count(); ++i) inner = std::max(inner, TextWidth(m_model.Line(i).text) + 4);
    inner = std::min(inner, std::max(4, t.Width() - 6));
    const int limit =
        std::max(1, (maxHeight > 0 ? std::min(maxHeight, t.Height() - 4) : t.Height() - 4));
    const int shownRows = std::max(1, std::min(Count(), limit));
    m_shownRows = shownRows;
    const int width = inner + 2;
    const int height = shownRows + 2;
    const int left =
        x >= 0 ? std::min(x, std::max(0, t.Width() - width)) : std::max(0, (t.Width() - width) / 2);
    const int top = y >= 0 ? std::min(y, std::max(0, t.Height() - height))
                           : std::max(0, (t.Height() - height) / 2);
    const int cursor = m_model.Cursor();
    if (cursor >= 0) {
      if (cursor < m_top) m_top = cursor;
      if (cursor >= m_top + shownRows) m_top = cursor - shownRows + 1;
    }
    t.Shadow(top, left, height, width);
    t.Box(top, left, height, width, true, EColor::MenuBox);
    if (!m_title.empty()) {
      const std::wstring title = L" " + m_title + L" ";
      const int tw = std::min(TextWidth(title), width - 2);
      t.Text(top, left + (width - tw) / 2, tw, title, EColor::MenuBox);
    }
    if (!m_bottom.empty()) {
      const std::wstring bottom = L" " + m_bottom + L" ";
      const int bw = std::min(TextWidth(bottom), width - 2);
      t.Text(top + height - 1, left + (width - bw) / 2, bw, bottom, EColor::MenuBox);
    }
    for (int row = 0; row < shownRows; ++row) {
      const int index = m_top + row;
      const int rowY = top + 1 + row;
      if (index >= Count()) {
        t.Fill(rowY, left + 1, inner, EColor::Menu);
        continue;
      }
      const CMenuModel::CLine& line = m_model.Line(index);
      if (line.separator) {
        t.HorizontalLine(rowY, left + 1, inner, false, EColor::MenuBox);
        t.Char(rowY, left, L'╟', EColor::MenuBox);
        t.Char(rowY, left + width - 1, L'╢', EColor::MenuBox);
        continue;
      }
      std::wstring mark = L"  ";
      if (line.checked == 1) mark = L"√ ";
      else if (line.checked) mark = std::wstring(1, static_cast<wchar_t>(line.checked)) + L" ";
      const bool current = index == cursor;
      const std::wstring before = L" " + mark;
      t.Text(rowY, left + 1, inner, before + line.text, current ? EColor::MenuCursor : EColor::Menu,
             true);
      // The hot key stands out, as Far marks it.
      if (line.hotPosition < line.text.size()) {
        const int hotX = left + 1 + TextWidth(before) +
                         TextWidth(std::wstring_view(line.text).substr(0, line.hotPosition));
        if (hotX < left + 1 + inner)
          t.Char(rowY, hotX, line.text[line.hotPosition],
                 current ? EColor::MenuCursorHotKey : EColor::MenuHotKey);
      }
    }
    t.Cursor(-1, -1);
    t.Show();
  }

  CTuiUi& m_ui;
  std::wstring m_title;
  std::wstring m_bottom;
  CMenuModel m_model;
  int m_top = 0;
  int m_shownRows = 1;
};

// ---- CTuiUi ----

CTuiUi::CTuiUi(CTerminal& terminal, std::function<void()> drawBackground)
    : m_terminal(terminal), m_drawBackground(std::move(drawBackground)) {}

int CTuiUi::Dialog(const ShownDialog& shown, FarDialogItem* items, int count) {
  if (count <= 0 || !items) return -1;
  CDialogRunner runner(*this, shown, items);
  const int result = runner.Run();
  Redraw();
  m_terminal.Show();
  return result;
}

int CTuiUi::Menu(const ShownMenu& shown, int& breakCode) {
  std::vector<CMenuModel::CLine> lines;
  int cursor = -1;
  for (size_t i = 0; i < shown.items.size(); ++i) {
    const ShownMenuItem& item = shown.items[i];
    const CHotText hot = HotText(FromOem(item.text), shown.flags & FMENU_SHOWAMPERSAND);
    lines.push_back({hot.text, hot.hotKey, hot.hotPosition, item.checked, item.separator != 0});
    if (item.selected && cursor < 0 && !item.separator) cursor = static_cast<int>(i);
  }
  if (lines.empty()) {
    breakCode = -1;
    return -1;
  }
  CMenuModel model(std::move(lines), cursor, (shown.flags & FMENU_WRAPMODE) != 0);
  if (shown.flags & (FMENU_AUTOHIGHLIGHT | FMENU_REVERSEAUTOHIGHLIGHT))
    model.AssignHotKeys((shown.flags & FMENU_REVERSEAUTOHIGHLIGHT) != 0);
  CMenuRunner runner(*this, FromOem(shown.title), FromOem(shown.bottom), std::move(model));
  runner.x = shown.x;
  runner.y = shown.y;
  runner.maxHeight = shown.maxHeight;
  runner.breakKeys = &shown.breakKeys;
  runner.helpTopic = shown.helpTopic;
  const int result = runner.Run(breakCode);
  Redraw();
  m_terminal.Show();
  return result;
}

// The host's own menus go round, as Far's disk, plug-ins and history menus do.
int CTuiUi::ChooseFrom(const std::wstring& title, const std::vector<std::wstring>& items,
                       int current, int check) {
  std::vector<CMenuModel::CLine> lines;
  for (const std::wstring& item : items) {
    const CHotText hot = HotText(item, false);
    const bool marked = static_cast<int>(lines.size()) == current;
    lines.push_back({hot.text, hot.hotKey, hot.hotPosition, marked ? check : 0, false});
  }
  if (lines.empty()) return -1;
  CMenuRunner runner(*this, title, L"", CMenuModel(std::move(lines), std::max(0, current), true));
  int breakCode = -1;
  const int result = runner.Run(breakCode);
  Redraw();
  return result;
}

void CTuiUi::DrawMessage(const ShownMessage& shown, int focus) {
  const CMessageLayout layout = LayOutMessage(shown);
  const bool warning = (shown.flags & FMSG_WARNING) != 0;
  const EColor body = warning ? EColor::Warning : EColor::Dialog;
  const EColor frame = warning ? EColor::WarningBox : EColor::DialogBox;
  const EColor focusColor = warning ? EColor::WarningFocus : EColor::DialogFocus;
  int inner = TextWidth(layout.title) + 2;
  for (const std::wstring& line : layout.lines) inner = std::max(inner, TextWidth(line));
  int buttonsWidth = -1;
  for (const std::wstring& button : layout.buttons)
    buttonsWidth += TextWidth(HotText(button, false).text) + 5;
  inner = std::max(inner, buttonsWidth);
  inner = std::min(inner, std::max(10, m_terminal.Width() - 10));
  const int width = inner + 10;
  const int height = static_cast<int>(layout.lines.size()) + (layout.buttons.empty() ? 0 : 1) + 4;
  const int left = std::max(0, (m_terminal.Width() - width) / 2);
  int top = std::max(0, (m_terminal.Height() - height) / 2);
  if (shown.flags & FMSG_DOWN) top = std::max(0, std::min(top + 3, m_terminal.Height() - height));
  m_terminal.Shadow(top, left, height, width);
  for (int row = 0; row < height; ++row) m_terminal.Fill(top + row, left, width, body);
  m_terminal.Box(top + 1, left + 3, height - 2, width - 6, true, frame);
  if (!layout.title.empty()) {
    const std::wstring title = L" " + layout.title + L" ";
    const int tw = std::min(TextWidth(title), width - 8);
    m_terminal.Text(top + 1, left + (width - tw) / 2, tw, title, frame);
  }
  int y = top + 2;
  for (const std::wstring& line : layout.lines) {
    if (!line.empty() && (line[0] == 1 || line[0] == 2)) {
      m_terminal.HorizontalLine(y, left + 4, width - 8, line[0] == 2, frame);
    } else {
      const int lw = std::min(TextWidth(line), inner);
      const int x = (shown.flags & FMSG_LEFTALIGN) ? left + 5 : left + (width - lw) / 2;
      m_terminal.Text(y, x, inner, line, body);
    }
    ++y;
  }
  if (!layout.buttons.empty()) {
    int x = left + std::max(5, (width - buttonsWidth) / 2);
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
      const std::wstring label = L"[ " + HotText(layout.buttons[i], false).text + L" ]";
      m_terminal.Text(y, x, std::max(0, left + width - 4 - x), label,
                      static_cast<int>(i) == focus ? focusColor : body);
      x += TextWidth(label) + 1;
    }
  }
}

int CTuiUi::Message(const ShownMessage& shown) {
  const CMessageLayout layout = LayOutMessage(shown);
  if (layout.buttons.empty()) {
    // A wait box: drawn now, left standing while the plug-in works.
    m_standing.push_back(shown);
    Redraw();
    m_terminal.Show();
    return -1;
  }
  const int buttons = static_cast<int>(layout.buttons.size());
  int focus = 0;
  while (true) {
    Redraw();
    DrawMessage(shown, focus);
    m_terminal.Cursor(-1, -1);
    m_terminal.Show();
    const CInput input = m_terminal.ReadKey();
    if (input.resized || !input.key) continue;
    const CFarKey& key = *input.key;
    if (key.Is(kVkEscape) || key.Is(kVkF10)) {
      focus = -1;
      break;
    }
    if (key.Is(kVkReturn) || key.Is(kVkSpace)) break;
    if (key.Is(kVkF1)) {
      ShowHelp(shown.helpTopic);
      continue;
    }
    if (key.Is(kVkRight) || key.Is(kVkTab)) focus = (focus + 1) % buttons;
    else if (key.Is(kVkLeft) || key.Is(kVkTab, PKF_SHIFT)) focus = (focus + buttons - 1) % buttons;
    else {
      bool chosen = false;
      for (int i = 0; i < buttons && !chosen; ++i) {
        if (KeyMatchesHotKey(key, HotText(layout.buttons[static_cast<size_t>(i)], false).hotKey)) {
          focus = i;
          chosen = true;
        }
      }
      if (chosen) break;
    }
  }
  Redraw();
  m_terminal.Show();
  return focus;
}

// ---- Help ----

class CHelpViewer {
 public:
  CHelpViewer(CTuiUi& ui, const CHelpFiles& help) : m_ui(ui), m_help(help) {}

  bool Run(const std::string& topic) {
    if (!Open(topic)) return false;
    while (true) {
      Draw();
      const CInput input = m_ui.m_terminal.ReadKey();
      if (input.resized || !input.key) continue;
      const CFarKey& key = *input.key;
      if (key.Is(kVkEscape) || key.Is(kVkF10)) return true;
      const int rows = Rows();
      const int last = std::max(0, static_cast<int>(m_page.lines.size()) - rows);
      if (key.Is(kVkDown)) m_top = std::min(last, m_top + 1);
      else if (key.Is(kVkUp)) m_top = std::max(0, m_top - 1);
      else if (key.Is(kVkNext)) m_top = std::min(last, m_top + rows);
      else if (key.Is(kVkPrior)) m_top = std::max(0, m_top - rows);
      else if (key.Is(kVkHome)) m_top = 0;
      else if (key.Is(kVkEnd)) m_top = last;
      else if (key.Is(kVkTab)) NextLink(+1);
      else if (key.Is(kVkTab, PKF_SHIFT)) NextLink(-1);
      else if (key.Is(kVkReturn) && m_link >= 0) {
        const std::string target = m_links[static_cast<size_t>(m_link)].topic;
        const std::string from = m_page.topic;
        if (Open(target)) m_back.push_back(from);
      } else if ((key.Is(kVkBack) || key.Is(kVkF1, PKF_ALT)) && !m_back.empty()) {
        const std::string previous = m_back.back();
        m_back.pop_back();
        Open(previous);
      }
    }
  }

 private:
  struct CLinkPlace {
    int line;
    int column;
    std::string topic;
  };

  bool Open(const std::string& topic) {
    std::optional<CHelpPage> page = m_help.Page(topic);
    if (!page) return false;
    m_page = std::move(*page);
    m_top = 0;
    m_links.clear();
    for (size_t line = 0; line < m_page.lines.size(); ++line) {
      int column = 0;
      for (const CHelpSpan& span : m_page.lines[line].spans) {
        if (!span.link.empty()) m_links.push_back({static_cast<int>(line), column, span.link});
        column += TextWidth(FromOem(span.text));
      }
    }
    m_link = m_links.empty() ? -1 : 0;
    return true;
  }

  int Rows() const { return std::max(1, m_ui.m_terminal.Height() - 8); }

  void NextLink(int direction) {
    if (m_links.empty()) return;
    const int count = static_cast<int>(m_links.size());
    m_link = ((m_link + direction) % count + count) % count;
    const int line = m_links[static_cast<size_t>(m_link)].line;
    if (line < m_top) m_top = line;
    if (line >= m_top + Rows()) m_top = line - Rows() + 1;
  }

  void Draw() {
    CTerminal& t = m_ui.m_terminal;
    m_ui.Redraw();
    const int width = std::max(20, t.Width() - 4);
    const int height = std::max(6, t.Height() - 4);
    const int left = (t.Width() - width) / 2;
    const int top = (t.Height() - height) / 2;
    t.Shadow(top, left, height, width);
    for (int row = 0; row < height; ++row) t.Fill(top + row, left, width, EColor::Menu);
    t.Box(top, left, height, width, true, EColor::MenuBox);
    const std::wstring title = L" " + FromOem(m_page.title) + L" ";
    const int titleWidth = std::min(TextWidth(title), width - 2);
    t.Text(top, left + (width - titleWidth) / 2, titleWidth, title, EColor::MenuBox);
    const std::wstring bottom = L" Tab: next link  Enter: follow  BS: back  Esc: close ";
    const int bottomWidth = std::min(TextWidth(bottom), width - 2);
    t.Text(top + height - 1, left + (width - bottomWidth) / 2, bottomWidth, bottom,
           EColor::MenuBox);
    const int inner = width - 4;
    for (int row = 0; row < Rows() && row < height - 2; ++row) {
      const int index = m_top + row;
      if (index >= static_cast<int>(m_page.lines.size())) break;
      const CHelpLine& line = m_page.lines[static_cast<size_t>(index)];
      int lineWidth = 0;
      for (const CHelpSpan& span : line.spans) lineWidth += TextWidth(FromOem(span.text));
      int x = left + 2 + (line.centred ? std::max(0, (inner - lineWidth) / 2) : 0);
      int column = 0;
      for (const CHelpSpan& span : line.spans) {
        const std::wstring text = FromOem(span.text);
        EColor color = span.bold ? EColor::MenuBox : EColor::Menu;
        if (!span.link.empty()) {
          const bool current = m_link >= 0 && m_links[static_cast<size_t>(m_link)].line == index &&
                               m_links[static_cast<size_t>(m_link)].column == column;
          color = current ? EColor::MenuCursor : EColor::PanelTitle;
        }
        const int room = left + 2 + inner - x;
        if (room <= 0) break;
        t.Text(top + 1 + row, x, room, text, color);
        x += TextWidth(text);
        column += TextWidth(text);
      }
    }
    t.Cursor(-1, -1);
    t.Show();
  }

  CTuiUi& m_ui;
  const CHelpFiles& m_help;
  CHelpPage m_page;
  std::vector<CLinkPlace> m_links;
  std::vector<std::string> m_back;
  int m_link = -1;
  int m_top = 0;
};

bool CTuiUi::ShowHelp(const std::string& topic) {
  if (!m_help || topic == kNoTopic) return false;
  CHelpViewer viewer(*this, *m_help);
  const bool shown = viewer.Run(topic);
  Redraw();
  m_terminal.Show();
  return shown;
}

void CTuiUi::Tell(const std::wstring& title, const std::vector<std::wstring>& lines, bool warning) {
  ShownMessage shown;
  shown.flags = (warning ? FMSG_WARNING : 0) | FMSG_MB_OK;
  shown.items.push_back(ToOem(title));
  for (const std::wstring& line : lines) shown.items.push_back(ToOem(line));
  shown.buttons = 1;
  Message(shown);
}

void CTuiUi::SaveScreen(uintptr_t screen) { m_saved[screen] = m_standing.size(); }

void CTuiUi::RestoreScreen(uintptr_t screen) {
  if (screen == 0) {
    Redraw();
    m_terminal.Show();
    return;
  }
  const auto found = m_saved.find(screen);
  if (found == m_saved.end()) return;
  if (found->second < m_standing.size()) m_standing.resize(found->second);
  m_saved.erase(found);
  Redraw();
  m_terminal.Show();
}

void CTuiUi::Redraw() {
  if (m_drawBackground) m_drawBackground();
  DrawStanding();
}

void CTuiUi::DrawStanding() {
  for (const ShownMessage& shown : m_standing) DrawMessage(shown, -1);
}

void CTuiUi::ForgetStandingBoxes() {
  m_standing.clear();
  m_saved.clear();
}

}  // namespace Host::Tui

#include "host/tui/tui_app.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/column_layout.h"
#include "host/record_reader.h"
#include "host/text_view.h"
#include "host/tui/tui_viewer.h"
#include "platform/file_name_match.h"

namespace Host::Tui {
namespace {

// Far's own key bar labels, F1..F12, where the plug-in gives none. F9 opens the plug-in's
// configuration here, since this host has no menu bar.
const wchar_t* const kHostLabels[12] = {L"Help",   L"",       L"View",   L"Edit",
                                        L"Copy",   L"RenMov", L"MkFold", L"Delete",
                                        L"Config", L"Quit",   L"Plugin", L"Screen"};

std::wstring Centre(const std::wstring& text, int width) {
  const int pad = std::max(0, (width - TextWidth(text)) / 2);
  return std::wstring(static_cast<size_t>(pad), L' ') + text;
}

}  // namespace

CTuiApp::CTuiApp() : m_ui(m_terminal, [this] { Draw(); }) {
  m_host.SetUi(&m_ui);
  m_host.NameMissingMessages();
  m_host.ListSubfolders(true);
}

bool CTuiApp::Start(const std::string& modulePath, const std::string& folder,
                    const std::string& language, std::string& error) {
  m_host.Panel(EPanel::Plugin).sortsItems = true;
  m_host.Panel(EPanel::Files).sortsItems = true;
  if (!m_host.SetFolder(folder) || !m_host.Load(modulePath, language)) {
    error = m_host.Failures().empty() ? "cannot start" : m_host.Failures().back();
    return false;
  }
  m_host.ForgetRecords();
  std::error_code ignored;
  if (m_help.Load(std::filesystem::absolute(modulePath, ignored).parent_path(), language))
    m_ui.SetHelp(&m_help);
  m_status = L"Alt+F1: the disk menu opens the phone; F11: plug-ins; F9: configuration; F10: quit";
  return true;
}

void CTuiApp::Run() {
  while (!m_quit) {
    Draw();
    m_terminal.Cursor(-1, -1);
    m_terminal.Show();
    const CInput input = m_terminal.ReadKey();
    if (input.resized || !input.key) continue;
    HandleKey(*input.key);
    // What the plug-in did that Far would trip over shows on the status line.
    if (!m_host.Failures().empty()) Say("host: " + m_host.Failures().back());
    // Nobody reads the records here: they would grow with every key for as long as it runs.
    m_host.ForgetRecords();
    m_ui.ForgetStandingBoxes();
  }
}

// ---- drawing ----

void CTuiApp::Draw() {
  const int width = m_terminal.Width();
  const int height = m_terminal.Height();
  m_terminal.Clear();
  if (width < 30 || height < 10) {
    m_terminal.Text(0, 0, width, L"The window is too small for Zantel's panels.", EColor::Status);
    return;
  }
  const int half = width / 2;
  const int panelHeight = height - 2;
  DrawPanel(EPanel::Plugin, 0, half, panelHeight);
  if (m_infoPanel && m_host.IsOpen()) {
    DrawInfoPanel(half, width - half, panelHeight);
  } else {
    DrawPanel(EPanel::Files, half, width - half, panelHeight);
  }
  m_terminal.Text(height - 2, 0, width, m_status, EColor::Status, true);
  DrawKeyBar(height - 1);
}

void CTuiApp::DrawPanel(EPanel which, int x, int width, int height) {
  const bool open = which == EPanel::Files || m_host.IsOpen();
  const bool active = open && m_host.Active() == which;
  for (int row = 0; row < height; ++row) m_terminal.Fill(row, x, width, EColor::Panel);
  m_terminal.Box(0, x, height, width, true, EColor::Panel);
  const int inner = width - 2;
  if (!open) {
    m_terminal.Text(height / 2 - 1, x + 1, inner, Centre(L"No plug-in panel", inner),
                    EColor::Panel);
    m_terminal.Text(height / 2, x + 1, inner, Centre(L"Alt+F1: disk menu", inner), EColor::Panel);
    m_terminal.Text(height / 2 + 1, x + 1, inner, Centre(L"F11: plug-ins menu", inner),
                    EColor::Panel);
    return;
  }
  CPanel& panel = m_host.Panel(which);
  std::wstring title;
  if (which == EPanel::Plugin) {
    title = FromOem(!panel.plugin.panelTitle.empty() ? panel.plugin.panelTitle : panel.directory);
  } else {
    title = FileNameText(panel.directory);
  }
  title = L" " + title + L" ";
  const int titleWidth = std::min(TextWidth(title), inner);
  m_terminal.Text(0, x + 1 + (inner - titleWidth) / 2, titleWidth, title,
                  active ? EColor::ActiveTitle : EColor::Panel);

  const std::vector<CColumn> columns =
      LayoutColumns(PanelColumns(panel, which == EPanel::Plugin), inner);
  const int firstRow = 2;
  const int rows = std::max(0, height - 5);
  for (const CColumn& column : columns) {
    const std::wstring columnTitle = FromOem(column.title);
    m_terminal.Text(1, x + 1 + column.x, column.width, Centre(columnTitle, column.width),
                    EColor::PanelTitle);
    if (column.x + column.width < inner)
      m_terminal.VerticalLine(1, x + 1 + column.x + column.width, rows + 1, EColor::Panel);
  }

  const std::vector<CPanelItem>& items = panel.Items();
  int top = panel.Top();
  const int current = panel.Current();
  if (current < top) top = current;
  if (rows > 0 && current >= top + rows) top = current - rows + 1;
  top = std::max(0, std::min(top, std::max(0, static_cast<int>(items.size()) - rows)));
  panel.SetTop(top);
  for (int row = 0; row < rows; ++row) {
    const int index = top + row;
    if (index >= static_cast<int>(items.size())) break;
    const CPanelItem& item = items[static_cast<size_t>(index)];
    EColor color = item.selected ? EColor::PanelSelected : EColor::Panel;
    if (active && index == current) color = item.selected ? EColor::CursorSelected : EColor::Cursor;
    const int y = firstRow + row;
    for (const CColumn& column : columns) {
      const std::string bytes = CellText(item, column.type);
      // The file panel's names come from the file system, the plug-in's in its OEM page.
      std::wstring cell =
          which == EPanel::Files && column.type == "N" ? FileNameText(bytes) : FromOem(bytes);
      if (column.type == "N" && item.IsFolder() && !item.IsParent() && which == EPanel::Files)
        cell += L"/";
      const int cellWidth = TextWidth(cell);
      const bool right = column.type == "S" && cellWidth < column.width;
      m_terminal.Fill(y, x + 1 + column.x, column.width, color);
      m_terminal.Text(y, x + 1 + column.x + (right ? column.width - cellWidth : 0), column.width,
                      cell, color);
    }
  }

  // The status line: the current item, and what is selected.
  const int separator = height - 3;
  m_terminal.HorizontalLine(separator, x + 1, inner, false, EColor::Panel);
  m_terminal.Char(separator, x, L'╟', EColor::Panel);
  m_terminal.Char(separator, x + width - 1, L'╢', EColor::Panel);
  if (const int selected = panel.SelectedCount(); selected > 0) {
    const std::wstring text = L" " + std::to_wstring(selected) + L" selected ";
    m_terminal.Text(separator, x + 1 + (inner - TextWidth(text)) / 2, inner, text,
                    EColor::PanelSelected);
  }
  if (const CPanelItem* item = panel.CurrentItem()) {
    std::wstring status = which == EPanel::Files ? FileNameText(item->name) : FromOem(item->name);
    for (const std::string& column : item->customColumns) {
      if (!column.empty()) {
        status += L"  " + FromOem(column);
        break;
      }
    }
    if (!item->IsFolder() && which == EPanel::Files) status += L"  " + std::to_wstring(item->size);
    m_terminal.Text(height - 2, x + 1, inner, status, EColor::Panel);
  }
}

void CTuiApp::DrawInfoPanel(int x, int width, int height) {
  for (int row = 0; row < height; ++row) m_terminal.Fill(row, x, width, EColor::Panel);
  m_terminal.Box(0, x, height, width, true, EColor::Panel);
  const int inner = width - 2;
  const std::wstring title = L" Information ";
  m_terminal.Text(0, x + 1 + (inner - TextWidth(title)) / 2, inner, title, EColor::Panel);
  int y = 1;
  for (const CInfoLine& line : m_host.Panel(EPanel::Plugin).plugin.infoLines) {
    if (y >= height - 1) break;
    const std::wstring text = FromOem(line.text);
    if (line.separator) {
      m_terminal.HorizontalLine(y, x + 1, inner, false, EColor::Panel);
      m_terminal.Char(y, x, L'╟', EColor::Panel);
      m_terminal.Char(y, x + width - 1, L'╢', EColor::Panel);
      if (!text.empty()) {
        const std::wstring label = L" " + text + L" ";
        m_terminal.Text(y, x + 1 + (inner - TextWidth(label)) / 2, inner, label,
                        EColor::PanelTitle);
      }
    } else {
      const std::wstring data = FromOem(line.data);
      m_terminal.Text(y, x + 2, inner - 2, text, EColor::Panel);
      const int dataWidth = std::min(TextWidth(data), inner - 2);
      m_terminal.Text(y, x + width - 2 - dataWidth, dataWidth, data, EColor::PanelTitle);
    }
    ++y;
  }
}

void CTuiApp::DrawKeyBar(int y) {
  const int width = m_terminal.Width();
  const int cell = std::max(1, width / 12);
  const bool plugin = m_host.IsOpen() && m_host.Active() == EPanel::Plugin;
  for (int i = 0; i < 12; ++i) {
    const int x = i * cell;
    if (x >= width) break;
    const int w = i == 11 ? width - x : cell;
    std::wstring label = kHostLabels[i];
    if (plugin) {
      const std::string& own =
          m_host.Panel(EPanel::Plugin).plugin.keyBar[0][static_cast<size_t>(i)];
      if (!own.empty()) label = FromOem(own);
    }
    const std::wstring number = std::to_wstring(i + 1);
    m_terminal.Text(y, x, w, number, EColor::KeyNumber);
    const int numberWidth = static_cast<int>(number.size());
    m_terminal.Text(y, x + numberWidth, std::max(0, w - numberWidth - 1), label, EColor::KeyLabel,
                    true);
  }
}

// ---- keys ----

void CTuiApp::HandleKey(const CFarKey& key) {
  if (key.Is(kVkF10) || key.Is('Q', PKF_CONTROL)) {
    m_quit = true;
    return;
  }
  if (key.Is(kVkF1, PKF_ALT) || key.Is(kVkF2, PKF_ALT)) return DiskMenu();
  if (key.Is(kVkF11)) return PluginsMenu();
  if (key.Is(kVkF9)) return ConfigureMenu();
  if (key.Is(kVkF1)) return Help();
  if (key.Is('L', PKF_CONTROL)) {
    m_infoPanel = !m_infoPanel;
    if (m_infoPanel && m_host.IsOpen()) m_host.Activate(EPanel::Plugin);
    return;
  }
  // With the information shown, the file panel under it takes no keys.
  if (m_infoPanel && m_host.IsOpen() && key.Is(kVkTab)) return;
  if (m_host.Active() == EPanel::Files && FilePanelKey(key)) return;
  if (key.key != 0 && m_host.PressKey(key.key, key.controlState)) return;
  if (key.Is(kVkF12, PKF_CONTROL)) return SortMenu();
  MoveCursor(key);
}

// Folders on the file panel: the stand-in host lists them; going in and out is the host's.
bool CTuiApp::FilePanelKey(const CFarKey& key) {
  CPanel& panel = m_host.Panel(EPanel::Files);
  std::filesystem::path folder = panel.directory;
  std::string leaving;
  if (key.Is(kVkReturn)) {
    const CPanelItem* item = panel.CurrentItem();
    if (!item || !item->IsFolder()) return false;
    if (item->IsParent()) {
      leaving = folder.filename().string();
      folder = folder.parent_path();
    } else {
      folder /= item->name;
    }
  } else if (key.Is(kVkF3) || key.Is(kVkF4)) {
    // F3 views the file, F4 edits it; on a folder they do what they did before.
    const CPanelItem* item = panel.CurrentItem();
    if (!item || item->IsFolder()) return false;
    const std::string path = (folder / item->name).string();
    if (key.Is(kVkF3)) {
      std::string error;
      if (!ViewFile(m_terminal, path, error)) m_status = FileNameText(error);
    } else {
      EditFile(path);
    }
    return true;
  } else if (key.Is('R', PKF_CONTROL)) {
    // Ctrl+R reads the folder again, the cursor staying on its item.
    const CPanelItem* item = panel.CurrentItem();
    const std::string current = item ? item->name : std::string();
    // A copy: SetFolder starts the panel afresh, its folder with it.
    const std::string directory = panel.directory;
    if (m_host.SetFolder(directory)) m_host.Panel(EPanel::Files).SetCurrent(current);
    return true;
  } else if (key.Is(kVkPrior, PKF_CONTROL)) {
    if (folder.parent_path() == folder) return true;
    leaving = folder.filename().string();
    folder = folder.parent_path();
  } else {
    return false;
  }
  if (m_host.SetFolder(folder.lexically_normal().string()) && !leaving.empty())
    m_host.Panel(EPanel::Files).SetCurrent(leaving);
  return true;
}

// The user's editor has the terminal to itself; the panel is read again after it, which shows a
// file it saved under a new name, the cursor staying on the file edited.
void CTuiApp::EditFile(const std::string& path) {
  const std::string command = EditorCommand(std::getenv("VISUAL"), std::getenv("EDITOR"), path);
  m_terminal.Suspend();
  const int status = std::system(command.c_str());
  m_terminal.Resume();
  CPanel& panel = m_host.Panel(EPanel::Files);
  const std::string directory = panel.directory;
  const std::string current = std::filesystem::path(path).filename().string();
  if (m_host.SetFolder(directory)) m_host.Panel(EPanel::Files).SetCurrent(current);
  if (status != 0) m_status = L"The editor did not end cleanly: " + FileNameText(command);
}

bool CTuiApp::MoveCursor(const CFarKey& key) {
  const EPanel which = m_host.Active();
  if (which == EPanel::Plugin && !m_host.IsOpen()) return false;
  CPanel& panel = m_host.Panel(which);
  const int count = static_cast<int>(panel.Items().size());
  if (count == 0) return false;
  const int page = std::max(1, m_terminal.Height() - 7);
  const int current = panel.Current();
  const bool shift = key.controlState == PKF_SHIFT;
  if (shift && (key.key == kVkUp || key.key == kVkDown)) {
    if (const CPanelItem* item = panel.CurrentItem()) panel.Select(item->name, !item->selected);
  }
  if ((key.controlState == 0 || shift) && key.key == kVkUp)
    return panel.SetCurrent(std::max(0, current - 1));
  if ((key.controlState == 0 || shift) && key.key == kVkDown)
    return panel.SetCurrent(std::min(count - 1, current + 1));
  if (key.Is(kVkPrior)) return panel.SetCurrent(std::max(0, current - page));
  if (key.Is(kVkNext)) return panel.SetCurrent(std::min(count - 1, current + page));
  if (key.Is(kVkHome)) return panel.SetCurrent(0);
  if (key.Is(kVkEnd)) return panel.SetCurrent(count - 1);
  if (key.Is(kVkAdd) || key.Is(kVkSubtract)) {
    SelectByMask(which, key.key == kVkAdd);
    return true;
  }
  if (key.Is(kVkMultiply)) {
    for (const CPanelItem& item : std::vector<CPanelItem>(panel.Items()))
      panel.Select(item.name, !item.selected);
    return true;
  }
  return false;
}

// Far's Gray+ and Gray-: a mask (several joined by commas) asked for in a dialog of the
// host's own, then every item it matches selected or cleared.
void CTuiApp::SelectByMask(EPanel which, bool select) {
  std::vector<FarDialogItem> items(4);
  const auto place = [&](int index, int type, int x1, int y1, int x2, const char* text) {
    FarDialogItem& item = items[static_cast<size_t>(index)];
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y1;
    std::snprintf(item.Data, sizeof item.Data, "%s", text);
  };
  place(0, DI_DOUBLEBOX, 3, 1, 36, select ? "Select" : "Deselect");
  items[0].Y2 = 4;
  place(1, DI_EDIT, 5, 2, 34, "*.*");
  place(2, DI_BUTTON, 0, 3, 0, "OK");
  place(3, DI_BUTTON, 0, 3, 0, "Cancel");
  items[1].Focus = 1;
  items[1].Flags = DIF_HISTORY;
  items[1].History = "Masks";
  items[2].DefaultButton = 1;
  items[2].Flags = items[3].Flags = DIF_CENTERGROUP;
  std::vector<std::string> problems;
  const ShownDialog shown = ReadDialog("SelectFiles", -1, -1, 40, 6, items.data(), 4, problems);
  if (!problems.empty() || m_ui.Dialog(shown, items.data(), 4) != 2) return;
  std::vector<std::string> masks;
  const std::string masksText = items[1].Data;
  for (size_t start = 0; start <= masksText.size();) {
    const size_t comma = std::min(masksText.find(',', start), masksText.size());
    std::string mask = masksText.substr(start, comma - start);
    mask.erase(0, mask.find_first_not_of(' '));
    mask.erase(mask.find_last_not_of(' ') + 1);
    if (!mask.empty()) masks.push_back(mask);
    start = comma + 1;
  }
  const auto oneByte = [](std::string_view, size_t) -> size_t { return 1; };
  CPanel& panel = m_host.Panel(which);
  for (const CPanelItem& item : std::vector<CPanelItem>(panel.Items())) {
    for (const std::string& mask : masks) {
      if (Platform::MatchesFileName(mask, item.name, oneByte)) {
        panel.Select(item.name, select);
        break;
      }
    }
  }
}

// ---- menus of the host ----

// Far's Ctrl+F12: the modes of Ctrl+F3..F8; the one in force carries + or - for its order, and
// choosing it again turns the order round, as its key does.
void CTuiApp::SortMenu() {
  const EPanel which = m_host.Active();
  if (which == EPanel::Plugin && !m_host.IsOpen()) return;
  static const wchar_t* const kLabels[kSortKeyCount] = {
      L"&Name               Ctrl+F3", L"E&xtension          Ctrl+F4",
      L"&Modification time  Ctrl+F5", L"&Size               Ctrl+F6",
      L"&Unsorted           Ctrl+F7", L"&Creation time      Ctrl+F8"};
  CPanel& panel = m_host.Panel(which);
  const auto modeOf = [](int i) { return SortModeOfKey(kSortKeyFirst + i, PKF_CONTROL); };
  int current = -1;
  for (int i = 0; i < kSortKeyCount; ++i)
    if (modeOf(i) == panel.sortMode) current = i;
  const int chosen =
      m_ui.ChooseFrom(L"Sort by", std::vector<std::wstring>(kLabels, kLabels + kSortKeyCount),
                      current, panel.reverseOrder ? L'-' : L'+');
  if (chosen >= 0) panel.ChooseSortMode(modeOf(chosen));
}

void CTuiApp::DiskMenu() {
  const CPluginMenus menus = m_host.PluginMenus();
  std::vector<std::wstring> items;
  for (size_t i = 0; i < menus.diskMenu.size(); ++i) {
    const CMenuEntry& entry = menus.diskMenu[i];
    const int hot = entry.number >= 0 ? entry.number : static_cast<int>(i) + 1;
    items.push_back(L"&" + std::to_wstring(hot % 10) + L"  " + FromOem(entry.text));
  }
  if (items.empty()) {
    m_ui.Tell(L"Disk menu", {L"The plug-in puts nothing into the disk menu."}, false);
    return;
  }
  const int chosen = m_ui.ChooseFrom(L"Disk", items);
  if (chosen >= 0) OpenDiskItem(static_cast<size_t>(chosen));
}

void CTuiApp::OpenDiskItem(size_t index) {
  if (index >= m_host.PluginMenus().diskMenu.size()) {
    Say("The plug-in puts no such entry into the disk menu (Alt+F1 shows what it offers).");
    return;
  }
  // The panels stand behind whatever the plug-in shows while the phone answers.
  Draw();
  m_terminal.Show();
  if (!m_host.Open(OPEN_DISKMENU, static_cast<int>(index)) && !m_host.IsOpen())
    Say("The plug-in opened no panel.");
  if (!m_host.Failures().empty()) Say("host: " + m_host.Failures().back());
  m_host.ForgetRecords();
  m_ui.ForgetStandingBoxes();
}

void CTuiApp::PluginsMenu() {
  const CPluginMenus menus = m_host.PluginMenus();
  std::vector<std::wstring> items;
  for (const std::string& text : menus.pluginsMenu) items.push_back(FromOem(text));
  if (items.empty()) {
    m_ui.Tell(L"Plugins", {L"The plug-in puts nothing into the plug-ins menu."}, false);
    return;
  }
  const int chosen = m_ui.ChooseFrom(L"Plugins", items);
  if (chosen >= 0) m_host.Open(OPEN_PLUGINSMENU, chosen);
}

void CTuiApp::ConfigureMenu() {
  const CPluginMenus menus = m_host.PluginMenus();
  if (menus.configMenu.empty()) {
    m_ui.Tell(L"Configuration", {L"The plug-in has nothing to configure."}, false);
    return;
  }
  int chosen = 0;
  if (menus.configMenu.size() > 1) {
    std::vector<std::wstring> items;
    for (const std::string& text : menus.configMenu) items.push_back(FromOem(text));
    chosen = m_ui.ChooseFrom(L"Plugins configuration", items);
    if (chosen < 0) return;
  }
  m_host.Configure(chosen);
}

void CTuiApp::Help() {
  if (m_ui.ShowHelp("Contents")) return;
  m_ui.Tell(L"Help",
            {L"The plug-in has no help file here.", L"Keys: Alt+F1 disk menu, F11 plug-ins,",
             L"F9 configuration, Tab other panel, F5 copy, F6 move, F10 quit."},
            false);
}

}  // namespace Host::Tui

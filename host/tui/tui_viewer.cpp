#include "host/tui/tui_viewer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "host/text_view.h"

namespace Host::Tui {
namespace {

// A viewer holds the whole file; past this it shows the beginning and says so.
constexpr size_t kMostBytes = 32u << 20;

// The short name F8's label gives the page it switches to.
std::wstring ShortName(uint32_t codePage) {
  const std::wstring name = ViewerCodePageName(codePage);
  return name.substr(0, name.find(L' '));
}

void Draw(CTerminal& terminal, CTextView& view, const std::wstring& name, bool cut) {
  const int width = terminal.Width();
  const int height = terminal.Height();
  terminal.Clear();
  const int rows = std::max(0, height - 2);
  const std::vector<std::wstring> window = view.Window(rows);
  const int count = static_cast<int>(view.Lines().size());

  std::wstring where = ViewerCodePageName(view.CodePage()) + L"  Line " +
                       std::to_wstring(count == 0 ? 0 : view.Top() + 1) + L"/" +
                       std::to_wstring(count);
  const int last = view.Top() + static_cast<int>(window.size());
  where += L"  " + std::to_wstring(count == 0 ? 100 : last * 100 / count) + L"%";
  if (cut) where += L"  (the first " + std::to_wstring(kMostBytes >> 20) + L" MB)";
  where += L" ";
  const int whereWidth = std::min(width, TextWidth(where));
  terminal.Text(0, 0, width, L" " + name, EColor::ActiveTitle, true);
  terminal.Text(0, width - whereWidth, whereWidth, where, EColor::ActiveTitle);

  for (int row = 0; row < rows; ++row) {
    terminal.Fill(row + 1, 0, width, EColor::Panel);
    if (row < static_cast<int>(window.size()))
      terminal.Text(row + 1, 0, width, window[static_cast<size_t>(row)], EColor::Panel);
  }

  // Far's viewer key bar, with the keys this one has.
  std::vector<uint32_t> pages = ViewerCodePages();
  const auto current = std::find(pages.begin(), pages.end(), view.CodePage());
  const uint32_t next =
      current == pages.end() || current + 1 == pages.end() ? pages.front() : *(current + 1);
  const std::wstring labels[12] = {L"", L"",     L"Quit", L"", L"", L"", L"", ShortName(next),
                                   L"", L"Quit", L"",     L""};
  const int cell = std::max(1, width / 12);
  for (int i = 0; i < 12; ++i) {
    const int x = i * cell;
    if (x >= width) break;
    const int w = i == 11 ? width - x : cell;
    const std::wstring number = std::to_wstring(i + 1);
    const int numberWidth = static_cast<int>(number.size());
    terminal.Text(height - 1, x, w, number, EColor::KeyNumber);
    terminal.Text(height - 1, x + numberWidth, std::max(0, w - numberWidth - 1), labels[i],
                  EColor::KeyLabel, true);
  }
  terminal.Cursor(-1, -1);
  terminal.Show();
}

}  // namespace

bool ViewFile(CTerminal& terminal, const std::string& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "Cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  std::string bytes(kMostBytes + 1, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.bad()) {
    error = "Cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  bytes.resize(static_cast<size_t>(file.gcount()));
  const bool cut = bytes.size() > kMostBytes;
  if (cut) bytes.resize(kMostBytes);

  const uint32_t page = ViewerFirstCodePage(bytes);
  CTextView view(std::move(bytes), page);
  const std::wstring name = FileNameText(path);
  while (true) {
    Draw(terminal, view, name, cut);
    const CInput input = terminal.ReadKey();
    if (input.resized || !input.key) continue;
    const CFarKey& key = *input.key;
    const int rows = std::max(1, terminal.Height() - 2);
    if (key.Is(kVkF10) || key.Is(kVkEscape) || key.Is(kVkF3)) return true;
    if (key.Is(kVkF8)) view.NextCodePage();
    if (key.Is(kVkUp)) view.Move(EViewerMove::LineUp, rows);
    if (key.Is(kVkDown)) view.Move(EViewerMove::LineDown, rows);
    if (key.Is(kVkPrior)) view.Move(EViewerMove::PageUp, rows);
    if (key.Is(kVkNext)) view.Move(EViewerMove::PageDown, rows);
    if (key.Is(kVkHome) || key.Is(kVkPrior, PKF_CONTROL)) view.Move(EViewerMove::Start, rows);
    if (key.Is(kVkEnd) || key.Is(kVkNext, PKF_CONTROL)) view.Move(EViewerMove::End, rows);
  }
}

}  // namespace Host::Tui

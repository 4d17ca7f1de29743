#include "host/text_view.h"

#include <algorithm>

#include "platform/codepage.h"

namespace Host {
namespace {

constexpr size_t kTabStop = 8;

std::wstring Decode(std::string_view bytes, uint32_t codePage) {
  std::u16string wide;
  if (!Platform::MultiByteToWide(codePage, bytes, wide)) {
    std::wstring latin1;
    for (const char c : bytes)
      latin1.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return latin1;
  }
  std::wstring text;
  text.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    // Where wchar_t is UTF-16 itself (Windows) a surrogate pair stays two units.
    if (sizeof(wchar_t) >= 4 && c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() &&
        wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    text.push_back(static_cast<wchar_t>(c));
  }
  return text;
}

int Clamp(int top, int count, int height) {
  return std::max(0, std::min(top, count - std::max(1, height)));
}

}  // namespace

std::vector<uint32_t> ViewerCodePages() {
  return {Platform::OemCodePage(), Platform::AnsiCodePage(), kUtf8CodePage};
}

std::wstring ViewerCodePageName(uint32_t codePage) {
  if (codePage == kUtf8CodePage) return L"UTF-8";
  const std::wstring number = std::to_wstring(codePage);
  if (codePage == Platform::OemCodePage()) return L"OEM " + number;
  if (codePage == Platform::AnsiCodePage()) return L"ANSI " + number;
  return L"CP " + number;
}

uint32_t ViewerFirstCodePage(std::string_view bytes) {
  // Undecodable bytes come back as U+FFFD, whose bytes differ from them.
  std::u16string wide;
  std::string again;
  if (Platform::MultiByteToWide(kUtf8CodePage, bytes, wide) &&
      Platform::WideToMultiByte(kUtf8CodePage, wide, again) && again == bytes)
    return kUtf8CodePage;
  return Platform::OemCodePage();
}

std::vector<std::wstring> ViewerLines(std::string_view bytes, uint32_t codePage) {
  // Every page the viewer offers keeps CR, LF and tab as the ASCII bytes they are.
  const std::wstring text = Decode(bytes, codePage);
  std::vector<std::wstring> lines;
  std::wstring line;
  bool open = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      lines.push_back(std::move(line));
      line.clear();
      open = false;
      continue;
    }
    open = true;
    if (c == L'\t') {
      line.append(kTabStop - line.size() % kTabStop, L' ');
    } else {
      line.push_back(c);
    }
  }
  if (open) lines.push_back(std::move(line));
  return lines;
}

int ViewerTop(int top, EViewerMove move, int count, int height) {
  const int page = std::max(1, height);
  switch (move) {
    case EViewerMove::LineUp: top -= 1; break;
    case EViewerMove::LineDown: top += 1; break;
    case EViewerMove::PageUp: top -= page; break;
    case EViewerMove::PageDown: top += page; break;
    case EViewerMove::Start: top = 0; break;
    case EViewerMove::End: top = count; break;
  }
  return Clamp(top, count, height);
}

std::string EditorCommand(const char* visual, const char* editor, std::string_view path) {
  std::string command = visual && *visual ? visual : editor && *editor ? editor : "vi";
  command += " '";
  for (const char c : path) {
    if (c == '\'') {
      command += "'\\''";
    } else {
      command += c;
    }
  }
  return command + "'";
}

CTextView::CTextView(std::string bytes, uint32_t codePage)
    : m_bytes(std::move(bytes)), m_codePage(codePage), m_lines(ViewerLines(m_bytes, codePage)) {}

void CTextView::SetCodePage(uint32_t codePage) {
  m_codePage = codePage;
  m_lines = ViewerLines(m_bytes, codePage);
  m_top = std::min(m_top, std::max(0, static_cast<int>(m_lines.size()) - 1));
}

void CTextView::NextCodePage() {
  const std::vector<uint32_t> pages = ViewerCodePages();
  const auto found = std::find(pages.begin(), pages.end(), m_codePage);
  SetCodePage(found == pages.end() || found + 1 == pages.end() ? pages.front() : *(found + 1));
}

void CTextView::Move(EViewerMove move, int height) {
  m_top = ViewerTop(m_top, move, static_cast<int>(m_lines.size()), height);
}

std::vector<std::wstring> CTextView::Window(int height) {
  const int count = static_cast<int>(m_lines.size());
  m_top = Clamp(m_top, count, height);
  const int end = std::min(count, m_top + std::max(0, height));
  return {m_lines.begin() + m_top, m_lines.begin() + end};
}

}  // namespace Host

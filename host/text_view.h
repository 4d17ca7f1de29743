#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the terminal host's file viewer (F3) shows, without a screen: a file's bytes decoded in
// one of three code pages, split into lines, and the window of lines a scroll position shows.
namespace Host {

constexpr uint32_t kUtf8CodePage = 65001;

// The pages F8 goes round, as Windows numbers them: the host's OEM page, its ANSI page, UTF-8.
std::vector<uint32_t> ViewerCodePages();
// "OEM 866", "ANSI 1251", "UTF-8": a page of ViewerCodePages() as the title names it.
std::wstring ViewerCodePageName(uint32_t codePage);
// The page a file opens in: UTF-8 when all of it reads as UTF-8 (a text written on Linux), else
// the OEM page, as Far opens it.
uint32_t ViewerFirstCodePage(std::string_view bytes);

// The text's lines in the code page. Lines end at LF, CR LF or a lone CR; a line break at the
// end starts no empty line after it. Tabs stop every eight columns; bytes the page cannot decode
// show as its default character (U+FFFD for UTF-8).
std::vector<std::wstring> ViewerLines(std::string_view bytes, uint32_t codePage);

enum class EViewerMove { LineUp, LineDown, PageUp, PageDown, Start, End };

// The first line shown after the move, for `height` rows of text over `count` lines: the last
// page ends with the last line, and a text shorter than the screen never scrolls.
int ViewerTop(int top, EViewerMove move, int count, int height);

// The shell command F4 on the file panel runs: $VISUAL, else $EDITOR (either may carry its own
// arguments), else vi, with the file's path quoted for the shell. Null stands for unset.
std::string EditorCommand(const char* visual, const char* editor, std::string_view path);

class CTextView {
 public:
  CTextView(std::string bytes, uint32_t codePage);

  uint32_t CodePage() const { return m_codePage; }
  // Decodes the text again; the first line shown stays where it is, as far as the text reaches.
  void SetCodePage(uint32_t codePage);
  // F8: the page after the current one in ViewerCodePages().
  void NextCodePage();

  const std::vector<std::wstring>& Lines() const { return m_lines; }
  int Top() const { return m_top; }
  void Move(EViewerMove move, int height);
  // The lines `height` rows show; a window grown since the last move may pull the top back.
  std::vector<std::wstring> Window(int height);

 private:
  std::string m_bytes;
  uint32_t m_codePage;
  std::vector<std::wstring> m_lines;
  int m_top = 0;
};

}  // namespace Host

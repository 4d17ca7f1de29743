#include "host/text_view.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace Host {
namespace {

using Lines = std::vector<std::wstring>;

TEST(TextView, SplitsAndDecodesLinesPerCodePage) {
  const struct {
    std::string bytes;
    uint32_t page;
    Lines expected;
  } cases[] = {
      {"", 866, {}},
      {"one\ntwo\n", 866, {L"one", L"two"}},
      {"one\r\ntwo", 1251, {L"one", L"two"}},
      {"one\rtwo\n\n", 1252, {L"one", L"two", L""}},
      {"\n\r\n", 866, {L"", L""}},
      {"a\tb\n12345678\tc", 866, {L"a       b", L"12345678        c"}},
      // "Тест" in each page; the same bytes read otherwise in another.
      {"\x92\xA5\xE1\xE2", 866, {L"Тест"}},
      {"\xD2\xE5\xF1\xF2", 1251, {L"Тест"}},
      {"\xD2\xE5\xF1\xF2", 1252, {L"Òåñò"}},
      {"\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82\r\n\xE2\x82\xAC", kUtf8CodePage, {L"Тест", L"€"}},
      {"\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82", 866, {L"╨в╨╡╤Б╤В"}},
      // Bytes UTF-8 cannot read show as U+FFFD and the rest still reads.
      {"a\x92z\n\xF0\x9F\x98\x80", kUtf8CodePage, {L"a\uFFFDz", L"\U0001F600"}},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ViewerLines(test.bytes, test.page), test.expected)
        << "\"" << test.bytes << "\" in " << test.page;
  }
}

TEST(TextView, ScrollsWithinTheText) {
  const struct {
    int top;
    EViewerMove move;
    int count;
    int height;
    int expected;
  } cases[] = {
      {0, EViewerMove::LineDown, 100, 20, 1},
      {0, EViewerMove::LineUp, 100, 20, 0},
      {79, EViewerMove::LineDown, 100, 20, 80},
      {80, EViewerMove::LineDown, 100, 20, 80},
      {5, EViewerMove::PageDown, 100, 20, 25},
      {70, EViewerMove::PageDown, 100, 20, 80},
      {25, EViewerMove::PageUp, 100, 20, 5},
      {5, EViewerMove::PageUp, 100, 20, 0},
      {40, EViewerMove::Start, 100, 20, 0},
      {0, EViewerMove::End, 100, 20, 80},
      // Shorter than the screen, or empty: it stays at the top.
      {0, EViewerMove::End, 5, 20, 0},
      {0, EViewerMove::PageDown, 20, 20, 0},
      {0, EViewerMove::LineDown, 0, 20, 0},
      {0, EViewerMove::End, 21, 20, 1},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ViewerTop(test.top, test.move, test.count, test.height), test.expected)
        << "from " << test.top << " move " << static_cast<int>(test.move) << " over " << test.count
        << " lines, " << test.height << " rows";
  }
}

TEST(TextView, WindowFollowsTheScreenAndF8GoesRoundThePages) {
  std::string text;
  for (int i = 0; i < 10; ++i) text += "line " + std::to_string(i) + "\n";
  CTextView view(text, Platform::OemCodePage());
  view.Move(EViewerMove::End, 4);
  EXPECT_EQ(view.Top(), 6);
  EXPECT_EQ(view.Window(4), (Lines{L"line 6", L"line 7", L"line 8", L"line 9"}));
  // The window grows: the last page still ends with the last line.
  EXPECT_EQ(view.Window(6).front(), L"line 4");
  EXPECT_EQ(view.Window(30).size(), 10u);

  const std::vector<uint32_t> pages = ViewerCodePages();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages.back(), kUtf8CodePage);
  for (size_t i = 1; i <= pages.size(); ++i) {
    view.NextCodePage();
    EXPECT_EQ(view.CodePage(), pages[i % pages.size()]);
  }
  EXPECT_EQ(ViewerCodePageName(pages[0]), L"OEM " + std::to_wstring(pages[0]));
  EXPECT_EQ(ViewerCodePageName(pages[1]), L"ANSI " + std::to_wstring(pages[1]));
  EXPECT_EQ(ViewerCodePageName(kUtf8CodePage), L"UTF-8");

  // A file opens in UTF-8 only when all of it reads so.
  EXPECT_EQ(ViewerFirstCodePage("plain\n\xD0\xA2\xE2\x82\xAC"), kUtf8CodePage);
  EXPECT_EQ(ViewerFirstCodePage("\x92\xA5\xE1\xE2"), pages[0]);
  EXPECT_EQ(ViewerFirstCodePage("ok\xD0"), pages[0]);
}

// F4 hands the path to the shell: no name may break out of its quotes.
TEST(TextView, EditorCommandQuotesThePath) {
  const struct {
    const char* visual;
    const char* editor;
    std::string path;
    std::string expected;
  } cases[] = {
      {nullptr, nullptr, "/tmp/a b.txt", "vi '/tmp/a b.txt'"},
      {"", "nano -w", "/tmp/x", "nano -w '/tmp/x'"},
      {"code --wait", "nano", "/tmp/x", "code --wait '/tmp/x'"},
      {nullptr, nullptr, "/tmp/it's $(rm -rf ~);`x`", "vi '/tmp/it'\\''s $(rm -rf ~);`x`'"},
  };
  for (const auto& test : cases)
    EXPECT_EQ(EditorCommand(test.visual, test.editor, test.path), test.expected) << test.path;
}

}  // namespace
}  // namespace Host

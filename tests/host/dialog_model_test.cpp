#include "host/dialog_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/record_reader.h"

namespace Host {
namespace {

FarDialogItem Item(int type, const char* data, FarDword flags = 0, int focus = 0) {
  FarDialogItem item{};
  item.Type = type;
  item.X1 = 2;
  item.X2 = 30;
  item.Flags = flags;
  item.Focus = focus;
  std::strcpy(item.Data, data);
  return item;
}

// The entry dialog: two labelled edits (the number's variable buffer holds 5 characters), a
// check box, a default OK and a Cancel.
std::vector<FarDialogItem> EntryDialog() {
  std::vector<FarDialogItem> items = {Item(DI_DOUBLEBOX, "New"),       Item(DI_TEXT, "&Name:"),
                                      Item(DI_EDIT, "", 0, 1),         Item(DI_TEXT, "N&umber:"),
                                      Item(DI_EDIT, "+", DIF_VAREDIT), Item(DI_CHECKBOX, "&Index"),
                                      Item(DI_BUTTON, "OK"),           Item(DI_BUTTON, "&Cancel")};
  items[6].DefaultButton = 1;
  return items;
}

std::vector<FarDialogItem> RadioDialog() {
  std::vector<FarDialogItem> items = {Item(DI_RADIOBUTTON, "&Text", DIF_GROUP),
                                      Item(DI_RADIOBUTTON, "CS&V"),
                                      Item(DI_RADIOBUTTON, "v&Card"),
                                      Item(DI_RADIOBUTTON, "&X", DIF_GROUP),
                                      Item(DI_RADIOBUTTON, "&Y"),
                                      Item(DI_BUTTON, "Go")};
  items[0].Selected = 1;
  items[3].Selected = 1;
  return items;
}

// Three lines of a multi-line edit, a read-only edit, a button; no default button.
std::vector<FarDialogItem> EditorDialogWith(const char* third) {
  return {Item(DI_EDIT, "first line", DIF_EDITOR, 1), Item(DI_EDIT, "second", DIF_EDITOR),
          Item(DI_EDIT, third, DIF_EDITOR), Item(DI_EDIT, "ro", DIF_READONLY),
          Item(DI_BUTTON, "OK")};
}

std::vector<FarDialogItem> EditorDialog() { return EditorDialogWith(""); }
std::vector<FarDialogItem> FullEditorDialog() { return EditorDialogWith("third"); }

CFarKey K(int vk, unsigned int state = 0) { return CFarKey{vk, state, 0}; }

std::vector<CFarKey> Typed(const std::u32string& text) {
  std::vector<CFarKey> keys;
  for (const char32_t c : text) keys.push_back(*TranslateTerminalKey("", c, false));
  return keys;
}

std::vector<CFarKey> Join(std::initializer_list<std::vector<CFarKey>> parts) {
  std::vector<CFarKey> keys;
  for (const auto& part : parts) keys.insert(keys.end(), part.begin(), part.end());
  return keys;
}

// The records after the close: "[i]=text" for edits, "[i]:state" for boxes and buttons' groups.
std::string Written(const std::vector<FarDialogItem>& items, std::vector<char>& buffer) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    const FarDialogItem& item = items[i];
    if (IsEditItem(item)) {
      const char* data = (item.Flags & DIF_VAREDIT) ? item.Ptr.PtrData : item.Data;
      text += "[" + std::to_string(i) + "]=" + data + " ";
    } else if (item.Type == DI_CHECKBOX || item.Type == DI_RADIOBUTTON) {
      text += "[" + std::to_string(i) + "]:" + std::to_string(item.Selected) + " ";
    }
  }
  (void)buffer;
  return text;
}

TEST(DialogModel, KeysWorkTheDialogAsFarDoes) {
  struct Case {
    const char* what;
    std::vector<FarDialogItem> (*dialog)();
    std::vector<CFarKey> keys;
    int result;
    std::string written;
  };
  const Case cases[] = {
      {"typing and Enter close on the default button; a full edit (5 characters in its buffer) takes no more",
       EntryDialog,
       Join({Typed(U"Ann"),
             {K(kVkTab)},
             Typed(U"4477009"),
             {K(kVkHome)},
             Typed(U"9"),
             {K(kVkReturn)}}),
       6, "[2]=Ann [4]=+4477 [5]:0 "},
      {"Esc cancels; what was typed is written back all the same", EntryDialog,
       Join({Typed(U"Bob"), {K(kVkEscape)}}), -1, "[2]=Bob [4]=+ [5]:0 "},
      {"Enter on a button closes with it",
       EntryDialog,
       {K(kVkTab), K(kVkTab), K(kVkTab), K(kVkTab), K(kVkReturn)},
       7,
       "[2]= [4]=+ [5]:0 "},
      {"Shift+Tab wraps round to the last button",
       EntryDialog,
       {K(kVkTab, PKF_SHIFT), K(kVkReturn)},
       7,
       "[2]= [4]=+ [5]:0 "},
      {"a label's Alt hot key focuses the edit after it", EntryDialog,
       Join({{K('U', PKF_ALT), K(kVkBack)}, Typed(U"12"), {K(kVkReturn)}}), 6,
       "[2]= [4]=12 [5]:0 "},
      {"in an edit a letter is text, not a hot key", EntryDialog,
       Join({Typed(U"cI"), {K(kVkReturn)}}), 6, "[2]=cI [4]=+ [5]:0 "},
      {"Space and the Alt hot key tick the check box",
       EntryDialog,
       {K('I', PKF_ALT), K(kVkSpace), K(kVkSpace), K(kVkReturn)},
       6,
       "[2]= [4]=+ [5]:1 "},
      {"cursor keys and Delete edit inside the text", EntryDialog,
       Join({Typed(U"abcd"),
             {K(kVkHome), K(kVkRight), K(kVkDelete), K(kVkEnd), K(kVkLeft)},
             Typed(U"X"),
             {K(kVkReturn)}}),
       6, "[2]=acXd [4]=+ [5]:0 "},
      {"a character the OEM page lacks is refused, not stored as ?", EntryDialog,
       Join({Typed(U"a中b"), {K(kVkReturn)}}), 6, "[2]=ab [4]=+ [5]:0 "},
      {"a radio button picked with Space clears the others of its group only",
       RadioDialog,
       {K(kVkDown), K(kVkSpace), K(kVkTab, PKF_SHIFT), K(kVkTab, PKF_SHIFT), K(kVkEscape)},
       -1,
       "[0]:0 [1]:1 [2]:0 [3]:1 [4]:0 "},
      {"a plain letter is a hot key where no edit has the focus", RadioDialog,
       Join({Typed(U"c"), Typed(U"y"), {K(kVkReturn)}}), 4, "[0]:0 [1]:0 [2]:1 [3]:0 [4]:1 "},
      {"Enter at a line's end opens an empty line below, pushing the rest down", EditorDialog,
       Join({{K(kVkReturn)}, Typed(U"new")}), -1, "[0]=first line [1]=new [2]=second [3]=ro "},
      {"Enter inside a line breaks it",
       EditorDialog,
       {K(kVkHome), K(kVkRight), K(kVkRight), K(kVkRight), K(kVkRight), K(kVkRight), K(kVkReturn)},
       -1,
       "[0]=first [1]= line [2]=second [3]=ro "},
      {"Backspace at a line's start joins it to the line above",
       EditorDialog,
       {K(kVkDown), K(kVkHome), K(kVkBack), K(kVkBack)},
       -1,
       "[0]=first linsecond [1]= [2]= [3]=ro "},
      {"the read-only edit moves its cursor but takes no text", EditorDialog,
       Join({{K(kVkUp), K(kVkUp), K(kVkBack), K(kVkDelete), K(kVkHome)}, Typed(U"z")}), -1,
       "[0]=first line [1]=second [2]= [3]=ro "},
      {"Enter with no default button closes on the focused item",
       EditorDialog,
       {K(kVkUp), K(kVkUp), K(kVkReturn)},
       3,
       "[0]=first line [1]=second [2]= [3]=ro "},
      {"with the last line taken, Enter only moves down and loses nothing",
       FullEditorDialog,
       {K(kVkReturn), K(kVkReturn), K(kVkReturn)},
       -1,
       "[0]=first line [1]=second [2]=third [3]=ro "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<FarDialogItem> items = c.dialog();
    char buffer[6] = "+";
    for (FarDialogItem& item : items) {
      if (item.Flags & DIF_VAREDIT) {
        std::memset(item.Data, 0, sizeof item.Data);
        item.Ptr.PtrData = buffer;
        item.Ptr.PtrLength = sizeof buffer;
      }
    }
    std::vector<std::string> problems;
    const ShownDialog shown =
        ReadDialog("Topic", -1, -1, 40, 12, items.data(), static_cast<int>(items.size()), problems);
    ASSERT_TRUE(problems.empty()) << problems.front();
    CDialogHistory history;
    CDialogModel model(shown, history);
    int result = CDialogModel::kStay;
    for (const CFarKey& key : c.keys) {
      ASSERT_EQ(result, CDialogModel::kStay) << "closed before its last key";
      result = model.Press(key);
    }
    if (result == CDialogModel::kStay) result = model.Press(K(kVkEscape));
    EXPECT_EQ(result, c.result);
    model.Finish(result, items.data(), history);
    std::vector<char> unused;
    EXPECT_EQ(Written(items, unused), c.written);
  }
}

// An edit's history keeps what was confirmed, newest first and once each; a dialog asking for
// the last one starts with it; a cancelled dialog adds nothing.
TEST(DialogModel, HistoryKeepsConfirmedTexts) {
  CDialogHistory history;
  const auto run = [&](const char* initial, FarDword flags, const std::u32string& typed,
                       const CFarKey& close) {
    std::vector<FarDialogItem> items = {Item(DI_EDIT, initial, DIF_HISTORY | flags, 1),
                                        Item(DI_BUTTON, "OK")};
    items[0].History = "Names";
    items[1].DefaultButton = 1;
    std::vector<std::string> problems;
    const ShownDialog shown = ReadDialog("Topic", -1, -1, 40, 8, items.data(), 2, problems);
    CDialogModel model(shown, history);
    EXPECT_EQ(model.HistoryWanted(K(kVkDown, PKF_CONTROL)), std::optional<std::string>("Names"));
    EXPECT_FALSE(model.HistoryWanted(K(kVkDown)));
    int result = CDialogModel::kStay;
    for (const CFarKey& key : Typed(typed)) result = model.Press(key);
    result = model.Press(close);
    model.Finish(result, items.data(), history);
    return std::string(items[0].Data);
  };
  run("", 0, U"Anna", K(kVkReturn));
  run("", 0, U"Bob", K(kVkReturn));
  run("", 0, U"Anna", K(kVkReturn));
  run("", 0, U"Carl", K(kVkEscape));
  EXPECT_EQ(history["Names"], (std::vector<std::wstring>{L"Anna", L"Bob"}));
  EXPECT_EQ(run("", DIF_USELASTHISTORY, U"!", K(kVkReturn)), "Anna!");
  EXPECT_EQ(run("given", DIF_USELASTHISTORY, U"", K(kVkEscape)), "given");
  run("", DIF_MANUALADDHISTORY, U"Dora", K(kVkReturn));
  EXPECT_EQ(history["Names"], (std::vector<std::wstring>{L"Anna!", L"Anna", L"Bob"}));
}

}  // namespace
}  // namespace Host

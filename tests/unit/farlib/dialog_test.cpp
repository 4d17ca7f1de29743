#include "farlib/ui/dialog.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_host.h"
#include "farlib/host.h"
#include "farlib/message_ids.h"

namespace {

using FarLib::CFarCheckBoxItem;
using FarLib::CFarDialog;
using FarLib::CFarEditItem;
using FarLib::CFarIntegerRangeValidator;
using FarLib::CFarIntegerStorage;
using FarLib::CFarRadioButtonItem;
using FarLib::CFarTextItem;
using FarLib::CFarTextStorage;

struct FrameCase {
  int width;
  int height;
  int frameRight;
  int frameBottom;
  int buttonRow;
};

void PrintTo(const FrameCase& c, std::ostream* out) { *out << c.width << "x" << c.height; }

class DialogFrame : public testing::TestWithParam<FrameCase> {};

TEST_P(DialogFrame, FrameAndButtonsFollowTheSize) {
  const FrameCase& c = GetParam();
  CFakeHost host;
  host.AnswerDialog("SizeDlg").Escape();
  CFarDialog dialog(c.width, c.height, "SizeDlg");
  dialog.AddFrame(Msg::kTitle);
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  dialog.Run();
  ASSERT_EQ(host.Dialogs().size(), 1u);
  const Host::ShownDialog& shown = host.Dialogs()[0];
  EXPECT_EQ(std::vector<int>({shown.x1, shown.y1, shown.x2, shown.y2}),
            std::vector<int>({-1, -1, c.width, c.height}));
  ASSERT_EQ(shown.items.size(), 3u);
  const Host::ShownDialogItem& frame = shown.items[0];
  EXPECT_EQ(frame.type, DI_DOUBLEBOX);
  EXPECT_EQ(std::vector<int>({frame.x1, frame.y1, frame.x2, frame.y2}),
            std::vector<int>({3, 1, c.frameRight, c.frameBottom}));
  EXPECT_EQ(frame.data, "Zantel");
  for (int i : {1, 2}) {
    const Host::ShownDialogItem& button = shown.items[static_cast<size_t>(i)];
    EXPECT_EQ(button.type, DI_BUTTON);
    EXPECT_EQ(button.y1, c.buttonRow);
    EXPECT_EQ(button.flags, DIF_CENTERGROUP);
    EXPECT_EQ(button.defaultButton, i == 1 ? 1 : 0);
  }
  EXPECT_EQ(shown.items[1].data, "OK");
  EXPECT_EQ(shown.items[2].data, "Cancel");
  EXPECT_EQ(shown.items[0].focus, 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DialogFrame,
                         testing::Values(FrameCase{60, 9, 56, 7, 5}, FrameCase{70, 19, 66, 17, 15},
                                         FrameCase{67, 25, 63, 23, 21}));

// A frame, an edit, a "Port" button, OK and Cancel: items 0 to 4.
struct ExitCase {
  const char* name;
  std::optional<std::vector<int>> exitItems;
  int closeWith;  // -1: Escape
  int result;
  bool stored;
};

void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.name; }

class DialogExit : public testing::TestWithParam<ExitCase> {};

TEST_P(DialogExit, StoresOnlyWhenAnExitItemCloses) {
  const ExitCase& c = GetParam();
  CFakeHost host;
  Host::CDialogAnswer& answer = host.AnswerDialog("ExitDlg").SetText(1, "typed");
  if (c.closeWith < 0) answer.Escape();
  else answer.Close(c.closeWith);
  std::string value = "before";
  CFarDialog dialog(60, 10, "ExitDlg");
  dialog.AddFrame();
  dialog.Add<CFarEditItem>(5, 3, 40, 0, "", CFarTextStorage(value));
  dialog.Add<FarLib::CFarButtonItem>(45, 3, 0, false, "Port");
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  const int result =
      c.exitItems ? dialog.Run({(*c.exitItems)[0], (*c.exitItems)[1]}) : dialog.Run();
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(value, c.stored ? "typed" : "before");
}

INSTANTIATE_TEST_SUITE_P(
    Exits, DialogExit,
    testing::Values(ExitCase{"DefaultOk", std::nullopt, 3, 0, true},
                    ExitCase{"DefaultCancelGivesLastItem", std::nullopt, 4, 4, false},
                    ExitCase{"DefaultEscape", std::nullopt, -1, -1, false},
                    ExitCase{"DefaultOtherButton", std::nullopt, 2, 2, false},
                    ExitCase{"ListFirst", std::vector<int>{3, 2}, 3, 0, true},
                    ExitCase{"ListSecond", std::vector<int>{3, 2}, 2, 1, true},
                    ExitCase{"ListOutside", std::vector<int>{3, 2}, 4, -1, false},
                    ExitCase{"ListEscape", std::vector<int>{3, 2}, -1, -1, false},
                    ExitCase{"ListCountsFromTheEnd", std::vector<int>{-1, -2}, 3, 1, true}),
    [](const testing::TestParamInfo<ExitCase>& info) { return info.param.name; });

TEST(Dialog, RefusedIntegerReopensWithFocusAndInputKept) {
  CFakeHost host;
  host.AnswerDialog("PortDlg").SetText(1, "Bob").SetText(2, "abc").Close(3);
  host.AnswerDialog("PortDlg").SetText(2, "7").Close(3);
  std::string name = "Al";
  int32_t port = 1;
  CFarDialog dialog(60, 10, "PortDlg");
  dialog.AddFrame();
  dialog.Add<CFarEditItem>(5, 3, 40, 0, "Zantel.Name", CFarTextStorage(name));
  dialog.Add<CFarEditItem>(5, 4, 10, 0, "", CFarIntegerStorage(port));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  dialog.SetFocus(1);
  EXPECT_EQ(dialog.Run(), 0);
  ASSERT_EQ(host.Dialogs().size(), 2u);
  EXPECT_EQ(host.Dialogs()[0].items[1].focus, 1);
  const Host::ShownDialog& again = host.Dialogs()[1];
  std::vector<int> focus;
  for (const Host::ShownDialogItem& item : again.items) focus.push_back(item.focus);
  EXPECT_EQ(focus, (std::vector<int>{0, 0, 1, 0, 0}));
  EXPECT_EQ(again.items[1].data, "Bob");
  EXPECT_EQ(again.items[2].data, "abc");
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_EQ(name, "Bob");
  EXPECT_EQ(port, 7);
}

TEST(Dialog, RangeValidatorExplainsAndReopens) {
  CFakeHost host;
  host.AnswerDialog("PortConfigDlg").SetText(1, "9").Close(2);
  host.AnswerMessage(0).Topic("OutOfRangeError");
  host.AnswerDialog("PortConfigDlg").SetText(1, "8").Close(2);
  int32_t port = 1;
  CFarDialog dialog(60, 9, "PortConfigDlg");
  dialog.AddFrame();
  dialog.Add<CFarEditItem>(20, 3, 24, 0, "", CFarIntegerStorage(port),
                           std::make_unique<CFarIntegerRangeValidator>(1, 8, "OutOfRangeError"));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  EXPECT_EQ(dialog.Run(), 0);
  EXPECT_EQ(port, 8);
  EXPECT_EQ(host.Log(), (std::vector<std::string>{"dialog \"PortConfigDlg\" -> 2",
                                                  "message \"OutOfRangeError\" -> 0",
                                                  "dialog \"PortConfigDlg\" -> 2"}));
  EXPECT_EQ(host.Messages()[0].items,
            (std::vector<std::string>{"Zantel", "Enter a number from 1 to 8", "OK"}));
  EXPECT_EQ(host.Dialogs()[1].items[1].focus, 1);
  EXPECT_EQ(host.Dialogs()[1].items[1].data, "9");
}

TEST(Dialog, CancelAfterRefusalStoresNothing) {
  CFakeHost host;
  host.AnswerDialog("Dlg").SetText(1, "x").SetText(2, "zz").Close(3);
  host.AnswerDialog("Dlg").Close(4);
  std::string text = "t";
  uint8_t bits = 3;
  CFarDialog dialog(60, 9, "Dlg");
  dialog.AddFrame();
  dialog.Add<CFarEditItem>(5, 3, 20, 0, "", CFarTextStorage(text));
  dialog.Add<CFarEditItem>(5, 4, 20, 0, "", CFarIntegerStorage(bits, FarLib::HexFormat()));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  EXPECT_EQ(dialog.Run(), 4);
  EXPECT_EQ(host.Dialogs()[0].items[2].data, "3");
  EXPECT_EQ(text, "t");
  EXPECT_EQ(bits, 3);
}

// Four check boxes on the bits 1, 2, 4 and 8 of one integer.
struct BitsCase {
  const char* name;
  uint32_t before;
  std::vector<int> shown;
  std::vector<int> set;  // the state the user leaves each box in
  uint32_t after;
};

void PrintTo(const BitsCase& c, std::ostream* out) { *out << c.name; }

class DialogBits : public testing::TestWithParam<BitsCase> {};

TEST_P(DialogBits, CheckBoxesChangeOnlyTheirBits) {
  const BitsCase& c = GetParam();
  CFakeHost host;
  Host::CDialogAnswer& answer = host.AnswerDialog("InfoConfigDlg");
  for (int i = 0; i < 4; ++i) answer.SetSelected(i + 1, c.set[static_cast<size_t>(i)]);
  answer.PressEnter();
  uint32_t flags = c.before;
  CFarDialog dialog(70, 19, "InfoConfigDlg");
  dialog.AddFrame();
  const CFarIntegerStorage storage(flags);
  int row = 10;
  for (FarDword mask : {1u, 2u, 4u, 8u})
    dialog.Add<CFarCheckBoxItem>(5, row++, 0, "bit", storage, mask);
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  EXPECT_EQ(dialog.Run(), 0);
  std::vector<int> shown;
  for (int i = 1; i <= 4; ++i)
    shown.push_back(host.Dialogs()[0].items[static_cast<size_t>(i)].selected);
  EXPECT_EQ(shown, c.shown);
  EXPECT_EQ(flags, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Bits, DialogBits,
    testing::Values(BitsCase{"Unchanged", 0xA5, {1, 0, 1, 0}, {1, 0, 1, 0}, 0xA5},
                    BitsCase{"SwapLowBits", 0xA5, {1, 0, 1, 0}, {0, 1, 1, 0}, 0xA6},
                    BitsCase{"AllOn", 0xFFFF0000, {0, 0, 0, 0}, {1, 1, 1, 1}, 0xFFFF000F},
                    BitsCase{"AllOff", 0x7, {1, 1, 1, 0}, {0, 0, 0, 0}, 0x0}),
    [](const testing::TestParamInfo<BitsCase>& info) { return info.param.name; });

class DialogRadio : public testing::TestWithParam<int> {};

TEST_P(DialogRadio, GroupStoresTheSelectedValue) {
  CFakeHost host;
  host.AnswerDialog("InfoConfigDlg").SetSelected(1 + GetParam()).PressEnter();
  uint8_t special = 1;
  CFarDialog dialog(70, 19, "InfoConfigDlg");
  dialog.AddFrame();
  const CFarIntegerStorage storage(special);
  dialog.Add<CFarRadioButtonItem>(5, 6, DIF_GROUP, "none", storage, 0);
  dialog.Add<CFarRadioButtonItem>(5, 7, 0, "some", storage, 1);
  dialog.Add<CFarRadioButtonItem>(5, 8, 0, "all", storage, 2);
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  EXPECT_EQ(dialog.Run(), 0);
  const Host::ShownDialog& shown = host.Dialogs()[0];
  EXPECT_EQ(
      (std::vector<int>{shown.items[1].selected, shown.items[2].selected, shown.items[3].selected}),
      (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(shown.items[1].flags, DIF_GROUP);
  EXPECT_EQ(special, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Values, DialogRadio, testing::Values(0, 1, 2));

TEST(Dialog, CheckBoxOnABoolean) {
  CFakeHost host;
  host.AnswerDialog("Dlg").SetSelected(1, 0).SetSelected(2, 1).Close(3);
  bool on = true;
  bool off = false;
  CFarDialog dialog(60, 9, "Dlg");
  dialog.AddFrame();
  dialog.Add<CFarCheckBoxItem>(5, 3, 0, "on", on);
  dialog.Add<CFarCheckBoxItem>(5, 4, 0, "off", off);
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  EXPECT_EQ(dialog.Run(), 0);
  EXPECT_EQ(host.Dialogs()[0].items[1].selected, 1);
  EXPECT_FALSE(on);
  EXPECT_TRUE(off);
}

TEST(Dialog, EditCarriesHistoryAndType) {
  CFakeHost host;
  host.AnswerDialog("Dlg").Escape();
  std::string phone = "+49";
  std::string secret;
  CFarDialog dialog(60, 9, "Dlg");
  dialog.Add<CFarEditItem>(25, 5, 53, 0, "Zantel.Phone", CFarTextStorage(phone));
  dialog.Add<CFarEditItem>(25, 6, 53, 0, "", CFarTextStorage(secret), nullptr, DI_PSWEDIT);
  dialog.Run();
  const Host::ShownDialog& shown = host.Dialogs()[0];
  EXPECT_EQ(shown.items[0].type, DI_EDIT);
  EXPECT_EQ(shown.items[0].flags, DIF_HISTORY);
  EXPECT_EQ(shown.items[0].history, "Zantel.Phone");
  EXPECT_EQ(shown.items[0].data, "+49");
  EXPECT_EQ(std::vector<int>({shown.items[0].x1, shown.items[0].y1, shown.items[0].x2}),
            std::vector<int>({25, 5, 53}));
  EXPECT_EQ(shown.items[1].type, DI_PSWEDIT);
  EXPECT_EQ(shown.items[1].flags, 0u);
  EXPECT_FALSE(shown.items[1].history.has_value());
}

TEST(Dialog, VariableBufferEditHoldsLongTexts) {
  CFakeHost host;
  const std::string typed(2000, 'z');
  host.AnswerDialog("Dlg").SetText(1, typed).Close(2);
  std::string text(1000, 'a');
  CFarDialog dialog(60, 9, "Dlg");
  dialog.AddFrame();
  dialog.Add<CFarEditItem>(5, 3, 50, DIF_VAREDIT, "", CFarTextStorage(text));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  EXPECT_EQ(dialog.Run(), 0);
  const Host::ShownDialogItem& shown = host.Dialogs()[0].items[1];
  EXPECT_EQ(shown.varLength, 65520);
  EXPECT_EQ(shown.data, std::string(1000, 'a'));
  EXPECT_EQ(text, typed);
}

TEST(Dialog, LongTextsAreCutToTheRecord) {
  CFakeHost host;
  host.AnswerDialog("Dlg").Close(2);
  std::string text(700, 'e');
  CFarDialog dialog(60, 9, "Dlg");
  dialog.Add<CFarTextItem>(5, 2, 0, std::string(600, 't'));
  dialog.Add<CFarEditItem>(5, 3, 50, 0, "", CFarTextStorage(text));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  EXPECT_EQ(dialog.Run(), 0);
  EXPECT_EQ(host.Dialogs()[0].items[0].data, std::string(511, 't'));
  EXPECT_EQ(host.Dialogs()[0].items[0].x2, 0);
  EXPECT_EQ(text, std::string(511, 'e'));
}

struct FocusCase {
  int setFocus;
  int focused;
};

void PrintTo(const FocusCase& c, std::ostream* out) { *out << c.setFocus; }

class DialogFocus : public testing::TestWithParam<FocusCase> {};

TEST_P(DialogFocus, NegativeIndexCountsFromTheEnd) {
  CFakeHost host;
  host.AnswerDialog("Dlg").Escape();
  CFarDialog dialog(60, 9, "Dlg");
  dialog.AddFrame();
  dialog.Add<CFarTextItem>(5, 3, 0, "label");
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  dialog.SetFocus(GetParam().setFocus);
  dialog.Run();
  std::vector<int> focus;
  for (const Host::ShownDialogItem& item : host.Dialogs()[0].items) focus.push_back(item.focus);
  std::vector<int> expected(4, 0);
  if (GetParam().focused >= 0) expected[static_cast<size_t>(GetParam().focused)] = 1;
  EXPECT_EQ(focus, expected);
}

INSTANTIATE_TEST_SUITE_P(Indexes, DialogFocus,
                         testing::Values(FocusCase{0, 0}, FocusCase{1, 1}, FocusCase{-2, 2},
                                         FocusCase{-1, 3}, FocusCase{4, -1}));

TEST(Dialog, WithoutHostDialogNothingRuns) {
  FarLib::SetStartupInfo(PluginStartupInfo{});
  std::string text = "kept";
  CFarDialog dialog(60, 9, "Dlg");
  dialog.Add<CFarEditItem>(5, 3, 50, 0, "", CFarTextStorage(text));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  EXPECT_EQ(dialog.Run(), -1);
  EXPECT_EQ(text, "kept");
}

}  // namespace

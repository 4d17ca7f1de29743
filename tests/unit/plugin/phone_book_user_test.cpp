#include "plugin/phone_book_user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"

namespace {

// Items of the create dialog: 0 frame, 1 index label or check box, 2 index, 3 name label,
// 4 name, 5 number label, 6 number, 7 OK, 8 Cancel.
constexpr int kGiveIndex = 1;
constexpr int kIndexField = 2;
constexpr int kNameField = 4;
constexpr int kCreateOk = 7;

PhoneBookStorage Storage() {
  PhoneBookStorage storage("SM");
  storage.MaxIndex = 9;
  storage.MaxNameLength = 8;
  return storage;
}

TEST(PhoneBookUser, CreateDialogShowsTheProposal) {
  CFakeHost host;
  host.AnswerDialog("CreateItemDlg").SetText(kNameField, "Ivan").Close(kCreateOk);
  CHostPhoneBookUser user(nullptr);
  PhoneBookEntry entry;
  entry.Number = "+79001234567";
  int32_t index = 3;

  EXPECT_TRUE(user.AskNewEntry(entry, index, nullptr, Storage()));

  EXPECT_EQ(entry.Name, "Ivan");
  const Host::ShownDialog& shown = host.Dialogs().at(0);
  EXPECT_EQ(std::vector<int>({shown.x2, shown.y2}), std::vector<int>({60, 11}));
  ASSERT_EQ(shown.items.size(), 9u);
  EXPECT_EQ(shown.items[kGiveIndex].type, DI_TEXT);
  EXPECT_EQ(shown.items[kIndexField].data, "3");
  EXPECT_EQ(std::vector<int>({shown.items[kIndexField].x1, shown.items[kIndexField].x2}),
            std::vector<int>({25, 29}));
  EXPECT_EQ(shown.items[kNameField].history, "Zantel.Name");
  EXPECT_EQ(shown.items[kNameField].focus, 1);
  EXPECT_EQ(shown.items[6].data, "+79001234567");
  EXPECT_EQ(shown.items[6].history, "Zantel.Phone");
  EXPECT_EQ(shown.items[kCreateOk].y1, 7);
}

// A name longer than the storage takes is cut only by the first button of the question.
TEST(PhoneBookUser, LongNameIsCutOnlyByTheFirstButton) {
  for (const int answer : {0, 1}) {
    SCOPED_TRACE(answer);
    CFakeHost host;
    host.AnswerDialog("CreateItemDlg").SetText(kNameField, "Anna").Close(kCreateOk);
    host.AnswerMessage(answer).Topic("NameTooLongError");
    if (answer != 0) host.AnswerDialog("CreateItemDlg").Escape();
    CHostPhoneBookUser user(nullptr);
    PhoneBookStorage storage = Storage();
    storage.MaxNameLength = 3;
    PhoneBookEntry entry;
    int32_t index = 1;
    bool giveIndex = false;

    EXPECT_EQ(user.AskNewEntry(entry, index, &giveIndex, storage), answer == 0);

    if (answer == 0) {
      EXPECT_EQ(entry.Name, "Ann");
    }
    EXPECT_EQ(host.Messages().at(0).items.at(1), "message 181");
  }
}

TEST(PhoneBookUser, QuestionsAnswerByButton) {
  using Choice = CPhoneBookUser::TakenIndexChoice;
  // The taken-index box has four buttons, the delete box two; -1 is Escape.
  const struct {
    int button;
    Choice choice;
    int deleteButton;
    bool deleteConfirmed;
  } cases[] = {{0, Choice::Exchange, 0, true},
               {1, Choice::Shift, 1, false},
               {2, Choice::Overwrite, -1, false},
               {3, Choice::Cancel, 1, false},
               {-1, Choice::Cancel, -1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    CFakeHost host;
    host.SetMessageText(104, "Delete %d entries?");
    host.AnswerMessage(c.button).Topic("DestinationOccupied");
    host.AnswerMessage(c.deleteButton).Topic("DeleteNumbers");
    host.AnswerMessage(c.deleteButton).Topic("DeleteNumbers");
    CHostPhoneBookUser user(nullptr);

    EXPECT_EQ(user.AskWhenTaken(5), c.choice);
    EXPECT_EQ(user.ConfirmDelete(1), c.deleteConfirmed);
    EXPECT_EQ(user.ConfirmDelete(3), c.deleteConfirmed);

    ASSERT_EQ(host.Messages().size(), 3u);
    EXPECT_EQ(host.Messages()[0].buttons, 4);
    EXPECT_EQ(host.Messages()[1].items.at(1), "message 103");
    EXPECT_EQ(host.Messages()[2].items.at(1), "Delete 3 entries?");
  }
}

TEST(PhoneBookUser, CannotSendNamesTheSetThatCould) {
  CFakeHost host;
  host.SetMessageText(207, "%s can");
  host.AnswerEveryMessage(0);
  CHostPhoneBookUser user(nullptr);
  user.TellCannotSend("");
  user.TellCannotSend("UCS2");
  ASSERT_EQ(host.Messages().size(), 2u);
  EXPECT_EQ(host.Messages()[0].items, (std::vector<std::string>{"Zantel", "message 191", "OK"}));
  EXPECT_EQ(host.Messages()[1].items,
            (std::vector<std::string>{"Zantel", "message 191", "UCS2 can", "OK"}));
}

}  // namespace

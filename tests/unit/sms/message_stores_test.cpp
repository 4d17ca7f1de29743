#include "sms/message_stores.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "temp_registry.h"
#include "recording_users.h"
#include "test_texts.h"
#include "scripted_connection.h"

namespace {

// ---- The status list of "AT+CMGL=?" ----

struct RangeCase {
  const char* name;
  const char* text;
  bool result;
  std::vector<size_t> statuses;
};

void PrintTo(const RangeCase& c, std::ostream* out) { *out << c.name; }

std::vector<size_t> Range(size_t first, size_t last) {
  std::vector<size_t> values;
  for (size_t v = first; v <= last; ++v) values.push_back(v);
  return values;
}

class StatusList : public testing::TestWithParam<RangeCase> {};

TEST_P(StatusList, SetsTheStatusesItNames) {
  const RangeCase& c = GetParam();
  StatusSet statuses;
  statuses.set(63);  // whatever was set before is forgotten
  EXPECT_EQ(ParseRangeList(c.text, statuses), c.result);
  std::vector<size_t> set;
  for (size_t status = 0; status < kStatusCount; ++status)
    if (statuses.test(status)) set.push_back(status);
  EXPECT_EQ(set, c.statuses);
}

INSTANTIATE_TEST_SUITE_P(
    Sms, StatusList,
    testing::Values(RangeCase{"Range", "0-4", true, Range(0, 4)},
                    RangeCase{"ListWithSpaces", "0, 1 ,3", true, {0, 1, 3}},
                    RangeCase{"RangeWithSpaces", " 2 - 3 ", true, {2, 3}},
                    RangeCase{"BackwardRangeIsEmpty", "4-2", true, {}},
                    RangeCase{"Parentheses", "(0-4)", false, {}},
                    RangeCase{"RangePastTheSetKeepsWhatFits", "0-100", false, Range(0, 63)},
                    RangeCase{"LastStatusFits", "63", true, {63}},
                    RangeCase{"StatusPastTheSet", "64", false, {}},
                    RangeCase{"StatusPastTheSetAmongOthers", "0,1,70,3", false, {0, 1, 3}},
                    RangeCase{"Empty", "", true, {}}, RangeCase{"EmptyPiece", "1,,2", false, {1}},
                    RangeCase{"TrailingComma", "1,2,", true, {1, 2}},
                    RangeCase{"HugeNumber", "99999999999999999999999", false, {}},
                    RangeCase{
                        "HugeRangeEnd", "60-99999999999999999999999", false, {60, 61, 62, 63}},
                    RangeCase{"HugeRangeStart", "99999999999999999999-2", true, {}},
                    RangeCase{"Letters", "0-4,a", false, Range(0, 4)},
                    RangeCase{"NegativeNumber", "-1", false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The storages "all storages" lists ----

struct AllStoragesCase {
  const char* name;
  std::vector<std::string> offered;  // list 0, in the phone's order
  std::vector<int32_t> listed;
};

void PrintTo(const AllStoragesCase& c, std::ostream* out) { *out << c.name; }

class AllStorages : public testing::TestWithParam<AllStoragesCase> {};

TEST_P(AllStorages, ListEachMessageOnceAndOnlyShortMessages) {
  const AllStoragesCase& c = GetParam();
  std::vector<std::unique_ptr<SMSStorage>> list;
  for (const std::string& code : c.offered) list.push_back(std::make_unique<SMSStorage>(code));
  EXPECT_EQ(StoragesOfAll(list), c.listed);
}

INSTANTIATE_TEST_SUITE_P(
    Sms, AllStorages,
    testing::Values(AllStoragesCase{"SimAndPhone", {"SM", "ME"}, {0, 1}},
                    AllStoragesCase{"MtBesideBoth", {"SM", "ME", "MT"}, {0, 1}},
                    AllStoragesCase{"MtFirstAndBroadcasts", {"MT", "SM", "ME", "BM"}, {1, 2}},
                    AllStoragesCase{"MtAlone", {"MT"}, {0}},
                    // MT reaches the phone's memory, which is not offered by itself.
                    AllStoragesCase{"MtBesideSimOnly", {"SM", "MT"}, {1}},
                    AllStoragesCase{"MtBesidePhoneOnly", {"MT", "ME", "SR"}, {0, 2}},
                    AllStoragesCase{"BroadcastsAlone", {"BM"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Discovery and listing against a scripted phone ----

const char* const kOk = "\r\nOK\r\n";

std::string Reply(const std::vector<std::string>& lines) {
  std::string reply;
  for (const std::string& line : lines) reply += "\r\n" + line + "\r\n";
  return reply + kOk;
}

// PDUs a simulated phone keeps (its own state file, made without our encoder).
const std::string kReceivedRead =
    "0791447700090000040C914477000900100000503012900000000FC8329BFD0699E5EF3628E8768701";
const std::string kReceivedUnread =
    "0791447700090000040C914477000900200000503012900000000B55B7BC1C2683DCE5FB1C";
const std::string kUnsentNoCentre = "0001000C9144770009007000000D4479D84C07D1DFA0A0DB1D06";
const std::string kSent = "079144770009000001000C9144770009002000000BD3B29B0EA2BF41C2B718";
// The sent message with 0xFF as its message reference, as an unsent one keeps it.
const std::string kUnsentWithCentre =
    "079144770009000001FF0C9144770009002000000BD3B29B0EA2BF41C2B718";

const std::vector<std::string> kStorageQuestions = {"AT+CMGF=0", "AT+CMGL=?", "AT+CPMS=?"};
const std::string kTwoStorages = "+CPMS: (\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\")";

struct Listed {
  int folder;
  int32_t index;
  int32_t status;
  int32_t storage;
  bool operator==(const Listed&) const = default;
};

void PrintTo(const Listed& l, std::ostream* out) {
  *out << "folder " << l.folder << " index " << l.index << " status " << l.status << " storage "
       << l.storage;
}

using Exchange = std::vector<std::pair<std::string, std::string>>;

struct ListingCase {
  const char* name;
  ModelProfile profile;
  int32_t choice;  // "ReadSMSStorage"
  Exchange exchange;
  std::vector<Listed> listed;
  std::array<int32_t, 4> selection;
  std::vector<size_t> storageCounts;
  // The +CMGL line and the PDU of each message that did not decode, in order.
  std::vector<std::pair<std::string, std::string>> undecodable = {};
};

void PrintTo(const ListingCase& c, std::ostream* out) { *out << c.name; }

const ModelProfile kClassic{"Zantel", "Classic 100", "GSM"};
const ModelProfile kMotorolaL{"Motorola", "L Series", "GSM"};

Exchange Discovery(const std::string& statusList, const std::string& storages) {
  return {{"AT+CMGF=0", kOk},
          {"AT+CMGL=?", Reply({"+CMGL: (" + statusList + ")"})},
          {"AT+CPMS=?", Reply({storages})}};
}

Exchange operator+(Exchange a, const Exchange& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Exchange kBothCurrent = {
    {"AT+CPMS?", Reply({"+CPMS: \"SM\",3,40,\"ME\",1,150,\"SM\",3,40"})}};

class Listing : public testing::TestWithParam<ListingCase> {
 protected:
  CTempRegistry m_registry;
  CTestTexts m_texts{m_registry.Root() + "\\Far"};
  CRecordingLinkUser m_link;
  CRecordingListUser m_user;
};

TEST_P(Listing, PutsEachMessageInItsFolder) {
  const ListingCase& c = GetParam();
  CScriptedConnection phone(m_link);
  for (const auto& [command, reply] : c.exchange) phone.Expect(command + "\r", reply);
  const std::vector<std::unique_ptr<PhoneBookStorage>> phoneBook;
  CMessageStores stores;
  stores.selection[0] = c.choice;

  stores.DiscoverStorages({phone, &c.profile, phoneBook, m_user});

  EXPECT_TRUE(phone.ScriptDone());
  std::vector<Listed> listed;
  for (size_t folder = 0; folder < kFolderCount; ++folder) {
    for (const auto& message : stores.folders[folder])
      listed.push_back(
          {static_cast<int>(folder), message->storageIndex, message->status, message->storage});
  }
  EXPECT_EQ(listed, c.listed);
  EXPECT_EQ(stores.selection, c.selection);
  std::vector<size_t> counts;
  for (const auto& list : stores.storages) counts.push_back(list.size());
  EXPECT_EQ(counts, c.storageCounts);

  EXPECT_EQ(m_user.undecodable, c.undecodable);
  EXPECT_FALSE(m_user.showing) << "the wait box was not taken down";
}

INSTANTIATE_TEST_SUITE_P(
    Sms, Listing,
    testing::Values(
        // Status 4 lists everything at once; all storages one after the other.
        ListingCase{"AllStatusesAllStorages",
                    kClassic,
                    -1,
                    Discovery("0-4", kTwoStorages) + kBothCurrent +
                        Exchange{{"AT+CPMS=\"SM\",\"ME\",\"SM\"", kOk},
                                 {"AT+CMGL=4", Reply({"+CMGL: 1,1,,37", kReceivedRead,
                                                      "+CMGL: 3,2,,25", kUnsentNoCentre})},
                                 {"AT+CPMS=\"ME\",\"ME\",\"SM\"", kOk},
                                 {"AT+CMGL=4", Reply({"+CMGL: 5,3,,23", kSent})}},
                    {{0, 1, 1, 0}, {1, 3, 2, 0}, {2, 5, 3, 1}},
                    {2, 1, 0, 1},
                    {2, 2, 1}},
        // Without status 4 each status is asked for; whatever else comes back is left out.
        ListingCase{"FourStatusesFiltered",
                    kClassic,
                    1,
                    Discovery("0,1,2,3", kTwoStorages) + kBothCurrent +
                        Exchange{{"AT+CMGL=0", Reply({"+CMGL: 2,0,,23", kReceivedUnread,
                                                      "+CMGL: 1,1,,37", kReceivedRead})},
                                 // The phone made the unread message read meanwhile.
                                 {"AT+CMGL=1", Reply({"+CMGL: 1,1,,37", kReceivedRead,
                                                      "+CMGL: 2,1,,23", kReceivedUnread})},
                                 {"AT+CMGL=2", Reply({})},
                                 {"AT+CMGL=3", Reply({"+CMGL: 5, 3 ,,23", kSent})}},
                    {{0, 2, 0, 0}, {0, 1, 1, 0}, {2, 5, 3, 0}},
                    {0, 1, 0, 0},
                    {2, 2, 1}},
        // A status past the set is refused, yet the statuses before it are still listed.
        ListingCase{
            "StatusPastTheSetListsTheRest",
            kClassic,
            0,
            Discovery("0,1,70", "+CPMS: (\"SM\"),(\"SM\"),(\"SM\")") +
                Exchange{{"AT+CPMS?", Reply({"+CPMS: \"SM\",1,40,\"SM\",1,40,\"SM\",1,40"})},
                         {"AT+CMGL=0", Reply({})},
                         {"AT+CMGL=1", Reply({"+CMGL: 1,1,,37", kReceivedRead})}},
            {{0, 1, 1, 0}},
            {0, 0, 0, 0},
            {1, 1, 1}},
        // The last header has no PDU after it; an undecodable PDU is shown and skipped.
        ListingCase{"HeaderWithoutPduAndUndecodablePdu",
                    kClassic,
                    0,
                    Discovery("0-4", kTwoStorages) + kBothCurrent +
                        Exchange{{"AT+CMGL=4", Reply({"+CMGL: 1,1,,37", kReceivedRead,
                                                      "+CMGL: 2,1,,5", "0791447700ZZ",
                                                      "+CMGL: 3,3,,23", kSent, "+CMGL: 9,1,,37"})}},
                    {{0, 1, 1, 0}, {2, 3, 3, 0}},
                    {0, 1, 0, 0},
                    {2, 2, 1},
                    {{"+CMGL: 2,1,,5", "0791447700ZZ"}}},
        // Motorola's L Series lists unsent messages as received unread; a line too short or
        // not hex to tell stays received (and fails to decode).
        ListingCase{
            "MotorolaListsUnsentAsReceived",
            kMotorolaL,
            0,
            Discovery("0-4", kTwoStorages) + kBothCurrent +
                Exchange{{"AT+CMGL=4", Reply({"+CMGL: 1,0,,25", kUnsentNoCentre, "+CMGL: 2,0,,23",
                                              kUnsentWithCentre, "+CMGL: 3,0,,23", kReceivedUnread,
                                              "+CMGL: 4,0,,1", "0", "+CMGL: 5,0,,1", "ZZ00",
                                              "+CMGL: 6,0,,1", "07914477000900"})}},
            {{0, 3, 0, 0}, {1, 1, 2, 0}, {1, 2, 2, 0}},
            {0, 1, 0, 0},
            {2, 2, 1},
            {{"+CMGL: 4,0,,1", "0"},
             {"+CMGL: 5,0,,1", "ZZ00"},
             {"+CMGL: 6,0,,1", "07914477000900"}}},
        // Any other phone keeps the status it was given.
        ListingCase{"OtherPhonesKeepTheStatus",
                    kClassic,
                    0,
                    Discovery("0-4", kTwoStorages) + kBothCurrent +
                        Exchange{{"AT+CMGL=4", Reply({"+CMGL: 3,0,,23", kReceivedUnread})}},
                    {{0, 3, 0, 0}},
                    {0, 1, 0, 0},
                    {2, 2, 1}},
        // One storage chosen: the one the phone has selected is listed, and its messages are
        // deleted from there, not from the first storage.
        ListingCase{
            "OneStorageIsTheOneThePhoneHas",
            kClassic,
            1,
            Discovery("0-4", kTwoStorages) +
                Exchange{{"AT+CPMS?", Reply({"+CPMS: \"ME\",1,150,\"SM\",3,40,\"SM\",3,40"})},
                         {"AT+CMGL=4", Reply({"+CMGL: 1,1,,37", kReceivedRead})}},
            {{0, 1, 1, 1}},
            {1, 0, 0, 1},
            {2, 2, 1}},
        // Without the current storages nothing can be selected: the phone's own is listed
        // once, not once for every storage.
        ListingCase{"UnknownCurrentStoragesListOnce",
                    kClassic,
                    2,
                    Discovery("0-4", kTwoStorages) +
                        Exchange{{"AT+CPMS?", "\r\nERROR\r\n"},
                                 {"AT+CMGL=4", Reply({"+CMGL: 1,1,,37", kReceivedRead})}},
                    {{0, 1, 1, 1}},
                    {2, -1, -1, 1},
                    {2, 2, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Deleting a listed message, checked against what the phone holds now ----

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

struct DeletionCase {
  const char* name;
  std::string readReply;    // to "AT+CMGR=2"
  const char* deleteReply;  // to "AT+CMGD=2"; null: it must not be sent
  DeletionOutcome outcome;
};

void PrintTo(const DeletionCase& c, std::ostream* out) { *out << c.name; }

class Deletion : public testing::TestWithParam<DeletionCase> {
 protected:
  CTempRegistry m_registry;
  CTestTexts m_texts{m_registry.Root() + "\\Far"};
  CRecordingLinkUser m_link;
  CRecordingListUser m_user;
};

// The message was listed from index 2 of SM, which the phone still has selected.
TEST_P(Deletion, DeletesOnlyTheMessageThatWasListed) {
  const DeletionCase& c = GetParam();
  CScriptedConnection phone(m_link);
  phone.Expect("AT+CMGR=2\r", c.readReply);
  if (c.deleteReply) phone.Expect("AT+CMGD=2\r", c.deleteReply);
  CMessageStores stores;
  stores.storages[0].push_back(std::make_unique<SMSStorage>("SM"));
  stores.selection = {0, 0, 0, 0};
  CSMSMessage listed(true);
  ASSERT_TRUE(listed.Decode(kReceivedUnread));
  listed.storageIndex = 2;
  listed.storage = 0;
  const std::vector<std::unique_ptr<PhoneBookStorage>> phoneBook;

  EXPECT_EQ(stores.DeleteListed({phone, &kClassic, phoneBook, m_user}, listed), c.outcome);

  EXPECT_TRUE(phone.ScriptDone());
  // Only a refused deletion is the engine's to report; an empty location is an answer.
  EXPECT_EQ(m_link.refused, c.outcome == DeletionOutcome::kNotDeleted
                                ? std::vector<std::string>{"AT+CMGD=2"}
                                : std::vector<std::string>{});
}

const std::string kCmsError = "\r\n+CMS ERROR: 321\r\n";

INSTANTIATE_TEST_SUITE_P(
    Sms, Deletion,
    testing::Values(
        DeletionCase{"SamePdu", Reply({"+CMGR: 0,,23", kReceivedUnread}), kOk,
                     DeletionOutcome::kDeleted},
        // Listing made it read, and this phone writes hex in lower case.
        DeletionCase{"SamePduOtherCaseAndStatus", Reply({"+CMGR: 1,,23", Lower(kReceivedUnread)}),
                     kOk, DeletionOutcome::kDeleted},
        DeletionCase{"SamePduWithAlphaAfterNoise",
                     Reply({"\x1b[2J", "+CMGR: 1,\"Anna, home\",23", kReceivedUnread}), kOk,
                     DeletionOutcome::kDeleted},
        DeletionCase{"OtherPdu", Reply({"+CMGR: 0,,37", kReceivedRead}), nullptr,
                     DeletionOutcome::kChangedOnPhone},
        DeletionCase{"EmptySlotBareOk", kOk, nullptr, DeletionOutcome::kChangedOnPhone},
        // Most phones refuse to read an empty location.
        DeletionCase{"ErrorForAnEmptySlot", kCmsError, nullptr, DeletionOutcome::kChangedOnPhone},
        DeletionCase{"GarbageLine", Reply({"\x01\xfe#~ +CMGR"}), nullptr,
                     DeletionOutcome::kChangedOnPhone},
        // What follows a header out of the grammar is not taken for the message.
        DeletionCase{"MalformedHeaderBeforeTheSamePdu", Reply({"+CMGR: unread", kReceivedUnread}),
                     nullptr, DeletionOutcome::kChangedOnPhone},
        DeletionCase{"DeletionRefused", Reply({"+CMGR: 0,,23", kReceivedUnread}), kCmsError.c_str(),
                     DeletionOutcome::kNotDeleted}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

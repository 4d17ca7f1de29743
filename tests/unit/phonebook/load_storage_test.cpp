#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "phone_book_fixture.h"
#include "phonebook/storage_access.h"
#include "scripted_connection.h"

namespace {

using Exchange = std::vector<std::pair<std::string, std::string>>;

const char* const kOk = "\r\nOK\r\n";
const char* const kError = "\r\n+CME ERROR: 22\r\n";
const char* const kNoCount = "\r\n+CPBS: \"SM\"\r\nOK\r\n";

std::string Entries(std::initializer_list<int> indexes) {
  std::string reply = "\r\n";
  for (int i : indexes)
    reply += "+CPBR: " + std::to_string(i) + ",\"0" + std::to_string(i) + "\",129,\"N\"\r\n";
  return reply + "OK\r\n";
}

struct LoadCase {
  const char* name;
  std::string storage = "SM";
  uint32_t flags = 7;
  bool loadedBefore = false;
  Exchange exchange;
  std::vector<int> indexes;        // the list afterwards, in order
  std::vector<std::string> boxes;  // the progress boxes' texts
  bool loaded = true;
  int32_t maxIndex = 12;
  int32_t viewMode = 2;                      // 3 once an entry with a time was read
  std::vector<std::string> unreadable = {};  // what the user is told of lines left out
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class LoadStorageTest : public CPhoneBookTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(LoadStorageTest, ReadsTheStorageAndCachesIt) {
  const LoadCase& c = GetParam();
  for (const auto& [number, text] : std::vector<std::pair<int, std::string>>{
           {73, "%d of %d"}, {74, "%d-%d of %d"}, {75, "all"}}) {
    m_texts.SetMessageText(number, text);
  }
  CScriptedConnection phone(m_user);
  for (const auto& [command, reply] : c.exchange) phone.Expect(command + "\r", reply);
  ModelProfile profile{"Nokia", "6310i", "IRA", 1, c.flags};
  CDeviceCache cache;
  ASSERT_TRUE(cache.Open("350123451234560"));
  std::string selected;
  PhoneBookSession session{phone, profile, cache, m_user, selected};
  PhoneBookStorage storage(c.storage);
  storage.MaxIndex = 7;  // as a cache left it: the phone's limits replace it
  storage.Loaded = c.loadedBefore;
  AppendEntry(storage, std::make_unique<PhoneBookEntry>());  // the list before

  LoadStorage(session, storage);

  EXPECT_TRUE(phone.ScriptDone());
  std::vector<int> indexes;
  for (const auto& entry : storage.Entries) indexes.push_back(entry->Index);
  EXPECT_EQ(indexes, c.indexes);
  EXPECT_EQ(storage.Loaded, c.loaded);
  EXPECT_EQ(storage.MaxIndex, c.maxIndex);
  EXPECT_EQ(storage.ViewMode, c.viewMode);
  EXPECT_EQ(m_user.progress, c.boxes);
  std::vector<std::string> told;
  for (const std::string& line : m_user.log) {
    if (line.starts_with("unreadable")) told.push_back(line);
  }
  EXPECT_EQ(told, c.unreadable);

  // What was read is what the next opening of the phone finds.
  std::vector<std::unique_ptr<PhoneBookStorage>> again;
  again.push_back(std::make_unique<PhoneBookStorage>(c.storage));
  cache.Load(again);
  // Only a storage read from the phone is saved; one served from the cache stays as it was.
  const bool cached = c.loaded && storage.Writable && !c.boxes.empty();
  EXPECT_EQ(again[0]->Loaded, cached);
  EXPECT_EQ(again[0]->Entries.size(), cached ? indexes.size() : 0u);
  EXPECT_EQ(again[0]->ViewMode, storage.ViewMode);
}

INSTANTIATE_TEST_SUITE_P(
    Phones, LoadStorageTest,
    testing::Values(
        LoadCase{"ChunksOfFiveAndAFailedOneSkipped",
                 "SM",
                 7,
                 false,
                 {{"AT+CPBS=\"SM\"", kOk},
                  {"AT+CPBR=?", "\r\n+CPBR: (1-12),40,18\r\nOK\r\n"},
                  {"AT+CPBS?", kNoCount},
                  {"AT+CPBR=1,5", Entries({1, 3})},
                  {"AT+CPBR=6,10", kError},
                  {"AT+CPBR=11,12", Entries({12})}},
                 {1, 3, 12},
                 {"1-5 of 12", "6-10 of 12", "11-12 of 12"}},
        LoadCase{"LinesThatAreNoEntriesAreToldOnceWhenTheListingEnds",
                 "SM",
                 7,
                 false,
                 {{"AT+CPBS=\"SM\"", kOk},
                  {"AT+CPBR=?", "\r\n+CPBR: (1-7),40,18\r\nOK\r\n"},
                  {"AT+CPBS?", kNoCount},
                  {"AT+CPBR=1,5", "\r\n+CPBR: 1,\"01\",129,\"N\"\r\n+CPBR: 2,\"02\",129\r\nOK\r\n"},
                  {"AT+CPBR=6,7", "\r\n+CPBR: x\r\n+CPBR: 7,\"07\",129,\"N\"\r\nOK\r\n"}},
                 {1, 7},
                 {"1-5 of 7", "6-7 of 7"},
                 true,
                 7,
                 2,
                 {"unreadable 2: +CPBR: 2,\"02\",129"}},
        LoadCase{"LastChunkOfOneLocation",
                 "SM",
                 7,
                 false,
                 {{"AT+CPBS=\"SM\"", kOk},
                  {"AT+CPBR=?", "\r\n+CPBR: (1-11),40,18\r\nOK\r\n"},
                  {"AT+CPBS?", kNoCount},
                  {"AT+CPBR=1,5", Entries({2})},
                  {"AT+CPBR=6,10", Entries({6})},
                  {"AT+CPBR=11", Entries({11})}},
                 {2, 6, 11},
                 {"1-5 of 11", "6-10 of 11", "11 of 11"},
                 true,
                 11},
        LoadCase{"ALocationListedTwiceIsTakenOnce",
                 "SM",
                 7,
                 false,
                 {{"AT+CPBS=\"SM\"", kOk},
                  {"AT+CPBR=?", "\r\n+CPBR: (1-12),40,18\r\nOK\r\n"},
                  {"AT+CPBS?", kNoCount},
                  {"AT+CPBR=1,5", Entries({1, 6})},
                  {"AT+CPBR=6,10", Entries({6, 8, 8})},
                  {"AT+CPBR=11,12", Entries({})}},
                 {1, 6, 8},
                 {"1-5 of 12", "6-10 of 12", "11-12 of 12"}},
        LoadCase{"StopsOnceTheUsedCountIsRead",
                 "SM",
                 7,
                 false,
                 {{"AT+CPBS=\"SM\"", kOk},
                  {"AT+CPBR=?", "\r\n+CPBR: (1-250),40,18\r\nOK\r\n"},
                  {"AT+CPBS?", "\r\n+CPBS: \"SM\",2,250\r\nOK\r\n"},
                  {"AT+CPBR=1,5", Entries({1, 4})}},
                 {1, 4},
                 {"1-5 of 250"},
                 true,
                 250},
        LoadCase{"Flag8ReadsTheWholeRangeAtOnce",
                 "ME",
                 15,
                 false,
                 {{"AT+CPBS=\"ME\"", kOk},
                  {"AT+CPBR=?", "\r\n+CPBR: (0-500),40,18\r\nOK\r\n"},
                  {"AT+CPBR=1,500", Entries({1, 2, 499})}},
                 {1, 2, 499},
                 {"all"},
                 true,
                 500},
        LoadCase{"LimitsRefusedKeepThoseItHad",
                 "SM",
                 7,
                 false,
                 {{"AT+CPBS=\"SM\"", kOk},
                  {"AT+CPBR=?", kError},
                  {"AT+CPBS?", kNoCount},
                  {"AT+CPBR=1,5", Entries({5})},
                  {"AT+CPBR=6,7", kError}},
                 {5},
                 {"1-5 of 7", "6-7 of 7"},
                 true,
                 7},
        LoadCase{"UnreadableLimitsLeaveTheListAlone",
                 "SM",
                 7,
                 false,
                 {{"AT+CPBS=\"SM\"", kOk}, {"AT+CPBR=?", "\r\n+CPBR: (1,2),40,18\r\nOK\r\n"}},
                 {0},
                 {},
                 false,
                 7},
        LoadCase{"NameThatWouldBreakTheCommandIsNotSent", "S\"M", 7, false, {}, {0}, {}, false, 7},
        LoadCase{"RefusedSelectionReadsNothing",
                 "SM",
                 7,
                 false,
                 {{"AT+CPBS=\"SM\"", kError}},
                 {0},
                 {},
                 false,
                 7},
        LoadCase{"CachedStorageThePhoneHasSelectedAndStillCountsIsNotReadAgain",
                 "SM",
                 7,
                 true,
                 {{"AT+CPBS?", "\r\n+CPBS: \"SM\",1,250\r\nOK\r\n"}},
                 {0},
                 {},
                 true,
                 7},
        LoadCase{"CachedStorageIsSelectedWhereThePhoneHasAnother",
                 "SM",
                 7,
                 true,
                 {{"AT+CPBS?", "\r\n+CPBS: \"ME\",1,250\r\nOK\r\n"},
                  {"AT+CPBS=\"SM\"", kOk},
                  {"AT+CPBS?", "\r\n+CPBS: \"SM\",1,250\r\nOK\r\n"}},
                 {0},
                 {},
                 true,
                 7},
        LoadCase{"CachedStorageOfAPhoneThatGivesNoCountIsNotReadAgain",
                 "SM",
                 7,
                 true,
                 {{"AT+CPBS?", kNoCount}},
                 {0},
                 {},
                 true,
                 7},
        LoadCase{"CachedStorageThePhoneCountsOtherwiseIsReadAgain",
                 "SM",
                 7,
                 true,
                 {{"AT+CPBS?", "\r\n+CPBS: \"SM\",2,250\r\nOK\r\n"},
                  {"AT+CPBR=?", "\r\n+CPBR: (1-250),40,18\r\nOK\r\n"},
                  {"AT+CPBS?", "\r\n+CPBS: \"SM\",2,250\r\nOK\r\n"},
                  {"AT+CPBR=1,5", Entries({1, 4})}},
                 {1, 4},
                 {"1-5 of 250"},
                 true,
                 250},
        LoadCase{
            "CallListIsReadEveryTimeAndTakesItsView",
            "MC",
            7,
            true,
            {{"AT+CPBS=\"MC\"", kOk},
             {"AT+CPBR=?", "\r\n+CPBR: (1-3),40,18\r\nOK\r\n"},
             {"AT+CPBS?", "\r\n+CPBS: \"MC\",1,3\r\nOK\r\n"},
             {"AT+CPBR=1,3", "\r\n+CPBR: 1,\"0123\",129,\"\",\"05/12/31\",\"23:59\"\r\nOK\r\n"}},
            {1},
            {"1-3 of 3"},
            true,
            3,
            3}));

}  // namespace

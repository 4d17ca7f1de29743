#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "phone_book_fixture.h"
#include "phonebook/entry_editing.h"
#include "phonebook/storage_access.h"
#include "scripted_connection.h"
#include "scripted_phone_book_user.h"

namespace {

using Exchange = std::vector<std::pair<std::string, std::string>>;
using Operation = std::function<bool(PhoneBookSession&, PhoneBookStorage&)>;

const char* const kOk = "\r\nOK\r\n";
const char* const kError = "\r\nERROR\r\n";

struct OperationCase {
  const char* name;
  Operation operation;
  Exchange exchange;
  std::string after;  // the list afterwards, "index:number" each
  bool result = true;
  std::vector<std::string> refused = {};  // the refusals shown to the user
};

void PrintTo(const OperationCase& c, std::ostream* out) { *out << c.name; }

class EntryOperations : public CPhoneBookTest, public testing::WithParamInterface<OperationCase> {};

// The storage starts with entries 1, 2 and 3 in locations 1 to 6.
TEST_P(EntryOperations, ChangeTheListAsThePhoneAnswers) {
  const OperationCase& c = GetParam();
  CScriptedConnection phone(m_user);
  for (const auto& [command, reply] : c.exchange) phone.Expect(command + "\r", reply);
  ModelProfile profile{"Nokia", "6310i", "IRA", 1, 7};
  CDeviceCache cache;
  std::string selected = "SM";  // as the plug-in left it after reading the storage
  PhoneBookSession session{phone, profile, cache, m_user, selected};
  PhoneBookStorage storage("SM");
  storage.MaxIndex = 6;
  for (int32_t i : {1, 2, 3}) {
    auto entry = std::make_unique<PhoneBookEntry>();
    entry->Index = i;
    entry->Number = "0" + std::to_string(i);
    entry->Type = 129;
    AppendEntry(storage, std::move(entry));
  }

  EXPECT_EQ(c.operation(session, storage), c.result);

  EXPECT_TRUE(phone.ScriptDone());
  std::string after;
  for (const auto& entry : storage.Entries) {
    after += (after.empty() ? "" : " ") + std::to_string(entry->Index) + ":" + entry->Number;
  }
  EXPECT_EQ(after, c.after);
  std::vector<std::string> refused;
  for (const std::string& line : m_user.log) {
    if (line.starts_with("refused ")) refused.push_back(line.substr(8));
  }
  EXPECT_EQ(refused, c.refused);
}

Operation Reread(size_t position) {
  return [position](PhoneBookSession& session, PhoneBookStorage& storage) {
    RereadEntry(session, storage, position, false);
    return true;
  };
}

Operation ReadNew(bool stopAtFirst) {
  return [stopAtFirst](PhoneBookSession& session, PhoneBookStorage& storage) {
    ReadNewEntries(session, storage, stopAtFirst);
    return true;
  };
}

Operation Write(std::string number, std::string name, std::string charset = "IRA") {
  return [=](PhoneBookSession& session, PhoneBookStorage&) {
    PhoneBookEntry entry;
    entry.Index = 5;
    entry.Number = number;
    entry.Name = name;
    return WriteEntry(entry, session.Connection, charset);
  };
}

Operation Delete(size_t position) {
  return [position](PhoneBookSession& session, PhoneBookStorage& storage) {
    CScriptedPhoneBookUser user;
    return DeleteEntry(session, storage, user, position);
  };
}

// The look before the erase of location 2 finds what the list shows there.
const std::pair<std::string, std::string> kLookAt2 = {"AT+CPBR=2",
                                                      "\r\n+CPBR: 2,\"02\",129,\"\"\r\nOK\r\n"};

const char* const kAll = "1:01 2:02 3:03";

INSTANTIATE_TEST_SUITE_P(
    Phones, EntryOperations,
    testing::Values(
        OperationCase{"RereadTakesWhatThePhoneHolds",
                      Reread(1),
                      {{"AT+CPBR=2", "\r\n+CPBR: 2,\"0999\",129,\"B\"\r\nOK\r\n"}},
                      "1:01 2:0999 3:03"},
        OperationCase{
            "RereadOfAnEmptyLocationDropsTheEntry", Reread(1), {{"AT+CPBR=2", kOk}}, "1:01 3:03"},
        OperationCase{"RefusedRereadChangesNothing",
                      Reread(2),
                      {{"AT+CPBR=3", kError}},
                      kAll,
                      true,
                      {"AT+CPBR=3"}},
        OperationCase{"RereadPastTheListSendsNothing", Reread(3), {}, kAll},
        OperationCase{"DeleteOfAnEmptiedLocation",
                      Delete(1),
                      {kLookAt2, {"AT+CPBW=2", kOk}, {"AT+CPBR=2", kOk}},
                      "1:01 3:03"},
        OperationCase{"DeleteTakesARefusedReadAfterTheEraseAsEmpty",
                      Delete(1),
                      {kLookAt2, {"AT+CPBW=2", kOk}, {"AT+CPBR=2", kError}},
                      "1:01 3:03"},
        OperationCase{"RefusedDeleteWithARefusedReadKeepsTheEntry",
                      Delete(1),
                      {kLookAt2, {"AT+CPBW=2", kError}, {"AT+CPBR=2", kError}},
                      kAll,
                      true,
                      {"AT+CPBW=2", "AT+CPBR=2"}},
        OperationCase{"DeleteTheLocationStillHoldsKeepsWhatItHolds",
                      Delete(1),
                      {kLookAt2,
                       {"AT+CPBW=2", kOk},
                       {"AT+CPBR=2", "\r\n+CPBR: 2,\"0999\",129,\"B\"\r\nOK\r\n"}},
                      "1:01 2:0999 3:03"},
        OperationCase{"NewEntriesAreReadFromTheUnlistedLocationsInOneRun",
                      ReadNew(true),
                      {{"AT+CPBR=4,6", "\r\n+CPBR: 5,\"05\",129,\"E\"\r\nOK\r\n"}},
                      "1:01 2:02 3:03 5:05"},
        OperationCase{
            "RefusedReadOfNewEntriesIsNoError", ReadNew(false), {{"AT+CPBR=4,6", kError}}, kAll},
        OperationCase{"WriteSendsTheEntry",
                      Write("+447700900123", "Ann"),
                      {{"AT+CPBW=5,\"+447700900123\",145,\"Ann\"", kOk}},
                      kAll},
        OperationCase{"RefusedWriteFails",
                      Write("1", "Ann"),
                      {{"AT+CPBW=5,\"1\",145,\"Ann\"", kError}},
                      kAll,
                      false,
                      {"AT+CPBW=5,\"1\",145,\"Ann\""}},
        OperationCase{"QuoteInTheNameIsNotSent", Write("1", "A\"\rAT+CPBW=1"), {}, kAll, false},
        OperationCase{"LineEndInTheNumberIsNotSent", Write("1\r", "A"), {}, kAll, false},
        OperationCase{"NameOutsideTheCharsetIsNotSent", Write("1", "\xB3", "GSM"), {}, kAll, false},
        OperationCase{"FindsThePositionOfAnIndex",
                      [](PhoneBookSession&, PhoneBookStorage& s) {
                        return FindEntryPosition(s, 3) == 2 && FindEntryPosition(s, 4) == -1;
                      },
                      {},
                      kAll}));

}  // namespace

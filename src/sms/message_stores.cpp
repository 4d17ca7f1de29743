#include "sms/message_stores.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>

#include "encoding/hex_digits.h"
#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "link/at_engine.h"
#include "regex/regex.h"

namespace {

constexpr int32_t kAllStatuses = 4;

// The storage codes GSM 07.05 names, each with its own description.
struct KnownStorage {
  const char* code;
  int32_t message;
};
constexpr KnownStorage kKnownStorages[] = {
    {"BM", Msg::kBroadcastStorage},     {"ME", Msg::kBroadcastStorage + 1},
    {"MT", Msg::kBroadcastStorage + 2}, {"SM", Msg::kBroadcastStorage + 3},
    {"TA", Msg::kBroadcastStorage + 4}, {"SR", Msg::kBroadcastStorage + 5},
};

// Decimal digits as the phone wrote them; none for a value beyond 32 bits.
std::optional<int32_t> ToInt32(const std::string& digits) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// Group `group` of every match, searched left to right.
std::vector<std::string> AllMatches(CRegex& regex, const std::string& subject, size_t group) {
  std::vector<std::string> found;
  GroupList groups;
  RegexSpan span;
  size_t from = 0;
  while (from <= subject.size() && regex.MatchFrom(subject, from, 0, &groups, &span)) {
    found.push_back(group < groups.size() ? groups[group] : std::string());
    from = span.begin == span.end ? span.end + 1 : span.end;
  }
  return found;
}

// The fields between the separators; separators at either edge make no empty field.
std::vector<std::string> SplitFields(CRegex& separator, const std::string& subject) {
  std::vector<std::string> fields;
  RegexSpan span;
  size_t fieldStart = 0;
  size_t from = 0;
  while (from <= subject.size() && separator.MatchFrom(subject, from, 0, nullptr, &span)) {
    if (span.begin != 0) fields.push_back(subject.substr(fieldStart, span.begin - fieldStart));
    fieldStart = span.end;
    from = span.begin == span.end ? span.end + 1 : span.end;
  }
  if (fieldStart < subject.size()) fields.push_back(subject.substr(fieldStart));
  return fields;
}

// A status number; one too long for 64 bits is as far beyond the set as any other above 63.
uint64_t StatusValue(const std::string& digits) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() ? value : UINT64_MAX;
}

// Motorola's L Series lists a stored unsent message as received unread. Such a PDU has no
// service-centre address, or 0xFF where a received one would go on after the first octet.
// A line too short or not hex to tell keeps the status the phone gave.
bool ListsUnsentAsReceived(const ModelProfile* profile) {
  return profile && profile->Manufacturer == "Motorola" && profile->Model == "L Series";
}

bool LooksUnsent(const std::string& pdu) {
  if (pdu.size() < 2) return false;
  const int high = HexDigitValue(pdu[0]);
  const int low = HexDigitValue(pdu[1]);
  if (high < 0 || low < 0) return false;
  const size_t scaLength = static_cast<size_t>(high * 16 + low);
  if (scaLength == 0) return true;
  const size_t at = 2 * scaLength + 4;
  if (pdu.size() < at + 2) return false;
  return (pdu[at] == 'F' || pdu[at] == 'f') && (pdu[at + 1] == 'F' || pdu[at + 1] == 'f');
}

MessageFolder FolderOf(int32_t status) {
  switch (status) {
    case 0:
    case 1: return kReceivedFolder;
    case 2: return kUnsentFolder;
    case 3: return kSentFolder;
    default: return kOtherFolder;
  }
}

// Hex digits compare without regard to letter case: phones write them either way.
bool SameHex(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool IsIndexOf(int32_t index, size_t size) {
  return index >= 0 && static_cast<size_t>(index) < size;
}

}  // namespace

SMSStorage::SMSStorage(std::string code) : Name(std::move(code)) {
  DescriptionMessage = Msg::kOtherStorage;
  for (const KnownStorage& known : kKnownStorages) {
    if (Name == known.code) DescriptionMessage = known.message;
  }
}

std::string SMSStorage::Description() const {
  if (DescriptionMessage == Msg::kOtherStorage)
    return FarLib::FormatMsg(Msg::kOtherStorage, Name.c_str());
  return FarLib::GetMsg(DescriptionMessage);
}

// The status list of "AT+CMGL=?" between its parentheses:
//   list  = piece *( "," piece )     white space allowed around the commas
//   piece = number [ "-" number ]    decimal; a range from its first to its last number
// Example reply line: +CMGL: (0-4)
// A status above 63 does not fit the set: the call then returns false, keeping what did fit.
bool ParseRangeList(std::string_view text, StatusSet& statuses) {
  static CRegex separator("\\s*,\\s*", 0);
  static CRegex piece("^\\s*(\\d+)(?:\\s*-\\s*(\\d+))?\\s*$", 0);
  statuses.reset();
  if (!separator.IsCompiled() || !piece.IsCompiled()) return false;
  bool fits = true;
  GroupList groups;
  for (const std::string& field : SplitFields(separator, std::string(text))) {
    groups.clear();
    if (!piece.Match(field, 0, &groups)) return false;
    const uint64_t first = StatusValue(groups[1]);
    const bool range = groups.size() > 2 && !groups[2].empty();
    const uint64_t last = range ? StatusValue(groups[2]) : first;
    if (last < first) continue;
    for (uint64_t status = first; status <= last && status < kStatusCount; ++status)
      statuses.set(status);
    if (last >= kStatusCount) fits = false;
  }
  return fits;
}

std::vector<int32_t> StoragesOfAll(const std::vector<std::unique_ptr<SMSStorage>>& list) {
  const auto offered = [&list](std::string_view code) {
    return std::ranges::any_of(list, [code](const auto& storage) { return storage->Name == code; });
  };
  const bool mtRepeats = offered("SM") && offered("ME");
  const bool mtStandsFor = offered("MT") && !mtRepeats;
  std::vector<int32_t> listed;
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string& code = list[i]->Name;
    if (code == "BM" || (code == "MT" && mtRepeats) ||
        ((code == "SM" || code == "ME") && mtStandsFor))
      continue;
    listed.push_back(static_cast<int32_t>(i));
  }
  return listed;
}

// The answer to "AT+CMGR=%d" in PDU mode: a header line, then the message as hex.
//   +CMGR: <stat>,[<alpha>],<length>
//   <pdu>
// Example header line: +CMGR: 1,,23
// Noise before the header is passed over; a header with nothing after it brings no message.
std::optional<std::string> ParseReadReply(const ResponseList& lines) {
  static CRegex header("^\\+CMGR:\\s*\\d+\\s*,.*,\\s*\\d+\\s*$", 0);
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (header.Match(lines[i], 0, nullptr)) return lines[i + 1];
  }
  return std::nullopt;
}

void CMessageStores::DiscoverStorages(const SMSSession& session) {
  // The reply to "AT+CMGL=?": +CMGL: (0-4)
  static CRegex statusList("^\\+CMGL:\\s*\\((.*?)\\)", 0);
  // The reply to "AT+CPMS=?", one group per parameter:
  //   +CPMS: ("SM","ME"),("SM","ME"),("SM")
  static CRegex parameterGroup("\\((.*?)\\)", 0);
  static CRegex quotedCode("\"(.*?)\"", 0);

  if (!Execute(session.Connection, "AT+CMGF=0", nullptr)) return;
  ResponseList responses;
  if (!Execute(session.Connection, "AT+CMGL=?", &responses) || responses.empty()) return;
  std::string list = responses[0];
  statusList.Replace(list, "$1", false, 0);
  // A list that does not parse keeps the statuses that did: listing goes on with them.
  ParseRangeList(list, statuses);

  responses.clear();
  if (!Execute(session.Connection, "AT+CPMS=?", &responses) || responses.empty()) return;
  const std::vector<std::string> groups = AllMatches(parameterGroup, responses[0], 1);
  for (size_t e = 0; e < groups.size() && e < kStorageParameterCount; ++e) {
    storages[e].clear();
    for (std::string& code : AllMatches(quotedCode, groups[e], 1))
      storages[e].push_back(std::make_unique<SMSStorage>(std::move(code)));
  }
  const auto count = static_cast<int32_t>(storages[0].size());
  if (selection[0] < 0 || selection[0] > count) selection[0] = count;
  ReadCurrentStorages(session);
  ReadMessages(session);
}

void CMessageStores::ReadCurrentStorages(const SMSSession& session) {
  // The reply to "AT+CPMS?": code, used and total of each parameter's storage.
  //   +CPMS: "SM",3,40,"ME",1,150,"SM",3,40
  static CRegex triple("\".*?\",\\s*\\d+,\\s*\\d+", 0);
  static CRegex fields("\"(.*?)\",\\s*(\\d+),\\s*(\\d+)", 0);

  const bool all = AllStorages();
  selection[0] = selection[1] = selection[2] = -1;
  ResponseList responses;
  if (Execute(session.Connection, "AT+CPMS?", &responses) && !responses.empty()) {
    const std::vector<std::string> triples = AllMatches(triple, responses[0], 0);
    GroupList groups;
    for (size_t i = 0; i < triples.size() && i < kStorageParameterCount; ++i) {
      groups.clear();
      if (!fields.Match(triples[i], 0, &groups) || groups.size() < 4) continue;
      const std::optional<int32_t> used = ToInt32(groups[2]);
      const std::optional<int32_t> total = ToInt32(groups[3]);
      if (!used || !total) continue;
      for (size_t s = 0; s < storages[i].size(); ++s) {
        if (storages[i][s]->Name != groups[1]) continue;
        selection[i] = static_cast<int32_t>(s);
        storages[i][s]->Used = *used;
        storages[i][s]->Total = *total;
        break;
      }
    }
  }
  // What the phone has selected now is what a listing without selecting first reads.
  selection[kSelectedInPhone] = selection[0];
  if (all) selection[0] = static_cast<int32_t>(storages[0].size());
}

bool CMessageStores::SelectStorages(const SMSSession& session, int32_t index) {
  if (index < 0) index = AllStorages() ? 0 : selection[0];
  selection[kSelectedInPhone] = index;
  // Without the storages of the other two parameters the command would change them.
  if (!IsIndexOf(index, storages[0].size()) || !IsIndexOf(selection[1], storages[1].size()) ||
      !IsIndexOf(selection[2], storages[2].size()))
    return false;
  return Execute(session.Connection, "AT+CPMS=\"%s\",\"%s\",\"%s\"", nullptr,
                 storages[0][index]->Name.c_str(), storages[1][selection[1]]->Name.c_str(),
                 storages[2][selection[2]]->Name.c_str());
}

void CMessageStores::ReadMessages(const SMSSession& session) {
  for (MessageList& folder : folders) folder.clear();
  CProgressScope progress(session.User);
  progress.Show(FarLib::GetMsg(Msg::kReadingMessages));
  if (!AllStorages()) {
    ListStorage(session);
    return;
  }
  const auto count = static_cast<int32_t>(storages[0].size());
  // The choice of all storages survives a link that fails half-way.
  struct CRestoreAll {
    int32_t& choice;
    int32_t all;
    ~CRestoreAll() { choice = all; }
  } restore{selection[0], count};
  bool anySelected = false;
  for (const int32_t i : StoragesOfAll(storages[0])) {
    selection[0] = i;
    // A storage the phone did not switch to would list the previous one a second time.
    if (!SelectStorages(session, -1)) continue;
    anySelected = true;
    ListStorage(session);
  }
  // Where no storage could be chosen, the one the phone has is still worth showing.
  if (!anySelected) ListStorage(session);
}

void CMessageStores::ListStorage(const SMSSession& session) {
  if (statuses.test(kAllStatuses)) {
    ListStatus(session, kAllStatuses, false);
    return;
  }
  for (size_t status = 0; status < kStatusCount; ++status) {
    if (status != kAllStatuses && statuses.test(status))
      ListStatus(session, static_cast<int32_t>(status), true);
  }
}

// The reply to "AT+CMGL=%d": a header line per message, its PDU on the next line.
//   +CMGL: <index>,<status>,[<alpha>],<length>
// Example header line: +CMGL: 2,0,,23
void CMessageStores::ListStatus(const SMSSession& session, int32_t status, bool filter) {
  static CRegex header("^\\+CMGL:\\s*(\\d+)\\s*,\\s*(\\d+)", 0);

  ResponseList lines;
  if (!Execute(session.Connection, "AT+CMGL=%d", &lines, static_cast<int>(status))) return;
  // Listing the unread messages makes them read, so asking for status 0 and then for status 1
  // brings the same message twice: a storage index already listed from this storage is not
  // taken again.
  std::set<int32_t> known;
  for (const MessageList& folder : folders) {
    for (const auto& message : folder)
      if (message->storage == SelectedInPhone()) known.insert(message->storageIndex);
  }
  GroupList groups;
  for (size_t i = 0; i + 1 < lines.size();) {
    groups.clear();
    const std::optional<int32_t> index =
        header.Match(lines[i], 0, &groups) ? ToInt32(groups[1]) : std::nullopt;
    const std::optional<int32_t> listed = index ? ToInt32(groups[2]) : std::nullopt;
    if (!listed) {
      ++i;
      continue;
    }
    const std::string& headerLine = lines[i];
    const std::string& pdu = lines[i + 1];
    i += 2;
    if ((filter && *listed != status) || known.contains(*index)) continue;
    int32_t messageStatus = *listed;
    if (messageStatus == 0 && ListsUnsentAsReceived(session.Profile) && LooksUnsent(pdu))
      messageStatus = 2;
    auto message = std::make_unique<CSMSMessage>(messageStatus == 0 || messageStatus == 1);
    if (!message->Decode(pdu)) {
      session.User.ShowUndecodable(headerLine, pdu);
      continue;
    }
    message->storageIndex = *index;
    message->status = messageStatus;
    LookUpName(*message, session.PhoneBook);
    message->storage = SelectedInPhone();
    known.insert(*index);
    folders[FolderOf(messageStatus)].push_back(std::move(message));
  }
}

// Reading makes an unread message read on most phones. The message listed is about to go, so
// that does not matter; another one found in its place would be read by the listing that
// follows every deletion anyway, so looking costs it nothing more.
DeletionOutcome CMessageStores::DeleteListed(const SMSSession& session,
                                             const CSMSMessage& message) {
  // Storage indexes count per storage: the phone must have the message's own one selected.
  if (message.storage != SelectedInPhone() && !SelectStorages(session, message.storage)) {
    // The phone may now have any storage: a later deletion must select its own again rather
    // than erase the same index elsewhere.
    ForgetSelectedInPhone();
    return DeletionOutcome::kNotDeleted;
  }
  const int index = static_cast<int>(message.storageIndex);
  // Most phones refuse to read an empty location (+CMS ERROR: 321): that is an answer here,
  // not a failure to show.
  ResponseList reply;
  if (!ExecuteQuiet(session.Connection, "AT+CMGR=%d", &reply, index))
    return DeletionOutcome::kChangedOnPhone;
  const std::optional<std::string> found = ParseReadReply(reply);
  if (!found || !SameHex(*found, message.pdu)) return DeletionOutcome::kChangedOnPhone;
  return Execute(session.Connection, "AT+CMGD=%d", nullptr, index) ? DeletionOutcome::kDeleted
                                                                   : DeletionOutcome::kNotDeleted;
}

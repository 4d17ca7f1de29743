#pragma once
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/at_engine.h"
#include "link/connection.h"
#include "phone/progress.h"
#include "phonebook/phone_book_storage.h"
#include "settings/model_profile.h"
#include "sms/message_rendering.h"

// The phone's message memories and the messages listed from them, as the SMS view shows them:
// one folder per kind of status, the storages of the three parameters of +CPMS, and which of
// them the phone has selected.

// One message memory of the phone (SM, ME, ...).
struct SMSStorage {
  explicit SMSStorage(std::string code);
  // The description message's text, the code filled in for an unknown kind.
  std::string Description() const;

  std::string Name;  // the storage's code
  int32_t DescriptionMessage = 0;
  int32_t Total = 0;
  int32_t Used = 0;
};

// The folders, by the status the phone lists a message with.
enum MessageFolder : int32_t {
  kReceivedFolder = 0,  // statuses 0 and 1
  kUnsentFolder = 1,    // 2
  kSentFolder = 2,      // 3
  kOtherFolder = 3,     // any other
};
constexpr size_t kFolderCount = 4;
constexpr size_t kStorageParameterCount = 3;  // read and delete; write and send; receive
constexpr size_t kStatusCount = 64;
using StatusSet = std::bitset<kStatusCount>;

// What a listing shows the user: its progress, and each message it cannot decode (its header
// line and PDU), which it then leaves out.
class CMessageListUser : public CProgress {
 public:
  virtual void ShowUndecodable(const std::string& header, const std::string& pdu) = 0;
};

// What listing needs of the open phone: its link, its model (one model lists unsent messages
// as received), its phone book, which names the senders, and the user who sees it run.
struct SMSSession {
  CConnection& Connection;
  const ModelProfile* Profile;
  const std::vector<std::unique_ptr<PhoneBookStorage>>& PhoneBook;
  CMessageListUser& User;
};

// The status list of "AT+CMGL=?", without its parentheses: "0-4", "0,1,2,3".
bool ParseRangeList(std::string_view text, StatusSet& statuses);

// The positions in a list of storages that "all storages" lists, in order: each message once,
// and only short messages. MT is SM and ME together (GSM 07.05): beside both of them it would
// bring their messages a second time, and beside only one it alone reaches the other, so it
// stands for that one. BM holds cell broadcasts, which no SMS PDU decoder reads.
std::vector<int32_t> StoragesOfAll(const std::vector<std::unique_ptr<SMSStorage>>& list);

// The PDU line of the answer to "AT+CMGR=%d" in PDU mode; none when the answer holds no message.
std::optional<std::string> ParseReadReply(const ResponseList& lines);

// What became of a listed message the user asked to delete.
enum class DeletionOutcome {
  kDeleted,
  // Its location holds another message, or none, or the phone would not read it: nothing was
  // deleted.
  kChangedOnPhone,
  // The phone refused to select its storage or to delete it, and the engine said so.
  kNotDeleted,
};

class CMessageStores {
 public:
  // Puts the phone into PDU mode, learns its statuses and storages and lists the messages.
  void DiscoverStorages(const SMSSession& session);
  // Reads from "AT+CPMS?" which storage each parameter has and how full it is; the first one's
  // is then the one selected in the phone.
  void ReadCurrentStorages(const SMSSession& session);
  // Selects storage `index` of list 0 (negative: the chosen one) with the current storages of
  // the other two parameters. False when the phone refused or the storages of the other two
  // are not known (then nothing is sent, as the command would change them).
  bool SelectStorages(const SMSSession& session, int32_t index);
  // Lists every chosen storage again, under a wait box.
  void ReadMessages(const SMSSession& session);
  void ListStorage(const SMSSession& session);
  void ListStatus(const SMSSession& session, int32_t status, bool filter);
  // Deletes the message from its storage, but only when its location still holds the very PDU
  // it was listed with: the phone may have dropped it and stored a new one there since.
  DeletionOutcome DeleteListed(const SMSSession& session, const CSMSMessage& message);

  // Whether selection [0] stands for all storages of list 0, one after the other.
  bool AllStorages() const { return selection[0] == static_cast<int32_t>(storages[0].size()); }

  StatusSet statuses;
  std::array<MessageList, kFolderCount> folders;
  std::array<std::vector<std::unique_ptr<SMSStorage>>, kStorageParameterCount> storages;
  // The list 0 index last selected in the phone, which listed messages record; -1 when the
  // phone may have any storage selected.
  int32_t SelectedInPhone() const { return selection[kSelectedInPhone]; }
  void ForgetSelectedInPhone() { selection[kSelectedInPhone] = -1; }

  // [0] to [2]: the chosen storage of each list, -1 unknown; [0] may be the length of list 0
  // (all). The last one is SelectedInPhone().
  static constexpr size_t kSelectedInPhone = kStorageParameterCount;
  std::array<int32_t, kStorageParameterCount + 1> selection = {-1, -1, -1, 0};
};

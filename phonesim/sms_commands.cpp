#include <algorithm>
#include <cctype>
#include <climits>

#include "phonesim/pdu.h"
#include "phonesim/phone.h"

namespace PhoneSim {
namespace {

using Form = AtCommand::Form;

constexpr int kErrNotAllowed = 302;
constexpr int kErrNotSupported = 303;
constexpr int kErrBadPdu = 304;
constexpr int kErrInvalidIndex = 321;
constexpr int kErrMemoryFull = 322;
constexpr int kStatusAll = 4;
constexpr int kLongestTpdu = 164;

constexpr int kReceivedUnread = 0;
constexpr int kReceivedRead = 1;
constexpr int kStoredUnsent = 2;
constexpr int kStoredSent = 3;

Direction DirectionOf(int status) {
  return status <= kReceivedRead ? Direction::ToPhone : Direction::FromPhone;
}

size_t TpduLength(const StoredMessage& message) {
  const auto facts = InspectPdu(message.pdu, DirectionOf(message.status));
  return facts ? facts->tpduLength : 0;
}

std::string UpperHex(std::string_view hex) {
  std::string out(hex);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// AT+CMGD's <delflag>: which statuses a bulk deletion removes.
bool DeletedByFlag(int flag, int status) {
  switch (flag) {
    case 1: return status == kReceivedRead;
    case 2: return status == kReceivedRead || status == kStoredSent;
    case 3: return status != kReceivedUnread;
    default: return true;
  }
}

}  // namespace

MessageStorage& CPhone::Memory(int which) {
  return m_state.messageStorages.at(m_memories.at(which));
}

std::vector<CPhone::Part> CPhone::Parts(int which) {
  MessageStorage& selected = Memory(which);
  const auto shape =
      std::find_if(m_profile.messageStorages.begin(), m_profile.messageStorages.end(),
                   [&selected](const MessageStorageShape& s) { return s.name == selected.name; });
  if (shape == m_profile.messageStorages.end() || shape->shows.empty()) return {{&selected, 0}};
  std::vector<Part> parts;
  int offset = 0;
  for (const std::string& name : shape->shows) {
    for (MessageStorage& storage : m_state.messageStorages) {
      if (storage.name != name) continue;
      parts.push_back({&storage, offset});
      offset += storage.size;
    }
  }
  return parts;
}

std::optional<std::pair<MessageStorage*, int>> CPhone::Locate(int which, int index) {
  for (const Part& part : Parts(which)) {
    if (index > part.offset && index <= part.offset + part.storage->size)
      return std::pair{part.storage, index - part.offset};
  }
  return std::nullopt;
}

std::string CPhone::StorageCounts(int which) {
  size_t used = 0;
  int size = 0;
  for (const Part& part : Parts(which)) {
    used += part.storage->messages.size();
    size += part.storage->size;
  }
  return std::to_string(used) + "," + std::to_string(size);
}

Reply CPhone::MessageFormat(const AtCommand& c) {
  switch (c.form) {
    case Form::Test: return Reply{{"+CMGF: (0)"}, "OK", false};
    case Form::Query: return Reply{{"+CMGF: 0"}, "OK", false};
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  if (!args || args->size() != 1) return Error();
  if (NumberArgument(*args, 0, 0, 0)) return {};
  return NumberArgument(*args, 0, 1, 1) ? SmsError(kErrNotSupported) : Error();
}

Reply CPhone::MessageService(const AtCommand& c) {
  switch (c.form) {
    case Form::Test: return Reply{{"+CSMS: (0)"}, "OK", false};
    case Form::Query: return Reply{{"+CSMS: 0,1,1,1"}, "OK", false};
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  if (!args || !NumberArgument(*args, 0, 0, 0)) return SmsError(kErrNotSupported);
  return Reply{{"+CSMS: 1,1,1"}, "OK", false};
}

Reply CPhone::ServiceCentre(const AtCommand& c) {
  switch (c.form) {
    case Form::Test: return {};
    case Form::Query: {
      const std::string& number = m_state.serviceCentre;
      const int type = number.starts_with('+') ? 145 : 129;
      return Reply{{"+CSCA: \"" + number + "\"," + std::to_string(type)}, "OK", false};
    }
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  if (!args || args->empty() || args->size() > 2 || !IsDialString((*args)[0].text)) return Error();
  m_state.serviceCentre = (*args)[0].text;
  return {};
}

Reply CPhone::Storages(const AtCommand& c) {
  if (c.form == Form::Test) {
    std::string list;
    for (const MessageStorage& storage : m_state.messageStorages) {
      list += (list.empty() ? "" : ",") + Quoted(storage.name, false);
    }
    return Reply{{"+CPMS: (" + list + "),(" + list + "),(" + list + ")"}, "OK", false};
  }
  if (c.form == Form::Query) {
    std::string line = "+CPMS: ";
    for (int which = 0; which < 3; ++which) {
      line += (which ? "," : "") + Quoted(Memory(which).name, false) + "," + StorageCounts(which);
    }
    return Reply{{line}, "OK", false};
  }
  if (c.form != Form::Set) return Error();
  const auto args = ParseArguments(c.arguments);
  if (!args || args->empty() || args->size() > 3) return Error();
  std::array<size_t, 3> chosen = m_memories;
  for (size_t which = 0; which < args->size(); ++which) {
    const std::string& wanted = UpperHex((*args)[which].text);
    bool found = false;
    for (size_t i = 0; i < m_state.messageStorages.size() && !found; ++i) {
      found = m_state.messageStorages[i].name == wanted;
      if (found) chosen[which] = i;
    }
    if (!found) return SmsError(kErrNotAllowed);
  }
  m_memories = chosen;
  return Reply{{"+CPMS: " + StorageCounts(0) + "," + StorageCounts(1) + "," + StorageCounts(2)},
               "OK",
               false};
}

// Listing or reading a received unread message makes it read, as GSM 07.05 asks.
Reply CPhone::ListMessages(const AtCommand& c) {
  if (c.form == Form::Test) return Reply{{"+CMGL: (" + m_profile.statusList + ")"}, "OK", false};
  if (c.form == Form::Query) return Error();
  int wanted = kReceivedUnread;
  if (c.form == Form::Set) {
    const auto args = ParseArguments(c.arguments);
    const auto status = args ? NumberArgument(*args, 0, 0, kStatusAll) : std::nullopt;
    if (!status || args->size() != 1) return SmsError(kErrBadPdu);
    if (std::find(m_profile.statuses.begin(), m_profile.statuses.end(), *status) ==
        m_profile.statuses.end()) {
      return SmsError(kErrBadPdu);
    }
    wanted = *status;
  }
  Reply reply;
  for (const Part& part : Parts(0)) {
    for (auto& [index, message] : part.storage->messages) {
      if (wanted != kStatusAll && message.status != wanted) continue;
      reply.lines.push_back("+CMGL: " + std::to_string(part.offset + index) + "," +
                            std::to_string(ListedStatus(m_profile, message.status)) + ",," +
                            std::to_string(TpduLength(message)));
      reply.lines.push_back(message.pdu);
      if (message.status == kReceivedUnread) message.status = kReceivedRead;
    }
  }
  return reply;
}

Reply CPhone::ReadMessage(const AtCommand& c) {
  if (c.form == Form::Test) return {};
  if (c.form != Form::Set) return Error();
  const auto args = ParseArguments(c.arguments);
  if (!args || args->size() != 1) return Error();
  const auto index = NumberArgument(*args, 0, 1, INT_MAX);
  const auto location = index ? Locate(0, *index) : std::nullopt;
  if (!location || !location->first->messages.contains(location->second))
    return SmsError(kErrInvalidIndex);
  StoredMessage& message = location->first->messages[location->second];
  Reply reply{{"+CMGR: " + std::to_string(ListedStatus(m_profile, message.status)) + ",," +
                   std::to_string(TpduLength(message)),
               message.pdu},
              "OK",
              false};
  if (message.status == kReceivedUnread) message.status = kReceivedRead;
  return reply;
}

Reply CPhone::DeleteMessage(const AtCommand& c) {
  if (c.form == Form::Test) {
    std::string used;
    for (const Part& part : Parts(0)) {
      for (const auto& entry : part.storage->messages)
        used += (used.empty() ? "" : ",") + std::to_string(part.offset + entry.first);
    }
    return Reply{{"+CMGD: (" + used + "),(0-4)"}, "OK", false};
  }
  if (c.form != Form::Set) return Error();
  const auto args = ParseArguments(c.arguments);
  if (!args || args->empty() || args->size() > 2) return Error();
  const auto index = NumberArgument(*args, 0, 1, INT_MAX);
  const auto location = index ? Locate(0, *index) : std::nullopt;
  if (!location) return SmsError(kErrInvalidIndex);
  int flag = 0;
  if (args->size() == 2) {
    const auto given = NumberArgument(*args, 1, 0, 4);
    if (!given) return Error();
    flag = *given;
  }
  if (flag == 0) {
    location->first->messages.erase(location->second);
    return {};
  }
  for (const Part& part : Parts(0)) {
    std::erase_if(part.storage->messages,
                  [flag](const auto& entry) { return DeletedByFlag(flag, entry.second.status); });
  }
  return {};
}

Reply CPhone::SendMessage(const AtCommand& c) {
  if (c.form == Form::Test) return {};
  if (c.form != Form::Set) return Error();
  const auto args = ParseArguments(c.arguments);
  const auto length = args ? NumberArgument(*args, 0, 1, kLongestTpdu) : std::nullopt;
  if (!length || args->size() != 1) return Error();
  m_pendingLength = *length;
  m_pendingSend = true;
  return Reply{{}, "", true};
}

Reply CPhone::WriteMessage(const AtCommand& c) {
  if (c.form == Form::Test) return {};
  if (c.form != Form::Set) return Error();
  const auto args = ParseArguments(c.arguments);
  const auto length = args ? NumberArgument(*args, 0, 1, kLongestTpdu) : std::nullopt;
  if (!length || args->size() > 2) return Error();
  int status = kStoredUnsent;
  if (args->size() == 2) {
    const auto given = NumberArgument(*args, 1, kReceivedUnread, kStoredSent);
    if (!given) return Error();
    status = *given;
  }
  m_pendingLength = *length;
  m_pendingSend = false;
  m_pendingStatus = status;
  return Reply{{}, "", true};
}

Reply CPhone::HandlePdu(std::string_view hex, bool cancelled) {
  const int length = m_pendingLength;
  m_pendingLength = -1;
  if (cancelled) return {};
  const Direction direction = m_pendingSend ? Direction::FromPhone : DirectionOf(m_pendingStatus);
  const auto facts = InspectPdu(hex, direction);
  if (!facts || static_cast<int>(facts->tpduLength) != length) return SmsError(kErrBadPdu);
  return m_pendingSend ? Send(UpperHex(hex)) : Write(UpperHex(hex));
}

// The phone numbers what it hands to the network itself, whatever TP-MR the PDU carried.
Reply CPhone::Send(std::string_view hex) {
  const int reference = m_state.nextReference;
  m_state.nextReference = (reference + 1) & 0xFF;
  m_state.sent.push_back({reference, WithMessageReference(hex, static_cast<uint8_t>(reference))});
  return Reply{{"+CMGS: " + std::to_string(reference)}, "OK", false};
}

Reply CPhone::Write(std::string_view hex) {
  for (const Part& part : Parts(1)) {
    for (int index = 1; index <= part.storage->size; ++index) {
      if (part.storage->messages.contains(index)) continue;
      part.storage->messages[index] = StoredMessage{m_pendingStatus, std::string(hex)};
      return Reply{{"+CMGW: " + std::to_string(part.offset + index)}, "OK", false};
    }
  }
  return SmsError(kErrMemoryFull);
}

}  // namespace PhoneSim

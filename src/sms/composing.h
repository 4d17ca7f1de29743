#pragma once
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "link/connection.h"
#include "phonebook/phone_book_storage.h"
#include "settings/model_profile.h"
#include "sms/sms_message.h"

// Composing short messages without the host: destinations resolved through the phone book,
// SMS-SUBMIT PDUs built for each of them, and their transmission with "AT+CMGS" or "AT+CMGW".
// Whatever must be asked of or told to the user goes through CComposeUser, which the dialogs
// supply and tests script.

using PhoneBook = std::vector<std::unique_ptr<PhoneBookStorage>>;

// The PDUs for one destination, one a part, in part order.
struct OutgoingMessage {
  std::string destination;
  std::vector<std::string> pdus;
};

// How far a transmission came before the phone refused or the link failed: the destinations
// that had the whole message, and of the one it stopped at, how many of its parts went.
struct StoppedTransmission {
  std::vector<std::string> whole;
  std::string destination;
  size_t partsTaken = 0;
  size_t parts = 0;
};

class CComposeUser {
 public:
  virtual ~CComposeUser() = default;
  // The text is empty: true sends it all the same.
  virtual bool ConfirmEmpty() = 0;
  // The text spends `length` of the `singleLimit` a single message holds: true sends it in
  // `parts` messages.
  virtual bool ConfirmParts(size_t length, size_t singleLimit, size_t parts) = 0;
  // Several phone-book entries fit a destination: the position of the chosen item, or -1.
  virtual int ChooseCandidate(const std::vector<std::string>& items) = 0;
  // No phone-book entry fits `destination`.
  virtual void ReportUnresolved(const std::string& destination) = 0;
  // The phone-book entry chosen for a destination holds `number`, which is no number a message
  // can go to: digits with an optional leading "+".
  virtual void ReportNotANumber(const std::string& number) = 0;
  // Nothing more is transmitted: the phone's line, the link's reason, or the destination whose
  // message cannot be encoded.
  virtual void ReportFailure(bool save, const std::string& reason) = 0;
  // The transmission stopped after the phone had taken some of it, for `reason`.
  virtual void ReportStopped(bool save, const StoppedTransmission& stopped,
                             const std::string& reason) = 0;
  virtual void ReportDone(bool save) = 0;
};

// What composing needs of the open phone.
struct ComposeContext {
  CConnection& connection;
  const ModelProfile* profile;
  const PhoneBook& phoneBook;
  CComposeUser& user;
  // The next concatenation reference (see TakeConcatReference).
  uint32_t& nextReference;
};

// The message text on the dialog's five editor lines and back. A CR LF pair is one line break;
// the lines of a longer text beyond the fifth go on the fifth, separated by spaces, so nothing
// of it is lost. Trailing line breaks are not kept.
constexpr size_t kEditorLines = 5;
std::array<std::string, kEditorLines> EditorLines(const std::string& text);
std::string TextOfLines(const std::array<std::string, kEditorLines>& lines);

// Turns a destination into a number: a typed number with spaces, parentheses or hyphens in it
// loses them, and a "(0)" after an international number's country code; "Name (+49171...)"
// gives the number in parentheses; anything else is looked for among the phone book's names
// (which must begin with it, as a pattern when it is one, ignoring case) and numbers (which
// must contain it), and the number found is cleaned the same way. False when nothing fits, no
// candidate is chosen, or the number found is none a message can go to ("*100#").
bool Resolve(const PhoneBook& phoneBook, std::string& destination, CComposeUser& user);

// The PDUs of the record for one destination, appended to `messages`. The coding follows the
// text (UCS2 where the stored one cannot carry it) and a long text is cut into concatenated
// parts, which the user confirms for the first destination only. False when the user declines or
// the message cannot be encoded.
bool Build(CSMSMessage& message, const std::string& destination,
           std::vector<OutgoingMessage>& messages, bool save, bool notFirst,
           const ComposeContext& context);

// Resolves every destination that is not a number (in place) and, unless `checkOnly`, builds the
// PDUs of all of them in order; saving without a destination keeps one message without
// recipient. The record's `wideText` is the text to send.
bool Prepare(CSMSMessage& message, std::vector<std::string>& destinations,
             std::vector<OutgoingMessage>& messages, bool save, bool checkOnly,
             const ComposeContext& context);

// The octets of a PDU line after its service-centre address field: what "AT+CMGS=n" announces.
size_t TpduLength(const std::string& pdu);

// Hands the messages' PDUs to the phone in order. The first one the phone refuses (at its prompt
// or after the PDU), or a link that fails, ends the transmission: with nothing taken before it
// the reason is reported as a failure, else as a stop that says what went. `taken` counts the
// PDUs taken. True when every PDU was taken.
bool Transmit(const std::vector<OutgoingMessage>& messages, bool save,
              const ComposeContext& context, size_t* taken = nullptr);

#pragma once
#include <string>
#include <vector>

#include "sms/composing.h"

// The host's side of composing: the message dialog, the recipients menu and the boxes that
// CComposeUser stands for.

class CFarComposeUser : public CComposeUser {
 public:
  bool ConfirmEmpty() override;
  bool ConfirmParts(size_t length, size_t singleLimit, size_t parts) override;
  int ChooseCandidate(const std::vector<std::string>& items) override;
  void ReportUnresolved(const std::string& destination) override;
  void ReportNotANumber(const std::string& number) override;
  void ReportFailure(bool save, const std::string& reason) override;
  void ReportStopped(bool save, const StoppedTransmission& stopped,
                     const std::string& reason) override;
  void ReportDone(bool save) override;
};

// The lines of the box for a transmission that stopped part-way: the destinations that had the
// whole message, the parts that went to the one it stopped at, the part that did not, and why.
std::vector<std::string> StoppedLines(bool save, const StoppedTransmission& stopped,
                                      const std::string& reason);

// Edits the record in the message dialog and sends or saves it. True when the phone took
// something (even when it refused a later part) or there was nothing to hand it, so the caller
// lists the messages again; false when cancelled or nothing was taken. The destinations and text
// of what went out become `LastPhoneSMSSent` and `LastTextSMSSent`.
bool Compose(CSMSMessage& message, CConnection& connection, const ModelProfile* profile,
             const PhoneBook& phoneBook);

// The recipients menu: Ins picks from the phone book, Ctrl+Ins types a number, Del removes.
void DestinationsMenu(std::vector<std::string>& destinations, const PhoneBook& phoneBook);
// Every phone-book entry as "name (number)", sorted; empty when none is chosen.
std::string PickFromPhoneBook(const PhoneBook& phoneBook);
// A recipient typed, with Find resolving it; empty when cancelled.
std::string AddNumberDialog(const PhoneBook& phoneBook);

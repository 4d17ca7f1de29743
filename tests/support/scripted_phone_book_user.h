#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/link_user.h"
#include "phone/progress.h"
#include "phonebook/entry_editing.h"

// The person at the phone-book panel, played by a test, who is also the link's partner and
// watches the listings: every question and report, and every command the phone refused, goes
// into one log in the order it came; the answers are the ones the test set.
class CScriptedPhoneBookUser : public CPhoneBookUser,
                               public CLinkUser,
                               public CPhoneBookListingUser {
 public:
  // The create or edit dialog as the user fills it in; false cancels it. `giveIndex` is null
  // where the dialog has no such check box.
  using EntryAnswer = std::function<bool(PhoneBookEntry& entry, int32_t& index, bool* giveIndex)>;

  ~CScriptedPhoneBookUser() override {
    EXPECT_TRUE(entryAnswers.empty()) << entryAnswers.size() << " dialog answers left unused";
    EXPECT_EQ(m_savedScreens, 0) << "a saved screen was not restored";
  }

  int ItemCount() override { return items; }
  std::vector<size_t> SelectedPositions() override { return selected; }
  void Refresh() override { ++refreshes; }

  bool AskNewEntry(PhoneBookEntry& entry, int32_t& index, bool* giveIndex,
                   const PhoneBookStorage&) override {
    log.push_back("new entry " + std::to_string(index) + (giveIndex ? "?" : ""));
    return Answer(entry, index, giveIndex);
  }
  bool AskEditedEntry(PhoneBookEntry& entry, const PhoneBookStorage&) override {
    log.push_back("edit entry " + std::to_string(entry.Index));
    int32_t index = entry.Index;
    return Answer(entry, index, nullptr);
  }
  void TellCannotSend(const std::string& carrier) override {
    log.push_back(carrier.empty() ? "cannot send" : "cannot send, " + carrier + " can");
  }
  void TellStorageFull() override { log.push_back("storage full"); }
  void TellOutOfRange(const PhoneBookStorage& storage) override {
    log.push_back("out of range " + std::to_string(storage.MinIndex) + "-" +
                  std::to_string(storage.MaxIndex));
  }
  TakenIndexChoice AskWhenTaken(int32_t index) override {
    log.push_back("taken " + std::to_string(index));
    return whenTaken;
  }
  void TellRenumberProblem(RenumberProblem problem) override {
    log.push_back(problem == RenumberProblem::NoSpare ? "no spare" : "entries kept");
  }
  void TellChangedOnPhone() override { log.push_back("changed on phone"); }
  bool ConfirmDelete(size_t count) override {
    log.push_back("delete " + std::to_string(count) + "?");
    return confirmDelete;
  }
  bool AskStopImport() override {
    log.push_back("stop import?");
    return stopImport;
  }
  void TellTooManyContacts(size_t limit) override {
    log.push_back("too many contacts " + std::to_string(limit));
  }
  void SaveScreen() override { ++m_savedScreens; }
  void RestoreScreen() override { --m_savedScreens; }

  bool KeepWaiting(int) override {
    log.push_back("keep waiting?");
    return false;
  }
  void ShowCommandError(const std::string& command, const std::string&) override {
    log.push_back("refused " + command);
  }
  std::string Text(LinkText) override { return "link failure"; }
  void LogTraffic(const void*, size_t) override {}
  std::optional<std::string> AskSimPin(const std::string&) override {
    log.push_back("sim pin?");
    return std::nullopt;
  }
  void ShowSimBlocked(const std::string& command, const std::string&) override {
    log.push_back("blocked " + command);
  }

  void Show(const std::string& text) override { progress.push_back(text); }
  void Hide() override {}
  void TellUnreadableEntries(const std::string& first, size_t count) override {
    log.push_back("unreadable " + std::to_string(count) + ": " + first);
  }

  std::deque<EntryAnswer> entryAnswers;
  TakenIndexChoice whenTaken = TakenIndexChoice::Cancel;
  bool confirmDelete = true;
  bool stopImport = true;
  int items = 1;
  std::vector<size_t> selected;
  int refreshes = 0;
  std::vector<std::string> log;
  std::vector<std::string> progress;

 private:
  bool Answer(PhoneBookEntry& entry, int32_t& index, bool* giveIndex) {
    if (entryAnswers.empty()) {
      ADD_FAILURE() << "a dialog nobody answers";
      return false;
    }
    const EntryAnswer answer = std::move(entryAnswers.front());
    entryAnswers.pop_front();
    return answer(entry, index, giveIndex);
  }

  int m_savedScreens = 0;
};

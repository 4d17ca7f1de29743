#pragma once
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "link/at_engine.h"
#include "link/link_user.h"

// A phone whose reply reaches the serial link in pieces. A piece goes out once the link has
// handed every byte before it to the AT engine (so it cannot have been read in the same block),
// or, marked `atPrompt`, only when the link has waited out its time-out and asks whether to
// keep waiting. The user records what the transcript gets.
struct ReplyPiece {
  std::string bytes;
  bool atPrompt = false;
};

struct PiecewiseCase {
  const char* name;
  std::vector<ReplyPiece> pieces;
  ResponseList responses;  // what ExecuteQuiet collects, the failing line last
  bool ok = true;          // the final result
};

inline void PrintTo(const PiecewiseCase& reply, std::ostream* out) { *out << reply.name; }

inline std::vector<ReplyPiece> OneBytePieces(const std::string& reply) {
  std::vector<ReplyPiece> pieces;
  for (char byte : reply) pieces.push_back({std::string(1, byte)});
  return pieces;
}

inline const std::string kEntry = "+CPBR: 1,\"+447700900001\",145,\"Anna\"";

inline const PiecewiseCase kPiecewiseCases[] = {
    {"AllAtOnce", {{"\r\n" + kEntry + "\r\n\r\nOK\r\n"}}, {kEntry}},
    {"SplitInsideALine",
     {{"\r\n+CPBR: 1,\"+4477"}, {"00900001\",145,\"Anna\"\r\n\r\nOK\r\n"}},
     {kEntry}},
    {"SplitBetweenReturnAndLineFeed", {{"\r\n" + kEntry + "\r"}, {"\n\r\nOK\r\n"}}, {kEntry}},
    {"FinalResultSplit", {{"\r\n" + kEntry + "\r\n\r\nO"}, {"K\r\n"}}, {kEntry}},
    {"OneBytePerPiece", OneBytePieces("\r\n" + kEntry + "\r\n\r\nOK\r\n"), {kEntry}},
    {"RingBetweenPieces",
     {{"\r\n" + kEntry + "\r\n"}, {"\r\nRING\r\n"}, {"\r\n+CPBR: 2,\"1\",129,\"B\"\r\n\r\nOK\r\n"}},
     {kEntry, "+CPBR: 2,\"1\",129,\"B\""}},
    {"ErrorAfterAPiece",
     {{"\r\n" + kEntry + "\r\n"}, {"\r\n+CME ERROR: 21\r\n"}},
     {kEntry, "+CME ERROR: 21"},
     false},
    {"RestAfterTheTimeoutPrompt", {{"\r\n" + kEntry + "\r\n"}, {"\r\nOK\r\n", true}}, {kEntry}},
    {"EverythingAfterTheTimeoutPrompt", {{"\r\n" + kEntry + "\r\n\r\nOK\r\n", true}}, {kEntry}},
};

class CPiecewisePhoneUser : public CLinkUser {
 public:
  using Writer = std::function<bool(const std::string&)>;

  CPiecewisePhoneUser(const std::string& command, std::vector<ReplyPiece> pieces, Writer phone)
      : m_pieces(std::move(pieces)), m_phone(std::move(phone)) {
    m_due = command.size() + 1;  // the command line with its carriage return is logged first
    SendDuePieces();
  }

  bool KeepWaiting(int) override {
    ++m_prompts;
    if (m_next == m_pieces.size() || !m_pieces[m_next].atPrompt) return false;
    Send();
    SendDuePieces();
    return true;
  }
  void ShowCommandError(const std::string&, const std::string& reason) override {
    m_errors.push_back(reason);
  }
  std::string Text(LinkText) override { return "link failure"; }
  std::optional<std::string> AskSimPin(const std::string&) override { return std::nullopt; }
  void ShowSimBlocked(const std::string&, const std::string& reason) override {
    m_errors.push_back(reason);
  }
  void LogTraffic(const void* bytes, size_t count) override {
    m_transcript.append(static_cast<const char*>(bytes), count);
    SendDuePieces();
  }

  const std::string& Transcript() const { return m_transcript; }
  int Prompts() const { return m_prompts; }
  const std::vector<std::string>& Errors() const { return m_errors; }
  bool AllSent() const { return m_next == m_pieces.size(); }

 private:
  void SendDuePieces() {
    while (m_next < m_pieces.size() && !m_pieces[m_next].atPrompt && m_transcript.size() >= m_due) {
      Send();
    }
  }
  void Send() {
    const std::string& bytes = m_pieces[m_next++].bytes;
    EXPECT_TRUE(m_phone(bytes)) << "the phone could not write a piece";
    m_due += bytes.size();
  }

  std::vector<ReplyPiece> m_pieces;
  Writer m_phone;
  size_t m_next = 0;
  size_t m_due = 0;  // transcript length at which the next piece goes out
  std::string m_transcript;
  std::vector<std::string> m_errors;
  int m_prompts = 0;
};

inline std::string WholeReply(const PiecewiseCase& reply) {
  std::string whole;
  for (const ReplyPiece& piece : reply.pieces) whole += piece.bytes;
  return whole;
}

inline int PromptsIn(const PiecewiseCase& reply) {
  int prompts = 0;
  for (const ReplyPiece& piece : reply.pieces) prompts += piece.atPrompt ? 1 : 0;
  return prompts;
}

// Runs AT+CPBR=1,5 over `link` (whose user is `user`) and checks the reply and the transcript.
inline void ExpectPiecewiseReply(CConnection& link, const CPiecewisePhoneUser& user,
                                 const PiecewiseCase& reply) {
  ResponseList responses;
  EXPECT_EQ(ExecuteQuiet(link, "AT+CPBR=1,5", &responses), reply.ok);
  EXPECT_EQ(responses, reply.responses);
  EXPECT_TRUE(user.AllSent());
  EXPECT_EQ(user.Prompts(), PromptsIn(reply)) << "the link waited for bytes that were there";
  // A line feed that had not arrived with the final result's carriage return is left for the
  // next read, as a phone may end its lines with carriage returns alone: it is read here, so
  // that it neither goes missing from this transcript nor starts the next test's.
  const std::string whole = "AT+CPBR=1,5\r" + WholeReply(reply);
  if (user.Transcript().size() + 1 == whole.size() && whole.back() == '\n') {
    std::string lineFeed;
    ReadBytes(link, 1, lineFeed);
  }
  EXPECT_EQ(user.Transcript(), whole) << "the transcript must hold every byte once, in order";
}

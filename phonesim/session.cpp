#include "phonesim/session.h"

#include "phonesim/at_command.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

namespace PhoneSim {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr char kEscape = 0x1B;
constexpr char kBackspace = 0x08;
constexpr int kLongestSplit = 16;
constexpr auto kSplitPause = std::chrono::milliseconds(2);
constexpr size_t kPacedPiecesPerSecond = 500;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return std::string(text);
}

// Every CR LF of a framed answer becomes CR alone; the text of a reply holds no line ends.
std::string WithoutLineFeeds(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r')) out.push_back(text[i]);
  }
  return out;
}

}  // namespace

CSession::CSession(CPort& port, CPhone& phone, Faults faults, CTranscript* transcript,
                   CChangeFile* changes)
    : m_port(port),
      m_phone(phone),
      m_faults(std::move(faults)),
      m_transcript(transcript),
      m_changes(changes),
      m_random(m_faults.splitSeed.value_or(0)) {
  for (const Refusal& refusal : m_faults.refusals) m_refusalsLeft.push_back(refusal.times);
}

void CSession::Run(const std::function<bool()>& stop, int pollMs) {
  while (!m_closed && !stop()) {
    std::string bytes;
    const ReadOutcome outcome = m_port.Read(bytes, pollMs);
    if (outcome == ReadOutcome::Closed) break;
    if (outcome == ReadOutcome::Data) Receive(bytes);
    if (outcome == ReadOutcome::TimedOut && m_changes) m_changes->Take();
  }
}

// The echo of a piece goes out before the answer to a line the piece completes, and in one
// write, as a phone echoes what it has just taken in.
void CSession::Receive(std::string_view bytes) {
  PaceReceived(bytes.size());
  if (m_transcript) m_transcript->Received(bytes);
  std::string echo;
  const auto flushEcho = [&] {
    Send(echo);
    echo.clear();
  };
  for (size_t i = 0; i < bytes.size() && !m_closed; ++i) {
    const char c = bytes[i];
    if (m_phone.Echo() && !m_silent) echo.push_back(c);
    if (m_phone.AwaitsPdu()) {
      if (c == kCtrlZ || c == kEscape) {
        flushEcho();
        TakePdu(c == kEscape);
      } else {
        m_pending.push_back(c);
      }
    } else if (c == '\r') {
      flushEcho();
      TakeLine();
    } else if (c == kBackspace) {
      if (!m_pending.empty()) m_pending.pop_back();
    } else if (c != '\n') {
      m_pending.push_back(c);
    }
  }
  flushEcho();
}

void CSession::TakeLine() {
  const std::string line = std::move(m_pending);
  m_pending.clear();
  if (m_changes) m_changes->Take();
  if (m_silent || !SplitCommandLine(line)) return;  // not a command: the phone ignores it
  ++m_commands;
  if (const Refusal* refusal = Refuses(line)) {
    Answer(Reply{{}, refusal->reply, false});
  } else if (LosesWrite(line)) {
    Answer(Reply{});
  } else {
    Answer(m_phone.HandleLine(line));
  }
}

void CSession::TakePdu(bool cancelled) {
  const std::string hex = Trimmed(m_pending);
  m_pending.clear();
  if (!m_silent) Answer(m_phone.HandlePdu(hex, cancelled));
}

// A refused command is not carried out, as when the phone was busy or the line garbled it.
const Refusal* CSession::Refuses(const std::string& line) {
  const std::string command = Trimmed(line);
  for (size_t i = 0; i < m_faults.refusals.size(); ++i) {
    if (m_refusalsLeft[i] > 0 && m_commands >= m_faults.refusals[i].from &&
        StartsWithIgnoringCase(command, m_faults.refusals[i].command)) {
      --m_refusalsLeft[i];
      return &m_faults.refusals[i];
    }
  }
  return nullptr;
}

bool CSession::LosesWrite(const std::string& line) {
  const auto& lost = m_faults.unstoredWrites;
  if (!lost || m_commands < lost->from || (lost->times > 0 && m_writesLost == lost->times))
    return false;
  const auto commandLine = SplitCommandLine(line);
  const bool writes = commandLine && std::ranges::any_of(commandLine->commands, [](const auto& c) {
                        return c.name == "+CPBW" && c.form == AtCommand::Form::Set;
                      });
  if (writes) ++m_writesLost;
  return writes;
}

std::string CSession::Notices(NoticePlace place) const {
  std::string notices;
  for (const Unsolicited& item : m_faults.unsolicited) {
    const bool due = m_commands == item.command || (item.every > 0 && m_commands > item.command &&
                                                    (m_commands - item.command) % item.every == 0);
    if (due && item.at == place) notices += "\r\n" + item.text + "\r\n";
  }
  return notices;
}

std::string CSession::Framed(const Reply& reply) const {
  std::string text = Notices(NoticePlace::BeforeReply) + FramedAroundNotices(reply);
  if (m_faults.lineEnd == LineEnd::Cr) text = WithoutLineFeeds(text);
  return text;
}

std::string CSession::FramedAroundNotices(const Reply& reply) const {
  if (reply.prompt) return Notices(NoticePlace::BeforePrompt) + CPhone::Frame(reply);
  const std::string notices = Notices(NoticePlace::AfterFirstLine);
  if (notices.empty() || reply.lines.empty()) return notices + CPhone::Frame(reply);
  Reply first = reply;
  first.lines.resize(1);
  first.final.clear();
  const Reply rest{{reply.lines.begin() + 1, reply.lines.end()}, reply.final, false};
  return CPhone::Frame(first) + notices + CPhone::Frame(rest);
}

void CSession::Answer(const Reply& reply) {
  if (m_faults.latencyMs > 0 && m_commands >= m_faults.latencyFrom)
    std::this_thread::sleep_for(std::chrono::milliseconds(m_faults.latencyMs));
  for (const Garbage& noise : m_faults.garbage) {
    if (noise.command == m_commands) Send(noise.bytes);
  }
  const std::string text = Framed(reply);
  if (m_faults.hangUpDuring == m_commands && m_commands > 0 && !reply.prompt) {
    Send(std::string_view(text).substr(0, text.size() / 2));
    HangUp();
    return;
  }
  Send(text);
  if (reply.prompt) return;
  if (m_faults.hangUpAfter == m_commands && m_commands > 0) HangUp();
  if (m_faults.silentAfter == m_commands && m_commands > 0) m_silent = true;
}

void CSession::Send(std::string_view bytes) {
  // An answer starts on an idle line; within it the schedule runs on from piece to piece, so
  // that the time spent writing a piece does not add up over the answer.
  m_sendingUntil = std::max(m_sendingUntil, std::chrono::steady_clock::now());
  while (!bytes.empty() && !m_closed) {
    size_t piece = bytes.size();
    if (m_faults.splitSeed) {
      piece = std::min<size_t>(piece,
                               std::uniform_int_distribution<size_t>(1, kLongestSplit)(m_random));
    }
    if (m_faults.bytesPerSecond > 0) piece = std::min(piece, PacedPiece());
    const std::string_view chunk = bytes.substr(0, piece);
    Pace(chunk.size());
    if (!m_port.Write(chunk)) {
      m_closed = true;
      return;
    }
    if (m_transcript) m_transcript->Sent(chunk);
    bytes.remove_prefix(piece);
    if (m_faults.splitSeed && !bytes.empty()) std::this_thread::sleep_for(kSplitPause);
  }
}

// A line at the rate delivers a byte only once the whole of it has arrived, so a piece is
// written when its last byte would be through, never before; the pieces are small enough
// that the other side sees the answer trickle in as it would on a cable.
size_t CSession::PacedPiece() const {
  return std::max<size_t>(1, static_cast<size_t>(m_faults.bytesPerSecond) / kPacedPiecesPerSecond);
}

void CSession::Pace(size_t bytes) {
  if (m_faults.bytesPerSecond <= 0) return;
  m_sendingUntil += LineTime(bytes);
  std::this_thread::sleep_until(m_sendingUntil);
}

// What the client wrote in one go still takes its time on the line before the phone has it.
void CSession::PaceReceived(size_t bytes) {
  if (m_faults.bytesPerSecond <= 0) return;
  std::this_thread::sleep_for(LineTime(bytes));
}

// Rounded up: the simulated line is never faster than its rate.
std::chrono::microseconds CSession::LineTime(size_t bytes) const {
  const auto rate = static_cast<int64_t>(m_faults.bytesPerSecond);
  return std::chrono::microseconds((static_cast<int64_t>(bytes) * 1'000'000 + rate - 1) / rate);
}

void CSession::HangUp() {
  if (m_transcript) m_transcript->Note("hang-up");
  m_port.HangUp();
  m_hungUp = m_closed = true;
}

}  // namespace PhoneSim

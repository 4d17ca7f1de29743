#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "link/link_user.h"
#include "platform/file.h"

struct PortSettings;

// The byte link to the phone. Failures are thrown as io_error.
class CConnection {
 public:
  explicit CConnection(CLinkUser& user) : m_user(&user) {}
  virtual ~CConnection() = default;
  CConnection(const CConnection&) = delete;
  CConnection& operator=(const CConnection&) = delete;

  // Reads at most `count` bytes and stores in `count` how many arrived.
  virtual void Read(void* buffer, uint32_t& count) = 0;
  virtual void Write(const void* buffer, uint32_t length) = 0;
  // Takes `byte` when it is the next byte and has arrived already; never waits. False when
  // another byte is next or none has arrived.
  virtual bool TakeArrived(char byte) {
    (void)byte;
    return false;
  }

  // Drops what the phone sends until it has been quiet for `quietMs`, so that a late answer
  // (to a command given up on, or to Escape) is not taken for the next command's. The
  // transcript still gets it. Only a link that can tell what has arrived without waiting does
  // anything; the wait ends after kMaxDiscardMs however much the phone goes on sending.
  virtual void DiscardUntilQuiet(uint32_t quietMs) { (void)quietMs; }
  static constexpr uint32_t kMaxDiscardMs = 5000;

  CLinkUser& User() const { return *m_user; }

  // Bytes that went to or came from the phone: they reach the user's transcript at once, or
  // are kept back while the traffic is held.
  void LogTraffic(const void* bytes, size_t count);
  // From now on the traffic is kept back instead of logged, until ReleaseTraffic returns it for
  // the caller to log.
  void HoldTraffic();
  std::string ReleaseTraffic();

 protected:
  // Throws file_io_error with the user's text and the system error of the call that failed.
  [[noreturn]] void Fail(LinkText text, uint32_t code) const;
  [[noreturn]] void FailWithLastError(LinkText text) const;

 private:
  CLinkUser* m_user;
  bool m_holding = false;
  std::string m_held;
};

// A link over an open file, pipe or device. Only its subclasses are ever created.
// Bytes are read from the system in blocks and handed out from a buffer of the link's own, so
// that a caller reading one byte at a time makes no system call for most of them. A byte goes
// to the transcript when it is handed out, not when the block arrives.
class CFileConnection : public CConnection {
 public:
  void Read(void* buffer, uint32_t& count) override;
  void Write(const void* buffer, uint32_t length) override;
  bool TakeArrived(char byte) override;

 protected:
  using CConnection::CConnection;
  // Opens an existing file or device for reading and writing without sharing.
  void Open(const std::string& name);
  // Drops the bytes read from the system and not yet handed out, as if handed out.
  void DiscardBuffered();
  // Puts at least one byte, and at most `capacity`, into `block` and returns how many; throws
  // when none will come. A file or pipe never waits for more than it holds.
  virtual uint32_t Fill(uint8_t* block, uint32_t capacity);

  std::string m_name;
  Platform::CFile m_file;

 private:
  static constexpr uint32_t kBlockSize = 4096;
  std::array<uint8_t, kBlockSize> m_block{};
  uint32_t m_next = 0;  // the first byte of m_block not yet handed out
  uint32_t m_end = 0;   // one past the last byte read into m_block
};

// A COM port, configured from the user's port settings, that asks the user whether to keep
// waiting when the phone falls silent.
class CSerialConnection : public CFileConnection {
 public:
  CSerialConnection(const PortSettings& settings, CLinkUser& user);
  void Write(const void* buffer, uint32_t length) override;
  void DiscardUntilQuiet(uint32_t quietMs) override;

 protected:
  uint32_t Fill(uint8_t* block, uint32_t capacity) override;

 private:
  void Configure();

  const PortSettings* m_settings;
};

// Reads the phone's answers from a named file or pipe; whatever is written to it is dropped.
class CDummyFileConnection : public CFileConnection {
 public:
  CDummyFileConnection(const std::string& name, CLinkUser& user);
  void Write(const void* buffer, uint32_t length) override;
};

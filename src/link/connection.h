#pragma once
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

  CLinkUser& User() const { return *m_user; }

 protected:
  // Throws file_io_error with the user's text and the system error of the call that failed.
  [[noreturn]] void Fail(LinkText text, uint32_t code) const;
  [[noreturn]] void FailWithLastError(LinkText text) const;

 private:
  CLinkUser* m_user;
};

// A link over an open file, pipe or device. Only its subclasses are ever created.
class CFileConnection : public CConnection {
 public:
  void Read(void* buffer, uint32_t& count) override;
  void Write(const void* buffer, uint32_t length) override;

 protected:
  using CConnection::CConnection;
  // Opens an existing file or device for reading and writing without sharing.
  void Open(const std::string& name);

  std::string m_name;
  Platform::CFile m_file;
};

// A COM port, configured from the user's port settings, that asks the user whether to keep
// waiting when the phone falls silent.
class CSerialConnection : public CFileConnection {
 public:
  CSerialConnection(const PortSettings& settings, CLinkUser& user);
  void Read(void* buffer, uint32_t& count) override;
  void Write(const void* buffer, uint32_t length) override;

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

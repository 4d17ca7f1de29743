#pragma once
#include <cstdint>
#include <string>

#include "platform/file.h"

struct PortSettings;

// The byte link to the phone. Failures are thrown as io_error.
class CConnection {
 public:
  // Reads at most `count` bytes and stores in `count` how many arrived.
  virtual void Read(void* buffer, uint32_t& count) = 0;
  virtual ~CConnection() = default;
  virtual void Write(const void* buffer, uint32_t length) = 0;
};

// A link over an open file, pipe or device. Only its subclasses are ever created.
class CFileConnection : public CConnection {
 public:
  void Read(void* buffer, uint32_t& count) override;
  void Write(const void* buffer, uint32_t length) override;

 protected:
  CFileConnection() = default;
  // Opens an existing file or device for reading and writing without sharing.
  void Open(const std::string& name);

  std::string m_name;
  Platform::CFile m_file;
};

// A COM port, configured from the user's port settings, that asks the user whether to keep
// waiting when the phone falls silent.
class CSerialConnection : public CFileConnection {
 public:
  explicit CSerialConnection(const PortSettings& settings);
  void Read(void* buffer, uint32_t& count) override;
  void Write(const void* buffer, uint32_t length) override;

 private:
  void Configure();
  bool UserGivesUp() const;

  const PortSettings* m_settings;
};

// Reads the phone's answers from a named file or pipe; whatever is written to it is dropped.
class CDummyFileConnection : public CFileConnection {
 public:
  explicit CDummyFileConnection(const std::string& name);
  void Write(const void* buffer, uint32_t length) override;
};

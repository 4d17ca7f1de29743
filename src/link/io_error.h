#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

// A broken or timed-out link to the phone: the text the user is shown and the system error
// code at the moment of failure. Handlers catch io_error.
class io_error : public std::runtime_error {
 public:
  io_error(const std::string& message, uint32_t code) : std::runtime_error(message), m_code(code) {}
  uint32_t Code() const { return m_code; }

 private:
  uint32_t m_code;
};

// Thrown by the file-handle links, with the system error of the failed call.
class file_io_error : public io_error {
 public:
  using io_error::io_error;
};

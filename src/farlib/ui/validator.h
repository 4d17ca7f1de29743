#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "farlib/number_format.h"

// Extra checks an edit item runs on the typed text before its storage's own check. A validator
// that refuses tells the user why.
namespace FarLib {

class CFarValidator {
 public:
  virtual ~CFarValidator() = default;
  // `text` sits in a room of `room` bytes and may be shortened in place.
  virtual bool Validate(char* text, size_t room) = 0;
};

class CFarStringValidator : public CFarValidator {
 public:
  using CheckFunction = bool (*)(char* text, size_t room, uint32_t userData);

  CFarStringValidator(CheckFunction check, uint32_t userData)
      : m_check(check), m_userData(userData) {}
  bool Validate(char* text, size_t room) override;

 private:
  CheckFunction m_check;
  uint32_t m_userData;
};

// Accepts a decimal number from `lower` to `upper`, both included; anything else gets a
// warning box with the range (message 178 unless another format is set).
class CFarIntegerRangeValidator : public CFarValidator {
 public:
  CFarIntegerRangeValidator(int32_t lower, int32_t upper, std::string helpTopic = {});
  bool Validate(char* text, size_t room) override;

  // A printf format with two %d: the lower and the upper bound.
  void SetMessageFormat(std::string format) { m_messageFormat = std::move(format); }

 private:
  std::string m_messageFormat;
  std::string m_helpTopic;
  int32_t m_lower;
  int32_t m_upper;
  const CFarNumberFormat* m_format;
};

}  // namespace FarLib

#pragma once
#include <cstdint>
#include <span>

// How an integer storage turns its value into an edit's text and reads it back.
namespace FarLib {

class CFarNumberFormat {
 public:
  virtual ~CFarNumberFormat() = default;
  // Writes the value with its terminating zero, cut to fit the buffer.
  virtual void Format(int32_t value, std::span<char> buffer) const = 0;
  // Reads a number the way scanf does: leading blanks and a sign are allowed and whatever
  // follows the digits is ignored. A value that does not fit 32 bits is no number.
  virtual bool Read(const char* text, int32_t& result) const = 0;
};

// "%d" both ways.
const CFarNumberFormat& DecimalFormat();
// Upper-case hexadecimal out, either case in; the 32 bits of an unsigned value.
const CFarNumberFormat& HexFormat();

}  // namespace FarLib

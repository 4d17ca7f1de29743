#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "farlib/number_format.h"

// Storages bind a dialog item to the program variable it edits: they give the variable as the
// item's text, say whether a typed text can be stored, and store it. Items keep copies of them.
namespace FarLib {

class CFarStorage {
 public:
  virtual ~CFarStorage() = default;
  // Writes the value as text with its terminating zero, cut to fit the room.
  virtual void GetText(std::span<char> room) const = 0;
  virtual void SetText(const char* text) = 0;
  virtual bool CheckText(const char* text) const;
  virtual std::string GetString() const = 0;
  virtual std::unique_ptr<CFarStorage> Clone() const = 0;
};

class CFarTextStorage : public CFarStorage {
 public:
  // A string object.
  explicit CFarTextStorage(std::string& text, bool readOnly = false);
  // A character field of `size` bytes; a negative size takes the current text's length and its
  // terminating zero. The field always keeps a terminating zero, so a longer text is cut.
  CFarTextStorage(char* field, int size, bool readOnly = false);
  // A text shown but never written.
  explicit CFarTextStorage(const char* text);
  // A heap text the variable owns; null reads as empty, setting replaces it with a copy.
  explicit CFarTextStorage(std::unique_ptr<char[]>& text, bool readOnly = false);

  void GetText(std::span<char> room) const override;
  void SetText(const char* text) override;
  std::string GetString() const override;
  std::unique_ptr<CFarStorage> Clone() const override;

 private:
  struct Field {
    const char* read;
    char* write;  // null for a text that is only shown
    size_t size;
  };

  std::string_view Current() const;

  bool m_readOnly;
  std::variant<Field, std::unique_ptr<char[]>*, std::string*> m_target;
};

class CFarIntegerStorage : public CFarStorage {
 public:
  CFarIntegerStorage(uint8_t& value, const CFarNumberFormat& format = DecimalFormat());
  CFarIntegerStorage(int8_t& value, const CFarNumberFormat& format = DecimalFormat());
  CFarIntegerStorage(uint16_t& value, const CFarNumberFormat& format = DecimalFormat());
  CFarIntegerStorage(int16_t& value, const CFarNumberFormat& format = DecimalFormat());
  CFarIntegerStorage(int32_t& value, const CFarNumberFormat& format = DecimalFormat());
  CFarIntegerStorage(uint32_t& value, const CFarNumberFormat& format = DecimalFormat());

  void GetText(std::span<char> room) const override;
  void SetText(const char* text) override;
  bool CheckText(const char* text) const override;
  std::string GetString() const override;
  std::unique_ptr<CFarStorage> Clone() const override;

  // The variable widened to 32 bits by its signedness.
  int32_t GetValue() const;
  // Keeps the low bits that fit the variable.
  void SetValue(int32_t value);

 private:
  enum class Type { UInt8, Int8, UInt16, Int16, Int32, UInt32 };

  CFarIntegerStorage(Type type, void* target, const CFarNumberFormat& format);

  Type m_type;
  void* m_target;
  const CFarNumberFormat* m_format;
};

}  // namespace FarLib

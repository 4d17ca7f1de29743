#include "farlib/storage.h"

#include <algorithm>
#include <cstring>

namespace FarLib {
namespace {

template <typename... TVisitors>
struct Overloaded : TVisitors... {
  using TVisitors::operator()...;
};
// Spelt out for clang 14, which the fuzz targets are built with: it cannot deduce an
// aggregate's template arguments by itself.
template <typename... TVisitors>
Overloaded(TVisitors...) -> Overloaded<TVisitors...>;

void CopyCut(std::string_view text, std::span<char> room) {
  if (room.empty()) return;
  const size_t length = std::min(text.size(), room.size() - 1);
  std::memcpy(room.data(), text.data(), length);
  room[length] = '\0';
}

}  // namespace

bool CFarStorage::CheckText(const char*) const { return true; }

CFarTextStorage::CFarTextStorage(std::string& text, bool readOnly)
    : m_readOnly(readOnly), m_target(&text) {}

CFarTextStorage::CFarTextStorage(char* field, int size, bool readOnly)
    : m_readOnly(readOnly),
      m_target(Field{field, field, size < 0 ? std::strlen(field) + 1 : static_cast<size_t>(size)}) {
}

CFarTextStorage::CFarTextStorage(const char* text)
    : m_readOnly(true), m_target(Field{text, nullptr, std::strlen(text) + 1}) {}

CFarTextStorage::CFarTextStorage(std::unique_ptr<char[]>& text, bool readOnly)
    : m_readOnly(readOnly), m_target(&text) {}

std::string_view CFarTextStorage::Current() const {
  return std::visit(
      Overloaded{
          [](const Field& field) {
            return std::string_view(field.read, strnlen(field.read, field.size));
          },
          [](std::unique_ptr<char[]>* text) { return std::string_view(*text ? text->get() : ""); },
          [](std::string* text) { return std::string_view(*text); },
      },
      m_target);
}

void CFarTextStorage::GetText(std::span<char> room) const { CopyCut(Current(), room); }

void CFarTextStorage::SetText(const char* text) {
  if (m_readOnly) return;
  std::visit(Overloaded{
                 [text](Field& field) {
                   if (!field.write || field.size == 0) return;
                   std::fill_n(field.write, field.size, '\0');
                   CopyCut(text, {field.write, field.size});
                 },
                 [text](std::unique_ptr<char[]>* target) {
                   const size_t size = std::strlen(text) + 1;
                   *target = std::make_unique<char[]>(size);
                   std::memcpy(target->get(), text, size);
                 },
                 [text](std::string* target) { target->assign(text); },
             },
             m_target);
}

std::string CFarTextStorage::GetString() const { return std::string(Current()); }

std::unique_ptr<CFarStorage> CFarTextStorage::Clone() const {
  return std::make_unique<CFarTextStorage>(*this);
}

CFarIntegerStorage::CFarIntegerStorage(Type type, void* target, const CFarNumberFormat& format)
    : m_type(type), m_target(target), m_format(&format) {}

CFarIntegerStorage::CFarIntegerStorage(uint8_t& value, const CFarNumberFormat& format)
    : CFarIntegerStorage(Type::UInt8, &value, format) {}
CFarIntegerStorage::CFarIntegerStorage(int8_t& value, const CFarNumberFormat& format)
    : CFarIntegerStorage(Type::Int8, &value, format) {}
CFarIntegerStorage::CFarIntegerStorage(uint16_t& value, const CFarNumberFormat& format)
    : CFarIntegerStorage(Type::UInt16, &value, format) {}
CFarIntegerStorage::CFarIntegerStorage(int16_t& value, const CFarNumberFormat& format)
    : CFarIntegerStorage(Type::Int16, &value, format) {}
CFarIntegerStorage::CFarIntegerStorage(int32_t& value, const CFarNumberFormat& format)
    : CFarIntegerStorage(Type::Int32, &value, format) {}
CFarIntegerStorage::CFarIntegerStorage(uint32_t& value, const CFarNumberFormat& format)
    : CFarIntegerStorage(Type::UInt32, &value, format) {}

int32_t CFarIntegerStorage::GetValue() const {
  switch (m_type) {
    case Type::UInt8: return *static_cast<const uint8_t*>(m_target);
    case Type::Int8: return *static_cast<const int8_t*>(m_target);
    case Type::UInt16: return *static_cast<const uint16_t*>(m_target);
    case Type::Int16: return *static_cast<const int16_t*>(m_target);
    case Type::Int32: return *static_cast<const int32_t*>(m_target);
    case Type::UInt32: break;
  }
  return static_cast<int32_t>(*static_cast<const uint32_t*>(m_target));
}

void CFarIntegerStorage::SetValue(int32_t value) {
  switch (m_type) {
    case Type::UInt8: *static_cast<uint8_t*>(m_target) = static_cast<uint8_t>(value); return;
    case Type::Int8: *static_cast<int8_t*>(m_target) = static_cast<int8_t>(value); return;
    case Type::UInt16: *static_cast<uint16_t*>(m_target) = static_cast<uint16_t>(value); return;
    case Type::Int16: *static_cast<int16_t*>(m_target) = static_cast<int16_t>(value); return;
    case Type::Int32: *static_cast<int32_t*>(m_target) = value; return;
    case Type::UInt32: *static_cast<uint32_t*>(m_target) = static_cast<uint32_t>(value); return;
  }
}

void CFarIntegerStorage::GetText(std::span<char> room) const { m_format->Format(GetValue(), room); }

void CFarIntegerStorage::SetText(const char* text) {
  int32_t value = 0;
  if (m_format->Read(text, value)) SetValue(value);
}

bool CFarIntegerStorage::CheckText(const char* text) const {
  int32_t value = 0;
  return m_format->Read(text, value);
}

std::string CFarIntegerStorage::GetString() const {
  char text[64];
  GetText(text);
  return text;
}

std::unique_ptr<CFarStorage> CFarIntegerStorage::Clone() const {
  return std::make_unique<CFarIntegerStorage>(*this);
}

}  // namespace FarLib

#include "farlib/registry.h"

#include <algorithm>

namespace FarLib {
namespace {

using Platform::CRegKey;
using Platform::RegValue;

std::optional<RegValue> Query(const CRegKey& key, const std::string& name, uint32_t type) {
  RegValue value;
  if (key.QueryValue(name, value) != Platform::kErrorSuccess || value.Type != type) {
    return std::nullopt;
  }
  return value;
}

std::optional<uint32_t> QueryDword(const CRegKey& key, const std::string& name) {
  const std::optional<RegValue> value = Query(key, name, Platform::kRegDword);
  if (!value || value->Data.size() != sizeof(uint32_t)) return std::nullopt;
  const std::vector<uint8_t>& b = value->Data;
  return static_cast<uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
}

std::optional<std::string> QueryString(const CRegKey& key, const std::string& name) {
  const std::optional<RegValue> value = Query(key, name, Platform::kRegSz);
  if (!value) return std::nullopt;
  const auto end = std::find(value->Data.begin(), value->Data.end(), uint8_t{0});
  return std::string(value->Data.begin(), end);
}

}  // namespace

void ReadRegString(const CRegKey& key, const std::string& name, std::string& text,
                   const char* defaultText) {
  text = ReadRegStringCopy(key, name, defaultText).value_or(std::string());
}

std::optional<std::string> ReadRegStringCopy(const CRegKey& key, const std::string& name,
                                             const char* defaultText) {
  if (std::optional<std::string> text = QueryString(key, name)) return text;
  if (defaultText) return std::string(defaultText);
  return std::nullopt;
}

void ReadRegBool(const CRegKey& key, const std::string& name, bool& value, bool defaultValue) {
  const std::optional<uint32_t> stored = QueryDword(key, name);
  value = stored && *stored <= 1 ? *stored == 1 : defaultValue;
}

uint32_t ReadRegDword(const CRegKey& key, const std::string& name, uint32_t defaultValue) {
  return QueryDword(key, name).value_or(defaultValue);
}

int32_t ReadRegInteger(const CRegKey& key, const std::string& name, int32_t low, int32_t high,
                       int32_t defaultValue) {
  const std::optional<uint32_t> stored = QueryDword(key, name);
  if (!stored) return defaultValue;
  const auto value = static_cast<int32_t>(*stored);
  return value >= low && value <= high ? value : defaultValue;
}

uint32_t WriteRegString(CRegKey& key, const std::string& name, const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return key.SetValue(name, Platform::kRegSz, bytes);
}

uint32_t WriteRegDword(CRegKey& key, const std::string& name, uint32_t value) {
  const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return key.SetValue(name, Platform::kRegDword, bytes);
}

void ReadRegWideString(const CRegKey& key, const std::string& name, WideString& text,
                       const WideString& defaultText) {
  RegValue value;
  if (key.QueryWideValue(name, value) != Platform::kErrorSuccess ||
      value.Type != CRegKey::WideTextType()) {
    text = defaultText;
    return;
  }
  text.clear();
  for (size_t i = 0; i + 1 < value.Data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(value.Data[i] | value.Data[i + 1] << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
}

uint32_t WriteRegWideString(CRegKey& key, const std::string& name, const WideString& text) {
  std::vector<uint8_t> bytes;
  bytes.reserve(2 * text.size() + 2);
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  bytes.insert(bytes.end(), {0, 0});
  return key.SetWideValue(name, bytes);
}

}  // namespace FarLib

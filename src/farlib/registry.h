#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "encoding/charset.h"
#include "platform/registry.h"

// Typed reads and writes of single values in an open key. A read never fails: a missing
// value, a closed key or a value of another type or size gives the default.
namespace FarLib {

// A REG_SZ value up to its first zero; otherwise `defaultText`, or "" without one.
void ReadRegString(const Platform::CRegKey& key, const std::string& name, std::string& text,
                   const char* defaultText = nullptr);

// Like ReadRegString, but tells an absent value without a default (nullopt) from an empty one.
std::optional<std::string> ReadRegStringCopy(const Platform::CRegKey& key, const std::string& name,
                                             const char* defaultText = nullptr);

// A REG_DWORD of 4 bytes holding 0 or 1; anything else gives the default.
void ReadRegBool(const Platform::CRegKey& key, const std::string& name, bool& value,
                 bool defaultValue);

// A REG_DWORD of 4 bytes; anything else gives the default.
uint32_t ReadRegDword(const Platform::CRegKey& key, const std::string& name, uint32_t defaultValue);

// A REG_DWORD of 4 bytes within [low, high]; anything else gives the default.
int32_t ReadRegInteger(const Platform::CRegKey& key, const std::string& name, int32_t low,
                       int32_t high, int32_t defaultValue);

// The writes return the registry's status (0 on success), which callers may ignore.
uint32_t WriteRegString(Platform::CRegKey& key, const std::string& name, const std::string& text);
uint32_t WriteRegDword(Platform::CRegKey& key, const std::string& name, uint32_t value);

// A wide text in this system's wide form (REG_SZ through the wide functions, or REG_BINARY on
// Windows 95, 98 and Me), up to its first zero unit; another type gives the default.
void ReadRegWideString(const Platform::CRegKey& key, const std::string& name, WideString& text,
                       const WideString& defaultText);
uint32_t WriteRegWideString(Platform::CRegKey& key, const std::string& name,
                            const WideString& text);

}  // namespace FarLib

#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

// Keys below HKEY_CURRENT_USER. On Windows the real registry; on POSIX a SQLite file,
// $ZANTEL_REGISTRY or ~/.config/zantel/registry.sqlite3, with the registry's rules: key and
// value names compare without regard to ASCII letter case, subkeys are listed in that order,
// and every value keeps the type and the bytes it was written with.
namespace Platform {

// Value types as the registry numbers them.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

// Registry failures that error.h does not name.
constexpr uint32_t kErrorBadDatabase = 1009;
constexpr uint32_t kErrorRegistryIoFailed = 1016;
constexpr uint32_t kErrorKeyDeleted = 1018;

struct RegValue {
  uint32_t Type = kRegNone;
  std::vector<uint8_t> Data;
};

// An open key. Closing is automatic. Calls on a closed key fail with kErrorInvalidHandle;
// the others return ERROR_SUCCESS (0) or the registry's Windows error code.
class CRegKey {
 public:
  CRegKey();
  ~CRegKey();
  CRegKey(CRegKey&& other) noexcept;
  CRegKey& operator=(CRegKey&& other) noexcept;
  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;

  // `path` is below HKEY_CURRENT_USER, its names separated by '\'. Create makes every missing
  // key on the way; Open finds existing keys only. Both ask for full access. A closed key
  // leaves the reason in LastError() when the registry gave one.
  static CRegKey Create(const std::string& path);
  static CRegKey Open(const std::string& path);

  bool IsOpen() const;
  void Close();

  uint32_t QueryValue(const std::string& name, RegValue& value) const;
  uint32_t SetValue(const std::string& name, uint32_t type, std::span<const uint8_t> data);

  // Texts of 16-bit units, stored the way this system stores them (WideTextType): through
  // the registry's wide functions on Windows NT and POSIX, as REG_BINARY through the narrow
  // ones on Windows 95, 98 and Me. `bytes` are the units with their terminating zero unit.
  static uint32_t WideTextType();
  uint32_t QueryWideValue(const std::string& name, RegValue& value) const;
  uint32_t SetWideValue(const std::string& name, std::span<const uint8_t> bytes);

  // The names of the subkeys, in the registry's order (letter case ignored).
  std::vector<std::string> SubKeyNames() const;

  // Deletes the subkey `path` below this key with everything below it (SHDeleteKeyA).
  uint32_t DeleteSubtree(const std::string& path);

  struct Impl;

 private:
  explicit CRegKey(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

// Makes every registry change of its lifetime one atomic unit where the store supports it
// (one SQLite transaction on POSIX, so a save is also one commit instead of one per value);
// nothing on Windows. Scopes may nest: the outermost one commits.
//
// A unit that could not start, or any change of it that failed, fails the whole unit: the
// changes after it are refused at once (they would only wait for the same lock or hit the same
// fault), and at its end nothing of it is kept. Reads go on as usual.
class CRegTransaction {
 public:
  CRegTransaction();
  ~CRegTransaction();  // ends the scope as Commit does when Commit was not called
  CRegTransaction(const CRegTransaction&) = delete;
  CRegTransaction& operator=(const CRegTransaction&) = delete;

  // Ends the scope now. True when every change of the unit so far has landed (the outermost
  // scope: has been committed); false leaves the reason in LastError(). Later calls repeat
  // the first answer. On Windows every change reports its own failure, so this is true.
  bool Commit();

  struct Impl;

 private:
  std::unique_ptr<Impl> m_impl;
};

}  // namespace Platform

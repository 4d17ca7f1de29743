#pragma once
// The SQLite file that plays HKEY_CURRENT_USER on POSIX. Keys form a tree of rows; the root
// (HKEY_CURRENT_USER itself) has the id kRootKey. Names are matched by their ASCII upper-case
// fold, which is also the order subkeys are listed in, as the registry does.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace Platform::Posix {

class CRegistryStore {
 public:
  static constexpr int64_t kRootKey = 1;

  // The store named by $ZANTEL_REGISTRY (or the default path) as it is now, opened on first
  // use and kept while the name stays the same. Null when the file cannot be used as a
  // store: it is then left exactly as it was, and LastError() tells why.
  static std::shared_ptr<CRegistryStore> Current();

  explicit CRegistryStore(sqlite3* db) : m_db(db) {}  // takes the connection over
  ~CRegistryStore();
  CRegistryStore(const CRegistryStore&) = delete;
  CRegistryStore& operator=(const CRegistryStore&) = delete;

  std::optional<int64_t> FindKey(int64_t parent, const std::string& name);
  std::optional<int64_t> CreateKey(int64_t parent, const std::string& name);
  bool KeyExists(int64_t key);
  std::vector<std::string> SubKeyNames(int64_t key);
  uint32_t DeleteKey(int64_t key);  // with everything below it

  uint32_t QueryValue(int64_t key, const std::string& name, RegValue& value);
  uint32_t SetValue(int64_t key, const std::string& name, uint32_t type,
                    const std::vector<uint8_t>& data);

  // Nesting transaction scope: the outermost Begin starts an immediate (writing) transaction,
  // waiting for another process's transaction to end; the matching End commits. Within a
  // unit that has failed (see CRegTransaction) every write is refused with the unit's error
  // and End rolls back. End returns the unit's error, kErrorSuccess when there is none.
  void Begin();
  uint32_t End();

  // A statement for `sql` (a string that lives as long as the program), prepared on first use
  // and kept for the store's life; null when it does not prepare. Each is given to one user at
  // a time, so the same text used again while in use gets a second statement.
  sqlite3_stmt* TakeStatement(const char* sql);
  void ReturnStatement(sqlite3_stmt* statement);  // reset, for the next user

  // How long a write waits for another connection's lock before it fails as busy.
  void SetBusyTimeout(int milliseconds);

 private:
  static std::shared_ptr<CRegistryStore> OpenFile(const std::string& path, uint32_t& error);
  // Refuses a write of a failed unit; kErrorSuccess lets it go ahead.
  uint32_t RefusedWrite() const;
  // Notes the failure of the statement just run and returns it as a Windows code.
  uint32_t FailedWrite();

  sqlite3* m_db;
  struct KeptStatement {
    const char* Sql;
    sqlite3_stmt* Statement;
    bool InUse;
  };
  std::vector<KeptStatement> m_statements;
  int m_depth = 0;
  bool m_inTransaction = false;
  uint32_t m_unitError = kErrorSuccess;
};

// The store's path for the current environment; empty when there is none.
std::string RegistryStorePath();

}  // namespace Platform::Posix

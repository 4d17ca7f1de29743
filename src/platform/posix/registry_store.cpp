#include "platform/posix/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "platform/error.h"

namespace Platform::Posix {
namespace {

// Marks a file as a Zantel registry ("ZREG"), so that another program's database given by
// mistake is never written to.
constexpr int32_t kApplicationId = 0x5A524547;
constexpr int kBusyTimeoutMs = 15000;

constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  UNIQUE(parent, fold));
CREATE TABLE reg_values(
  key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
  fold TEXT NOT NULL,
  name TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY(key, fold)) WITHOUT ROWID;
INSERT INTO keys(id, parent, name, fold) VALUES(1, NULL, '', '');
PRAGMA application_id = 1515341127;
)sql";
static_assert(kApplicationId == 1515341127);

std::string Fold(const std::string& name) {
  std::string fold = name;
  std::transform(fold.begin(), fold.end(), fold.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
  return fold;
}

// One prepared statement: either one the store keeps, handed back reset when done, or (for
// the checks made before there is a store) prepared here and finalized.
class CStatement {
 public:
  CStatement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) m_statement = nullptr;
  }
  CStatement(CRegistryStore& store, const char* sql)
      : m_statement(store.TakeStatement(sql)), m_store(&store) {}
  ~CStatement() {
    if (!m_store) sqlite3_finalize(m_statement);
    else if (m_statement) m_store->ReturnStatement(m_statement);
  }
  CStatement(const CStatement&) = delete;
  CStatement& operator=(const CStatement&) = delete;

  CStatement& Bind(int64_t value) {
    if (m_statement) sqlite3_bind_int64(m_statement, ++m_bound, value);
    return *this;
  }
  CStatement& Bind(const std::string& text) {
    if (m_statement) {
      sqlite3_bind_text(m_statement, ++m_bound, text.data(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT);
    }
    return *this;
  }
  CStatement& BindBlob(const std::vector<uint8_t>& bytes) {
    // A zero-length blob must still be a blob, not NULL, so it needs an address.
    static constexpr uint8_t kNoBytes = 0;
    if (m_statement) {
      sqlite3_bind_blob(m_statement, ++m_bound, bytes.empty() ? &kNoBytes : bytes.data(),
                        static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    return *this;
  }

  // SQLITE_ROW, SQLITE_DONE or an error.
  int Step() { return m_statement ? sqlite3_step(m_statement) : SQLITE_ERROR; }
  bool Run() { return Step() == SQLITE_DONE; }

  int64_t Integer(int column) const { return sqlite3_column_int64(m_statement, column); }
  std::string Text(int column) const {
    const auto* text = sqlite3_column_text(m_statement, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(m_statement, column)))
                : std::string();
  }
  std::vector<uint8_t> Blob(int column) const {
    const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(m_statement, column));
    return bytes ? std::vector<uint8_t>(bytes, bytes + sqlite3_column_bytes(m_statement, column))
                 : std::vector<uint8_t>();
  }

 private:
  sqlite3_stmt* m_statement = nullptr;
  CRegistryStore* m_store = nullptr;
  int m_bound = 0;
};

// SQLite's result codes as the registry's Windows error codes, so that a failed save reads
// the same on both systems.
uint32_t WindowsError(int sqliteCode) {
  switch (sqliteCode & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return kErrorSharingViolation;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN: return kErrorAccessDenied;
    case SQLITE_FULL: return kErrorDiskFull;
    case SQLITE_NOMEM: return kErrorNotEnoughMemory;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return kErrorBadDatabase;
    default: return kErrorRegistryIoFailed;
  }
}

bool Execute(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<int64_t> SingleInteger(sqlite3* db, const char* sql) {
  CStatement statement(db, sql);
  if (statement.Step() != SQLITE_ROW) return std::nullopt;
  return statement.Integer(0);
}

// A brand-new (empty) file gets the schema; a file that is already a store is taken as it is;
// anything else is refused untouched. Two processes meeting a new file at once are
// serialized by the immediate transaction, and the second finds the first one's schema.
bool PrepareSchema(sqlite3* db) {
  const std::optional<int64_t> id = SingleInteger(db, "PRAGMA application_id");
  if (!id) return false;
  if (*id == kApplicationId) return true;
  if (*id != 0 || !Execute(db, "BEGIN IMMEDIATE")) return false;
  const std::optional<int64_t> tables = SingleInteger(db, "SELECT count(*) FROM sqlite_master");
  const std::optional<int64_t> idNow = SingleInteger(db, "PRAGMA application_id");
  bool ready = tables && idNow && *idNow == kApplicationId;
  if (tables && *tables == 0) ready = Execute(db, kSchema);
  if (ready && Execute(db, "COMMIT")) return true;
  Execute(db, "ROLLBACK");
  return false;
}

// The store caches every contact's name and number, so it is the user's alone: the modes are
// set outright, as a umask of 000 would otherwise leave them open to everyone.
constexpr mode_t kPrivateFile = 0600;
constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kOthersRights = 0077;

// Takes the group's and others' rights away from what exists at `path` and leaves the owner's
// as they are. Best effort: a file system without POSIX modes still holds a usable store.
void Narrow(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0 && (status.st_mode & kOthersRights) != 0)
    chmod(path.c_str(), status.st_mode & 07777 & ~kOthersRights);
}

// Zantel's own folder of the default store, and whichever folders above it are missing, made
// private. Only folders that are Zantel's are narrowed: one the user
// names through $ZANTEL_REGISTRY is theirs to share, and it is never created or changed here.
void PreparePrivateFolder(const std::filesystem::path& folder) {
  if (folder.has_parent_path() && !std::filesystem::exists(folder.parent_path()))
    PreparePrivateFolder(folder.parent_path());
  if (mkdir(folder.c_str(), kPrivateFolder) == 0) chmod(folder.c_str(), kPrivateFolder);
}

// SQLite creates a store 0644 and gives its journal and WAL files the mode of the store, so the
// store is created private before SQLite opens it. A file that exists already is left alone.
void CreatePrivately(const std::string& path) {
  const int file = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFile);
  if (file < 0) return;
  fchmod(file, kPrivateFile);
  close(file);
}

// An existing store, and what is left of an earlier connection's journal or WAL, lose wider
// rights that an earlier version (or SQLite's default) gave them.
void NarrowStore(const std::string& path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) Narrow(path + suffix);
}

std::filesystem::path DefaultStoreFolder() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return std::filesystem::path(home) / ".config" / "zantel";
}

bool PathGivenByUser() {
  const char* path = std::getenv("ZANTEL_REGISTRY");
  return path && *path;
}

}  // namespace

std::string RegistryStorePath() {
  if (PathGivenByUser()) return std::getenv("ZANTEL_REGISTRY");
  const std::filesystem::path folder = DefaultStoreFolder();
  return folder.empty() ? std::string() : (folder / "registry.sqlite3").string();
}

std::shared_ptr<CRegistryStore> CRegistryStore::OpenFile(const std::string& path, uint32_t& error) {
  if (!PathGivenByUser()) {
    const std::filesystem::path folder = DefaultStoreFolder();
    PreparePrivateFolder(folder);
    Narrow(folder.string());
  }
  CreatePrivately(path);
  sqlite3* db = nullptr;
  const int opened =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  auto store = std::make_shared<CRegistryStore>(db);
  if (opened != SQLITE_OK) {
    error = WindowsError(opened);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  if (!PrepareSchema(db) || !Execute(db, "PRAGMA foreign_keys = ON")) {
    // A file that is readable but not a store says nothing worse than "busy" or "not a
    // database"; whatever else failed is the store's own fault.
    const uint32_t reason = WindowsError(sqlite3_errcode(db));
    error = reason == kErrorSharingViolation || reason == kErrorAccessDenied ? reason
                                                                             : kErrorBadDatabase;
    return nullptr;
  }
  // Only once the file is known to be a store: another program's database given by mistake is
  // left exactly as it was.
  NarrowStore(path);
  return store;
}

// The one store is kept unguarded, as are its statements and transaction depth: the plug-in
// runs on the host's one thread.
std::shared_ptr<CRegistryStore> CRegistryStore::Current() {
  static std::string s_path;
  static std::shared_ptr<CRegistryStore> s_store;
  const std::string path = RegistryStorePath();
  if (path.empty()) {
    SetLastError(kErrorPathNotFound);
    return nullptr;
  }
  if (!s_store || path != s_path) {
    uint32_t error = kErrorSuccess;
    s_store = OpenFile(path, error);
    s_path = path;
    if (!s_store) SetLastError(error);
  }
  return s_store;
}

CRegistryStore::~CRegistryStore() {
  for (const KeptStatement& kept : m_statements) sqlite3_finalize(kept.Statement);
  if (m_inTransaction) Execute(m_db, "COMMIT");
  sqlite3_close_v2(m_db);
}

sqlite3_stmt* CRegistryStore::TakeStatement(const char* sql) {
  for (KeptStatement& kept : m_statements) {
    if (kept.Sql == sql && !kept.InUse) {
      kept.InUse = true;
      return kept.Statement;
    }
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
      SQLITE_OK)
    return nullptr;
  m_statements.push_back({sql, statement, true});
  return statement;
}

void CRegistryStore::ReturnStatement(sqlite3_stmt* statement) {
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  for (KeptStatement& kept : m_statements) {
    if (kept.Statement == statement) kept.InUse = false;
  }
}

std::optional<int64_t> CRegistryStore::FindKey(int64_t parent, const std::string& name) {
  CStatement find(*this, "SELECT id FROM keys WHERE parent = ? AND fold = ?");
  if (find.Bind(parent).Bind(Fold(name)).Step() != SQLITE_ROW) return std::nullopt;
  return find.Integer(0);
}

std::optional<int64_t> CRegistryStore::CreateKey(int64_t parent, const std::string& name) {
  if (std::optional<int64_t> found = FindKey(parent, name)) return found;
  if (const uint32_t refused = RefusedWrite()) {
    SetLastError(refused);
    return std::nullopt;
  }
  CStatement insert(*this, "INSERT INTO keys(parent, name, fold) VALUES(?, ?, ?)");
  if (!insert.Bind(parent).Bind(name).Bind(Fold(name)).Run()) {
    SetLastError(FailedWrite());
    return std::nullopt;
  }
  return sqlite3_last_insert_rowid(m_db);
}

bool CRegistryStore::KeyExists(int64_t key) {
  CStatement find(*this, "SELECT 1 FROM keys WHERE id = ?");
  return find.Bind(key).Step() == SQLITE_ROW;
}

std::vector<std::string> CRegistryStore::SubKeyNames(int64_t key) {
  CStatement list(*this, "SELECT name FROM keys WHERE parent = ? ORDER BY fold");
  list.Bind(key);
  std::vector<std::string> names;
  while (list.Step() == SQLITE_ROW) names.push_back(list.Text(0));
  return names;
}

uint32_t CRegistryStore::DeleteKey(int64_t key) {
  if (!KeyExists(key)) return kErrorFileNotFound;
  if (const uint32_t refused = RefusedWrite()) return refused;
  CStatement erase(*this, "DELETE FROM keys WHERE id = ?");
  return erase.Bind(key).Run() ? kErrorSuccess : FailedWrite();
}

uint32_t CRegistryStore::QueryValue(int64_t key, const std::string& name, RegValue& value) {
  CStatement find(*this, "SELECT type, data FROM reg_values WHERE key = ? AND fold = ?");
  const int found = find.Bind(key).Bind(Fold(name)).Step();
  if (found == SQLITE_DONE) return KeyExists(key) ? kErrorFileNotFound : kErrorKeyDeleted;
  if (found != SQLITE_ROW) return kErrorRegistryIoFailed;
  value.Type = static_cast<uint32_t>(find.Integer(0));
  value.Data = find.Blob(1);
  return kErrorSuccess;
}

uint32_t CRegistryStore::SetValue(int64_t key, const std::string& name, uint32_t type,
                                  const std::vector<uint8_t>& data) {
  if (!KeyExists(key)) return kErrorKeyDeleted;
  if (const uint32_t refused = RefusedWrite()) return refused;
  CStatement write(*this,
                   "INSERT OR REPLACE INTO reg_values(key, fold, name, type, data) "
                   "VALUES(?, ?, ?, ?, ?)");
  write.Bind(key).Bind(Fold(name)).Bind(name).Bind(static_cast<int64_t>(type)).BindBlob(data);
  return write.Run() ? kErrorSuccess : FailedWrite();
}

void CRegistryStore::Begin() {
  if (m_depth++ > 0) return;
  m_unitError = kErrorSuccess;
  m_inTransaction = Execute(m_db, "BEGIN IMMEDIATE");
  if (!m_inTransaction) m_unitError = WindowsError(sqlite3_errcode(m_db));
}

uint32_t CRegistryStore::End() {
  if (m_depth == 0) return kErrorSuccess;
  if (--m_depth > 0) return m_unitError;
  if (m_inTransaction) {
    m_inTransaction = false;
    if (m_unitError == kErrorSuccess && !Execute(m_db, "COMMIT")) {
      m_unitError = WindowsError(sqlite3_errcode(m_db));
    }
    // Also after a failed COMMIT, which leaves the transaction open; SQLite may already have
    // rolled back on its own after some errors, and then this does nothing.
    if (m_unitError != kErrorSuccess) Execute(m_db, "ROLLBACK");
  }
  const uint32_t error = m_unitError;
  m_unitError = kErrorSuccess;
  return error;
}

void CRegistryStore::SetBusyTimeout(int milliseconds) { sqlite3_busy_timeout(m_db, milliseconds); }

uint32_t CRegistryStore::RefusedWrite() const { return m_depth > 0 ? m_unitError : kErrorSuccess; }

uint32_t CRegistryStore::FailedWrite() {
  const uint32_t error = WindowsError(sqlite3_errcode(m_db));
  if (m_depth > 0 && m_unitError == kErrorSuccess) m_unitError = error;
  return error;
}

}  // namespace Platform::Posix

#pragma once
#include <sqlite3.h>

#include <string>

// Another program's connection to the store, holding a lock until it goes.
class COtherConnection {
 public:
  COtherConnection(const std::string& file, const char* sql) {
    sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    m_held = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  ~COtherConnection() {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
  }
  COtherConnection(const COtherConnection&) = delete;
  COtherConnection& operator=(const COtherConnection&) = delete;
  bool Held() const { return m_held; }

 private:
  sqlite3* m_db = nullptr;
  bool m_held = false;
};

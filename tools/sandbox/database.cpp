// SPDX-License-Identifier: MIT
#include "tools/sandbox/database.h"

#include <sqlite3.h>

namespace sandbox {
namespace {

// Owns one prepared statement.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) {
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
      throw DatabaseError(std::string("prepare: ") + sqlite3_errmsg(db) + " in: " + sql);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void bind(const Params& params) {
    int index = 1;
    for (const Param& param : params) {
      int rc = param.isNumber()
                   ? sqlite3_bind_int64(stmt_, index, param.number())
                   : sqlite3_bind_blob64(stmt_, index, param.bytes().data(), param.bytes().size(), SQLITE_TRANSIENT);
      if (rc != SQLITE_OK) throw DatabaseError("bind parameter " + std::to_string(index));
      ++index;
    }
  }
  sqlite3_stmt* get() { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

Record readRow(sqlite3_stmt* stmt) {
  Record record;
  int columns = sqlite3_column_count(stmt);
  for (int i = 0; i < columns; ++i) {
    std::string value;
    if (sqlite3_column_type(stmt, i) != SQLITE_NULL) {
      // Integers read back as their decimal text through the blob accessor.
      const void* bytes = sqlite3_column_blob(stmt, i);
      int size = sqlite3_column_bytes(stmt, i);
      if (bytes != nullptr && size > 0) value.assign(static_cast<const char*>(bytes), static_cast<size_t>(size));
    }
    record.set(sqlite3_column_name(stmt, i), std::move(value));
  }
  return record;
}

}  // namespace

Database::Database(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError("cannot open database " + path + ": " + message);
  }
  // Another sandbox on the same file waits its turn instead of failing.
  sqlite3_busy_timeout(db_, 5000);
  script("PRAGMA foreign_keys = ON");
}

Database::~Database() { sqlite3_close(db_); }

void Database::fail(const std::string& what) { throw DatabaseError(what + ": " + sqlite3_errmsg(db_)); }

void Database::script(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    throw DatabaseError("script: " + message);
  }
}

int64_t Database::run(const std::string& sql, const Params& params) {
  Statement stmt(db_, sql);
  stmt.bind(params);
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) fail("step");
  return sqlite3_changes64(db_);
}

std::vector<Record> Database::rows(const std::string& sql, const Params& params) {
  Statement stmt(db_, sql);
  stmt.bind(params);
  std::vector<Record> result;
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) result.push_back(readRow(stmt.get()));
  if (rc != SQLITE_DONE) fail("step");
  return result;
}

std::optional<Record> Database::row(const std::string& sql, const Params& params) {
  std::vector<Record> all = rows(sql, params);
  if (all.empty()) return std::nullopt;
  return std::move(all.front());
}

void Database::insert(std::string_view table, const Columns& values) {
  std::string sql = "INSERT INTO " + std::string(table) + " (";
  std::string marks;
  Params params;
  for (const auto& [name, value] : values) {
    if (!params.empty()) {
      sql += ", ";
      marks += ", ";
    }
    sql += name;
    marks += "?";
    params.emplace_back(value);
  }
  run(sql + ") VALUES (" + marks + ")", params);
}

void Database::update(std::string_view table, const Columns& values, std::string_view keyColumn, const Param& key) {
  std::string sql = "UPDATE " + std::string(table) + " SET ";
  Params params;
  for (const auto& [name, value] : values) {
    if (!params.empty()) sql += ", ";
    sql += name + " = ?";
    params.emplace_back(value);
  }
  params.push_back(key);
  run(sql + " WHERE " + std::string(keyColumn) + " = ?", params);
}

void Database::observeChanges(ChangeObserver observer) {
  observer_ = std::move(observer);
  auto hear = [](void* self, int, const char*, const char* table, sqlite3_int64 rowid) {
    static_cast<Database*>(self)->observer_(table, rowid);
  };
  sqlite3_update_hook(db_, observer_ ? +hear : nullptr, this);
}

int Database::userVersion() {
  std::optional<Record> version = row("PRAGMA user_version");
  return version ? std::stoi(version->fields().front().second) : 0;
}

void Database::setUserVersion(int version) { script("PRAGMA user_version = " + std::to_string(version)); }

Database::Transaction::Transaction(Database& db) : db_(db) { db_.script("BEGIN IMMEDIATE"); }

Database::Transaction::~Transaction() {
  if (done_) return;
  try {
    db_.script("ROLLBACK");
  } catch (...) {
    // Nothing more can be done: SQLite rolls back on its own when it must.
  }
}

void Database::Transaction::commit() {
  db_.script("COMMIT");
  done_ = true;
}

}  // namespace sandbox

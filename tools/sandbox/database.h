// SPDX-License-Identifier: MIT
// The sandbox's SQLite store: statements with bound parameters, rows read
// back as records. Texts are stored as BLOBs, byte for byte as the HIS sent
// them (GBK), so they compare and come back unchanged.
#ifndef NV_SANDBOX_DATABASE_H
#define NV_SANDBOX_DATABASE_H

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "tools/sandbox/record.h"

struct sqlite3;

namespace sandbox {

struct DatabaseError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A statement parameter: an integer, or bytes bound as a BLOB.
class Param {
 public:
  template <class Integer, std::enable_if_t<std::is_integral_v<Integer>, int> = 0>
  Param(Integer number) : isNumber_(true), number_(static_cast<int64_t>(number)) {}  // NOLINT: implicit by design
  Param(std::string_view bytes) : bytes_(bytes) {}                                   // NOLINT
  Param(const std::string& bytes) : bytes_(bytes) {}                                 // NOLINT
  Param(const char* bytes) : bytes_(bytes) {}                                        // NOLINT

  bool isNumber() const { return isNumber_; }
  int64_t number() const { return number_; }
  const std::string& bytes() const { return bytes_; }

 private:
  bool isNumber_ = false;
  int64_t number_ = 0;
  std::string bytes_;
};
using Params = std::vector<Param>;
// Named values for one row: (column name, value).
using Columns = std::vector<std::pair<std::string, Param>>;

class Database {
 public:
  // Opens (creating when missing) the database file.
  explicit Database(const std::string& path);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs statements without parameters (schema scripts).
  void script(const std::string& sql);
  // Runs one statement; returns the number of rows it changed.
  int64_t run(const std::string& sql, const Params& params = {});
  // Every row of a query; each column by its name (NULL reads as empty,
  // numbers as their decimal text).
  std::vector<Record> rows(const std::string& sql, const Params& params = {});
  std::optional<Record> row(const std::string& sql, const Params& params = {});
  // Inserts one row of named values into a table whose name and column
  // names are this program's own, never received text.
  void insert(std::string_view table, const Columns& values);
  // Sets named values in the rows where keyColumn equals key (names as for
  // insert).
  void update(std::string_view table, const Columns& values, std::string_view keyColumn, const Param& key);

  // While set, hears of every row a statement inserts, updates or deletes,
  // by its table and rowid; an empty function stops it.
  using ChangeObserver = std::function<void(const char* table, int64_t rowid)>;
  void observeChanges(ChangeObserver observer);

  int userVersion();
  void setUserVersion(int version);

  // One exchange's changes: committed by commit(), else rolled back.
  class Transaction {
   public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

   private:
    Database& db_;
    bool done_ = false;
  };

 private:
  [[noreturn]] void fail(const std::string& what);
  sqlite3* db_ = nullptr;
  ChangeObserver observer_;
};

}  // namespace sandbox

#endif

// SPDX-License-Identifier: MIT
// What the console shows of the service's exchanges: each one as it
// happened (the decoded members, the outcome, the answer's rows, the armed
// fault it met, how its answer went out, the raw bytes both ways) and which
// rows of the centre's tables it changed. The connections' threads share
// it; every member function takes the journal's own lock.
#ifndef NV_SANDBOX_JOURNAL_H
#define NV_SANDBOX_JOURNAL_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/sandbox/platform.h"
#include "tools/sandbox/record.h"

namespace sandbox {

// The bytes of an exchange: the request as received (HTTP header and
// body), the answer as sent (empty when nothing was).
struct RawExchange {
  std::string request;
  std::string answer;
  size_t size() const { return request.size() + answer.size(); }
};

struct JournalEntry {
  int64_t id = 0;
  std::string time;       // local, "yyyy-MM-dd HH:mm:ss.mmm"
  std::string operation;  // empty: the request reached no operation
  Record members;         // decoded, GBK
  // "ok"; "fault": refused by the centre or by an armed fault; "error": the
  // centre failed; "refused": no operation was reached.
  std::string outcome;
  std::string message;       // GBK: the fault's text, or why the request was refused
  std::vector<Record> rows;  // GBK: the answer's rows
  std::string armed;         // UTF-8: the armed fault the exchange met; empty: none
  std::string delivery;      // UTF-8: how the answer went out, or is going out
  bool held = true;          // its answer is not out yet
  int64_t durationMs = 0;
  std::shared_ptr<const RawExchange> raw;  // once the answer went out
};

// A row of a table of the centre, by its rowid.
struct TableRow {
  std::string table;
  int64_t rowid;
  bool operator<(const TableRow& other) const {
    return table != other.table ? table < other.table : rowid < other.rowid;
  }
};

// What a list of exchanges is narrowed to; empty fields narrow nothing.
struct JournalFilter {
  std::string operation;
  std::string number;   // GBK: a member or an answer's value equal to it (a visit, stay, settlement number)
  std::string outcome;  // an outcome, or "armed": met an armed fault
};

class Journal {
 public:
  // Keeps the newest exchanges: at most keepEntries, of at most keepBytes
  // of raw bytes together; older ones are forgotten whole.
  explicit Journal(size_t keepEntries = 1000, size_t keepBytes = 64u << 20);

  // Records an exchange whose answer is still to go out; returns its id.
  int64_t begin(JournalEntry entry);
  // Its answer went out (or did not): how, after how long, the raw bytes.
  void finish(int64_t id, const std::string& delivery, int64_t durationMs, RawExchange raw);
  void updateDelivery(int64_t id, const std::string& delivery);
  // The rows the exchange made or changed.
  void link(int64_t id, const std::vector<TableRow>& rows);
  // The database was reset: no row is made by any exchange any more.
  void forgetLinks();

  std::vector<int64_t> exchangesOf(const TableRow& row) const;
  std::optional<JournalEntry> entry(int64_t id) const;
  // Newest first, at most limit.
  std::vector<JournalEntry> newestFirst(const JournalFilter& filter, size_t limit) const;
  // Goes up with every change of what the journal or the links hold.
  uint64_t version() const;

 private:
  void forgetOldest();  // with lock_ held

  mutable Mutex lock_;
  size_t keepEntries_, keepBytes_, rawBytes_ = 0;
  int64_t nextId_ = 1;
  uint64_t version_ = 0;
  std::map<int64_t, JournalEntry> entries_;
  std::map<TableRow, std::vector<int64_t>> links_;
};

// "yyyy-MM-dd HH:mm:ss.mmm", local time.
std::string timeNow();

}  // namespace sandbox

#endif

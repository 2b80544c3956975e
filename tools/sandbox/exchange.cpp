// SPDX-License-Identifier: MIT
#include "tools/sandbox/exchange.h"

#include <mutex>

#include "text/codec.h"
#include "tools/common/gbk_text.h"
#include "tools/sandbox/business_error.h"
#include "tools/sandbox/connection.h"
#include "tools/sandbox/exchange_log.h"

namespace sandbox {

using nvtools::gbk;
namespace {

int fault(struct soap* soap, const std::string& gbkMessage) {
  // The faultstring is base64 text; the runtime copies it into the context.
  return soap_receiver_fault(soap, nv::base64Encode(gbkMessage).c_str(), nullptr);
}

}  // namespace

std::string decodeMember(std::string_view value) {
  // The centre's own rule, also the library's: only well-formed base64 is
  // decoded. All decoded bytes are kept, a zero byte included.
  std::string text;
  for (char c : value)
    if (c != '\r' && c != '\n') text += c;
  return nv::isWellFormedBase64(text) ? nv::decodeStrict(text) : std::string(value);
}

std::string* Exchange::text(std::string_view gbkBytes) {
  std::string* member = soap_new_std__string(soap_, -1);
  *member = nv::base64Encode(gbkBytes);
  return member;
}

std::string* Exchange::returnText(std::string_view gbkBytes) {
  summary_ = "return=" + shown(gbkBytes);
  rows_.push_back(Record{{"return", std::string(gbkBytes)}});
  return text(gbkBytes);
}

std::string Exchange::shown(std::string_view gbkBytes) { return quoteForLog(gbkBytes); }

namespace {

// The rows of the centre's tables one exchange changes, heard from the
// store while it runs.
class ChangedRows {
 public:
  explicit ChangedRows(Database& db) : db_(db) {
    db_.observeChanges([this](const char* table, int64_t rowid) { rows_.push_back({table, rowid}); });
  }
  ~ChangedRows() { db_.observeChanges(nullptr); }
  ChangedRows(const ChangedRows&) = delete;
  ChangedRows& operator=(const ChangedRows&) = delete;
  const std::vector<TableRow>& rows() const { return rows_; }

 private:
  Database& db_;
  std::vector<TableRow> rows_;
};

}  // namespace

int serveExchange(struct soap* soap, const char* operation, Record request,
                  const std::function<void(Exchange&, Ledger&)>& body) {
  Connection& connection = connectionOf(soap);
  ServerState& state = connection.server;
  Exchange exchange(soap, std::move(request));
  JournalEntry entry;
  entry.time = timeNow();
  entry.operation = operation;
  entry.members = exchange.request();
  std::optional<ArmedFault> armed = state.faults.take(operation);
  if (armed) entry.armed = describe(armed->spec);
  auto record = [&](const std::string& outcome, std::string message, const std::string& logged) {
    writeLogLine(formatExchange(operation, exchange.request(), logged));
    connection.logged = true;
    entry.outcome = outcome;
    entry.message = std::move(message);
    entry.rows = exchange.rows();
    entry.delivery = "answering";
    if (connection.held) entry.delivery = "held: " + entry.armed;
    connection.journalId = state.journal.begin(std::move(entry));
    return connection.journalId;
  };

  if (armed && armed->spec.kind == FaultKind::Fault) {
    std::string message = nvtools::utf8ToGbk(armed->spec.text).value_or(armed->spec.text);
    record("fault", message, "armed fault " + quoteForLog(message));
    return fault(soap, message);
  }
  if (armed) connection.held = armed->spec;
  const std::string heldNote = armed ? "; armed: " + entry.armed : "";
  std::lock_guard<Mutex> centre(state.centreLock);
  try {
    ChangedRows changes(*state.db);
    Database::Transaction transaction(*state.db);
    Ledger ledger(*state.db);
    body(exchange, ledger);
    transaction.commit();
    int64_t id = record("ok", "", (exchange.summary().empty() ? "ok" : "ok " + exchange.summary()) + heldNote);
    state.journal.link(id, changes.rows());
    return SOAP_OK;
  } catch (const BusinessError& refused) {
    record("fault", gbk(refused.what()), "fault " + quoteForLog(gbk(refused.what())) + heldNote);
    return fault(soap, gbk(refused.what()));
  } catch (const std::exception& failed) {
    record("error", failed.what(), std::string("error ") + quoteForLog(failed.what()) + heldNote);
    return fault(soap, gbk("农合中心内部错误"));
  }
}

}  // namespace sandbox

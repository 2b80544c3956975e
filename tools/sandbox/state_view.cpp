// SPDX-License-Identifier: MIT
#include "tools/sandbox/state_view.h"

#include <string>

#include "tools/common/gbk_text.h"

namespace sandbox {
namespace {

struct StateTable {
  const char* name;
  const char* title;
  const char* table;  // whose rowid links a row to its exchanges
  const char* query;  // its first column is that rowid
};

// clang-format off
constexpr StateTable kTables[] = {
    {"members",     "参合人员 members",           "members",      "SELECT rowid AS _rowid, * FROM members ORDER BY rowid"},
    {"accounts",    "家庭帐户 family accounts",   "families",     "SELECT rowid AS _rowid, familySysno, accountCents FROM families ORDER BY rowid"},
    {"visits",      "门诊 outpatient visits",     "clinicVisits", "SELECT rowid AS _rowid, * FROM clinicVisits ORDER BY rowid"},
    {"stays",       "住院 inpatient stays",       "stays",        "SELECT rowid AS _rowid, * FROM stays ORDER BY rowid"},
    {"fees",        "费用明细 fee lines",         "feeDetails",   "SELECT rowid AS _rowid, * FROM feeDetails ORDER BY rowid"},
    {"settlements", "门诊结算 settlements",       "settlements",  "SELECT rowid AS _rowid, settlementNo, clinicNo, userNo, totalCents, eligibleCents, redeemCents, cancelled FROM settlements ORDER BY rowid"},
    {"balances",    "门诊结帐 balances",          "settlements",  "SELECT rowid AS _rowid, settlementNo, clinicNo, familyAccountCents, balanceUserNo FROM settlements WHERE balanced = 1 ORDER BY rowid"},
    {"payments",    "住院补偿 payments",          "payments",     "SELECT rowid AS _rowid, * FROM payments ORDER BY rowid"},
    {"matches",     "项目匹配 item matches",      "matches",      "SELECT rowid AS _rowid, * FROM matches ORDER BY rowid"},
};
// clang-format on

std::string shown(const std::string& gbkBytes) { return nvtools::gbkToUtf8ForDisplay(gbkBytes); }

}  // namespace

nlohmann::ordered_json stateTables(Database& db, const Journal& journal) {
  nlohmann::ordered_json tables = nlohmann::ordered_json::array();
  for (const StateTable& table : kTables) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    nlohmann::ordered_json columns = nlohmann::ordered_json::array();
    std::vector<Record> found = db.rows(table.query);
    for (const Record& row : found) {
      const auto& fields = row.fields();
      if (columns.empty())
        for (size_t i = 1; i < fields.size(); ++i) columns.push_back(fields[i].first);
      nlohmann::ordered_json values = nlohmann::ordered_json::array();
      for (size_t i = 1; i < fields.size(); ++i) values.push_back(shown(fields[i].second));
      int64_t rowid = std::stoll(fields.front().second);
      rows.push_back({{"values", values}, {"exchanges", journal.exchangesOf({table.table, rowid})}});
    }
    tables.push_back({{"name", table.name}, {"title", table.title}, {"columns", columns}, {"rows", rows}});
  }
  return {{"tables", tables}};
}

}  // namespace sandbox

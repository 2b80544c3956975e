// SPDX-License-Identifier: MIT
// The centre's state as the console shows it: members, family accounts,
// visits, stays, fee lines, settlements, balances, payments and item
// matches, each row with the exchanges that made or changed it.
#ifndef NV_SANDBOX_STATE_VIEW_H
#define NV_SANDBOX_STATE_VIEW_H

#include <nlohmann/json.hpp>

#include "tools/sandbox/database.h"
#include "tools/sandbox/journal.h"

namespace sandbox {

// {"tables": [{"name", "title", "columns": [...], "rows": [{"values": [...],
// "exchanges": [ids]}]}]}, texts in UTF-8. The caller holds the centre's lock.
nlohmann::ordered_json stateTables(Database& db, const Journal& journal);

}  // namespace sandbox

#endif

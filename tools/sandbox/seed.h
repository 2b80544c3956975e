// SPDX-License-Identifier: MIT
// The sandbox centre's tables, and what a fresh database starts with:
// insured members, hospitals, the disease and drug catalogues,
// reimbursement types and offices.
#ifndef NV_SANDBOX_SEED_H
#define NV_SANDBOX_SEED_H

#include "tools/sandbox/database.h"
#include "tools/sandbox/seed_codes.h"

namespace sandbox {

// Creates and seeds a fresh database; leaves one made earlier as it is.
// Throws DatabaseError for a database of an unknown layout.
void prepareDatabase(Database& db);

// Returns the database to its seed: every table made afresh.
void reseedDatabase(Database& db);

}  // namespace sandbox

#endif

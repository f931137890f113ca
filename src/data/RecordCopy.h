#pragma once

#include "data/Database.h"
#include "data/Schema.h"

#include <array>

// The whole ledger moved from one database to another (Norva.db to a server), every row
// under its own RowId.
namespace db {

// The tables a copy carries, in order: the ledger's six, the trash, the recurring entries and their
// occurrences, the e-Fatura invoices recorded and their settings, the master password's settings
// (last: the copy's report looks there).
inline constexpr std::array<const schema::Table *, 13> kCopiedTables = {&schema::kFirmalar,
                                                                        &schema::kGelirGider,
                                                                        &schema::kGGKategori,
                                                                        &schema::kLinkler,
                                                                        &schema::kParolalar,
                                                                        &schema::kKisiler,
                                                                        &schema::kTrashTables[0],
                                                                        &schema::kRecurringTables[0],
                                                                        &schema::kRecurringTables[1],
                                                                        &schema::kInvoiceTables[0],
                                                                        &schema::kInvoiceTables[1],
                                                                        &schema::kInvoiceTables[2],
                                                                        &schema::kMasterPasswordTables[0]};

// Whether any of those tables holds a row.
bool holdsRecords(Connection &connection);

// Copies every row of those tables in `from` into `to`, inside the caller's transaction on
// `to`, and moves each table's next RowId past them; the rows copied, per table in that order.
// A NULL another program left in a column arrives as empty text.
std::array<int, kCopiedTables.size()> copyRecords(Connection &from, Connection &to);

} // namespace db

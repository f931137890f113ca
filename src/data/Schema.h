#pragma once

#include "data/Statements.h"

#include <iterator>

// The versions of Norva.db's layout. The file keeps its version in
// PRAGMA user_version; at start every step above it runs, each in a
// transaction of its own that also writes the step's version. A step that has
// shipped never changes: a new table or column is a new step at the end.
namespace schema {

struct Step
{
    int version;
    const char *statements; // one or more, separated by ';'
};

inline constexpr Step kSteps[] = {
    // The six tables of the ledger and the indexes its lists need. Files made
    // before versions were kept have these tables and version 0.
    {1, sql::kSchema},
    // The trash: every delete keeps a copy of its row there.
    {2, sql::kTrashSchema},
    // The master password's settings (memberships are sealed while it is set), and the
    // index the list of places is read from.
    {3, sql::kMasterPasswordSchema},
};

inline constexpr int kCurrentVersion = std::size(kSteps);

} // namespace schema

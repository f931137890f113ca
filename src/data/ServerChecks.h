#pragma once

#include "data/Database.h"

// What a server holds for this program, read without writing anything.
namespace db {

struct ServerState
{
    int version = 0;       // of the layout; 0 before the program made it
    bool mayWrite = false; // the user may read and write every table, or make those missing
    QString refusedTable;  // the first one it may not, where there is one
};

ServerState serverState(Connection &connection);

} // namespace db

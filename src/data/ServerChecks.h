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

// The rights to each of `tables`, in one query: 1 to read and write, 0 none, -1 no such table.
QList<int> tableRights(Connection &connection, const QStringList &tables);

} // namespace db

#pragma once

#include "data/Database.h"

#include <optional>
#include <vector>

// A row of Linkler.
struct Link
{
    qint32 rowId = -1;
    QString title;   // Baslik
    QString address; // Link
    QString notes;   // Notlar
};

// Linkler. Links are added and deleted, never changed. Every step throws db::Error.
class LinkStore
{
public:
    explicit LinkStore(db::Connection &connection) : m_connection(connection) {}

    int add(const Link &link); // rows changed
    // The whole row, read before anything is returned; nothing when it is gone.
    std::optional<Link> find(qint32 rowId);
    std::vector<Link> all();  // every link whole, in the order stored
    int remove(qint32 rowId); // into the trash; rows changed (0: gone meanwhile)

    static db::ListQuery titles(); // Baslik with its RowId, in the order stored

private:
    db::Connection &m_connection;
};

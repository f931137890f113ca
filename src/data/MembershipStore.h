#pragma once

#include "data/Database.h"

#include <functional>
#include <optional>

// A row of Parolalar.
struct Membership
{
    qint32 rowId = -1;
    QString place;    // UyelikYeri
    QString userName; // KullaniciAdi
    QString password; // Parola
    QString mail;     // Mail
    QString web;      // Web
    QString notes;    // Notlar

    bool operator==(const Membership &) const = default;
};

// Parolalar. Every step throws db::Error.
class MembershipStore
{
public:
    explicit MembershipStore(db::Connection &connection) : m_connection(connection) {}

    int add(const Membership &membership); // rows changed
    // The whole row, read before anything is returned; nothing when it is gone. `forUpdate`, in a
    // transaction: no second writer changes the row until the transaction ends.
    std::optional<Membership> find(qint32 rowId, bool forUpdate = false);
    int update(const Membership &membership); // every field; rows changed (0: gone meanwhile)
    int remove(qint32 rowId);                 // into the trash; rows changed (0: gone meanwhile)

    static db::ListQuery places(); // UyelikYeri with its RowId, in the order stored

private:
    db::Connection &m_connection;
};

// Runs `change` in one transaction with the engine wiping what it frees, and
// empties the write-ahead log afterwards: no value the change replaced is left
// behind in the file's free space or in its log. Throws what `change` throws.
void changeLeavingNoTrace(db::Connection &connection, const std::function<void()> &change);

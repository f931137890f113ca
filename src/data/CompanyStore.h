#pragma once

#include "data/Database.h"

#include <QHash>
#include <QStringList>

#include <optional>

// A row of Firmalar.
struct Company
{
    qint32 rowId = -1;
    QString name;      // FirmaAdi
    QString address;   // FirmaAdresi
    QString taxOffice; // VergiDairesi
    QString taxNumber; // VergiNumarasi
    QString phone;     // Telefon
    QString mail;      // Mail
    QString relation;  // CalismaTuru: "Müşteri", "Tedarikçi" or "Tedarikçi & Müşteri"
    QString web;       // WebAdresi

    bool operator==(const Company &) const = default;
};

// The companies a list shows: all of them, or those of exactly one relation.
enum class RelationFilter { All, Supplier, Customer, SupplierAndCustomer };

// Firmalar. Every step throws db::Error.
class CompanyStore
{
public:
    explicit CompanyStore(db::Connection &connection) : m_connection(connection) {}

    int add(const Company &company); // rows changed
    // The whole row, read before anything is returned; nothing when it is gone. `forUpdate`, in a
    // transaction: no second writer changes the row until the transaction ends.
    std::optional<Company> find(qint32 rowId, bool forUpdate = false);
    // Writes the address, tax office and number, phone, mail and web address;
    // name and relation stay as they are. Rows changed (0: gone meanwhile).
    int update(const Company &company);
    int remove(qint32 rowId); // into the trash; rows changed (0: gone meanwhile)

    // The names an income can come from (customers, and those that are both)
    // and an expense can go to (suppliers, and those that are both), in
    // Turkish order.
    QStringList incomeSources();
    QStringList expenseSources();

    static db::ListQuery names(RelationFilter filter); // FirmaAdi with its RowId
    static db::ListQuery sources(const QString &kind); // incomeSources or expenseSources, unsorted

private:
    QStringList sortedNames(const char *statement);

    db::Connection &m_connection;
};

// Looks companies up by name again and again over one connection, as a report
// does for each of its entries: the statement is prepared at the first look-up
// and kept for the rest.
class CompanyByName
{
public:
    explicit CompanyByName(db::Connection &connection) : m_connection(connection) {}

    // The first company of exactly that name, with the fields a report shows:
    // the name, address, tax office and tax number. Nothing else is read (so a
    // value another program left NULL there stops nothing): the rest stays
    // empty, the RowId -1. Nothing when no company has that name. The companies are read once,
    // all in one walk, at the first call: a month names hundreds of them, and on a server a
    // lookup each would be a round trip each. Throws db::Error.
    std::optional<Company> find(const QString &name);

private:
    db::Connection &m_connection;
    std::optional<QHash<QString, Company>> m_companies;
};

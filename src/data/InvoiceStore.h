#pragma once

#include "data/Database.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// What the e-Fatura import keeps and looks up: the invoices recorded (Invoices, by UUID),
// the category last chosen per company and kind (InvoiceCategories), our own tax number
// (InvoiceSettings), and the entries and companies as an invoice names them. Every step
// throws db::Error.
class InvoiceStore
{
public:
    // A company as an invoice is matched with it.
    struct KnownCompany
    {
        qint32 rowId = -1;
        QString name;      // FirmaAdi
        QString taxNumber; // VergiNumarasi
        QString relation;  // CalismaTuru
    };

    explicit InvoiceStore(db::Connection &connection) : m_connection(connection) {}

    // The UUIDs of the invoices whose entries are there, with the number they were recorded with.
    QSet<QString> recordedUuids();
    bool isRecorded(const QString &uuid);
    // Every entry's company and invoice number, as invoiceKey() makes them.
    QSet<QString> entryInvoiceNumbers();
    bool hasInvoiceNumber(const QString &source, const QString &number);
    static QString invoiceKey(const QString &source, const QString &number);

    // Keeps the UUID of the invoice recorded as the entry `entryRowId`; a UUID kept for an
    // entry that is gone is taken over. A UUID kept for an entry still there is refused by
    // the table's unique constraint (db::Error): another desk recorded it meanwhile.
    void keepRecorded(const QString &uuid, qint32 entryRowId, const QString &number);

    std::vector<KnownCompany> companies(); // in the order stored
    void makeSupplierAndCustomer(qint32 companyRowId);

    // The categories chosen, by categoryKey().
    QHash<QString, QString> categories();
    void keepCategory(const QString &taxNumber, const QString &kind, const QString &category);
    static QString categoryKey(const QString &taxNumber, const QString &kind);

    // The texts a list shows, in its order: the categories a kind offers, say.
    QStringList texts(const db::ListQuery &list);

    QString ownTaxNumber(); // empty while none is kept
    void keepOwnTaxNumber(const QString &taxNumber);

private:
    db::Connection &m_connection;
};

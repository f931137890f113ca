#include "data/InvoiceStore.h"

#include "data/Statements.h"

using namespace Qt::StringLiterals;

QSet<QString> InvoiceStore::recordedUuids()
{
    QSet<QString> uuids;
    for (db::Rows rows = m_connection.query(sql::kInvoicesRecorded); !rows.atEnd(); rows.moveNext())
        uuids.insert(rows.text("Uuid"));
    return uuids;
}

bool InvoiceStore::isRecorded(const QString &uuid)
{
    return !m_connection.query(sql::kInvoiceRecorded, {uuid}).atEnd();
}

QSet<QString> InvoiceStore::entryInvoiceNumbers()
{
    QSet<QString> keys;
    for (db::Rows rows = m_connection.query(sql::kEntryInvoiceNumbers); !rows.atEnd(); rows.moveNext())
        keys.insert(invoiceKey(rows.text("IslemKaynagi"), rows.text("FaturaNo")));
    return keys;
}

bool InvoiceStore::hasInvoiceNumber(const QString &source, const QString &number)
{
    return !m_connection.query(sql::kEntryInvoiceNumber, {source, number}).atEnd();
}

QString InvoiceStore::invoiceKey(const QString &source, const QString &number)
{
    return source + u'\n' + number;
}

void InvoiceStore::keepRecorded(const QString &uuid, qint32 entryRowId, const QString &number)
{
    m_connection.execute(sql::kInvoiceForget, {uuid});
    m_connection.execute(sql::kInvoiceAdd, {uuid, entryRowId, number});
}

std::vector<InvoiceStore::KnownCompany> InvoiceStore::companies()
{
    std::vector<KnownCompany> companies;
    for (db::Rows rows = m_connection.query(sql::kInvoiceCompanies); !rows.atEnd(); rows.moveNext())
        companies.push_back(
            {rows.rowId(), rows.text("FirmaAdi"), rows.text("VergiNumarasi"), rows.text("CalismaTuru")});
    return companies;
}

void InvoiceStore::makeSupplierAndCustomer(qint32 companyRowId)
{
    m_connection.execute(sql::kInvoiceCompanyBoth, {companyRowId});
}

QHash<QString, QString> InvoiceStore::categories()
{
    QHash<QString, QString> chosen;
    for (db::Rows rows = m_connection.query(sql::kInvoiceCategories); !rows.atEnd(); rows.moveNext())
        chosen.insert(categoryKey(rows.text("TaxNumber"), rows.text("Kind")), rows.text("Category"));
    return chosen;
}

void InvoiceStore::keepCategory(const QString &taxNumber, const QString &kind, const QString &category)
{
    m_connection.execute(sql::kInvoiceCategoryKeep, {taxNumber, kind, category});
}

QString InvoiceStore::categoryKey(const QString &taxNumber, const QString &kind)
{
    return taxNumber + u'\n' + kind;
}

QStringList InvoiceStore::texts(const db::ListQuery &list)
{
    const QString statement =
        list.order ? list.statement + u" ORDER BY "_s + QLatin1StringView(list.order) : list.statement;
    QStringList texts;
    for (db::Rows rows = m_connection.query(statement, list.values); !rows.atEnd(); rows.moveNext())
        texts << rows.text(list.textColumn);
    return texts;
}

QString InvoiceStore::ownTaxNumber()
{
    db::Rows rows = m_connection.query(sql::kOwnTaxNumber);
    return rows.atEnd() ? QString() : rows.text("OwnTaxNumber");
}

void InvoiceStore::keepOwnTaxNumber(const QString &taxNumber)
{
    m_connection.execute(sql::kOwnTaxNumberKeep, {taxNumber});
}

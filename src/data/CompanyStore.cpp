#include "data/CompanyStore.h"

#include "data/Dialect.h"
#include "data/Kinds.h"
#include "data/RowListModel.h"
#include "data/Statements.h"
#include "data/TrashStore.h"

int CompanyStore::add(const Company &company)
{
    return m_connection.execute(sql::kFirmaEkle, {company.name, company.address, company.taxOffice, company.taxNumber,
                                                  company.phone, company.mail, company.relation, company.web});
}

std::optional<Company> CompanyStore::find(qint32 rowId, bool forUpdate)
{
    const char *lock = forUpdate ? db::dialect::lockRows(m_connection.engine()) : "";
    db::Rows rows = m_connection.query(QByteArray(sql::kFirmaDetay).append(lock).constData(), {rowId});
    if (rows.atEnd())
        return std::nullopt;
    Company company;
    company.rowId = rowId;
    company.name = rows.text("FirmaAdi");
    company.relation = rows.text("CalismaTuru");
    company.address = rows.text("FirmaAdresi");
    company.taxOffice = rows.text("VergiDairesi");
    company.taxNumber = rows.text("VergiNumarasi");
    company.phone = rows.text("Telefon");
    company.mail = rows.text("Mail");
    company.web = rows.text("WebAdresi");
    return company;
}

int CompanyStore::update(const Company &company)
{
    return m_connection.execute(sql::kFirmaGuncelle, {company.address, company.taxOffice, company.taxNumber,
                                                      company.phone, company.mail, company.web, company.rowId});
}

int CompanyStore::remove(qint32 rowId)
{
    return TrashStore::removeKeeping(m_connection, schema::kFirmalar, sql::kFirmaSil, {rowId});
}

QStringList CompanyStore::incomeSources()
{
    return sortedNames(sql::kFirmaGelirKaynaklari);
}

QStringList CompanyStore::expenseSources()
{
    return sortedNames(sql::kFirmaGiderKaynaklari);
}

db::ListQuery CompanyStore::sources(const QString &kind)
{
    return {QString::fromUtf8(kind == ledger::income() ? sql::kFirmaGelirKaynaklari : sql::kFirmaGiderKaynaklari),
            {},
            "FirmaAdi"};
}

QStringList CompanyStore::sortedNames(const char *statement)
{
    QStringList names;
    for (db::Rows rows = m_connection.query(statement); !rows.atEnd(); rows.moveNext())
        names << rows.listedText("FirmaAdi");
    sortTurkish(names);
    return names;
}

db::ListQuery CompanyStore::names(RelationFilter filter)
{
    const char *statement = sql::kFirmaTumu;
    switch (filter) {
    case RelationFilter::All: break;
    case RelationFilter::Supplier: statement = sql::kFirmaTedarikci; break;
    case RelationFilter::Customer: statement = sql::kFirmaMusteri; break;
    case RelationFilter::SupplierAndCustomer: statement = sql::kFirmaTedarikciMusteri; break;
    }
    return {QString::fromUtf8(statement), {}, "FirmaAdi"};
}

std::optional<Company> CompanyByName::find(const QString &name)
{
    if (!m_companies) {
        QHash<QString, Company> companies;
        for (db::Rows rows = m_connection.query(sql::kFirmaRaporBilgileri); !rows.atEnd(); rows.moveNext()) {
            const QString stored = rows.text("FirmaAdi");
            if (companies.contains(stored))
                continue; // the first of a name is the one shown
            Company company;
            company.name = stored;
            company.address = rows.text("FirmaAdresi");
            company.taxOffice = rows.text("VergiDairesi");
            company.taxNumber = rows.text("VergiNumarasi");
            companies.insert(stored, company);
        }
        m_companies = std::move(companies);
    }
    if (const auto found = m_companies->constFind(name); found != m_companies->cend())
        return *found;
    return std::nullopt;
}

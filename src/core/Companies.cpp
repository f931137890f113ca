#include "core/Companies.h"

#include "data/Kinds.h"
#include "data/RowListModel.h"

using namespace Qt::StringLiterals;

namespace core {

QString relationText(Relation which)
{
    switch (which) {
    case Relation::Customer: return relation::customer();
    case Relation::Supplier: return relation::supplier();
    case Relation::SupplierAndCustomer: return relation::supplierAndCustomer();
    }
    return {};
}

std::optional<Relation> relationOf(const QString &text)
{
    for (const Relation relation : {Relation::Customer, Relation::Supplier, Relation::SupplierAndCustomer})
        if (text == relationText(relation))
            return relation;
    return std::nullopt;
}

QStringList relationTexts()
{
    QStringList texts;
    for (const Relation relation : {Relation::Customer, Relation::Supplier, Relation::SupplierAndCustomer})
        texts << relationText(relation);
    sortTurkish(texts);
    return texts;
}

Result<Companies::Refusal> Companies::add(const Company &company)
{
    if (!relationOf(company.relation))
        return Result<Refusal>::refused(Refusal::UnknownRelation);
    db::Connection connection;
    return add(connection, company);
}

Result<Companies::Refusal> Companies::add(db::Connection &connection, const Company &company)
{
    if (!relationOf(company.relation))
        return Result<Refusal>::refused(Refusal::UnknownRelation);
    CompanyStore(connection).add(company);
    return Result<Refusal>::done();
}

std::optional<Company> Companies::find(qint32 rowId)
{
    db::Connection connection;
    return CompanyStore(connection).find(rowId);
}

Change Companies::update(const Company &original, const Company &company)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    CompanyStore store(connection);
    const std::optional<Company> stored = store.find(company.rowId, true);
    if (!stored)
        return Change::gone();
    if (*stored != original)
        return Change::changed();
    store.update(company);
    transaction.commit();
    return Change::done(company.rowId);
}

Change Companies::remove(qint32 rowId)
{
    db::Connection connection;
    return changeOf(CompanyStore(connection).remove(rowId));
}

db::ListQuery Companies::list(std::optional<Relation> relation)
{
    if (!relation)
        return CompanyStore::names(RelationFilter::All);
    switch (*relation) {
    case Relation::Customer: return CompanyStore::names(RelationFilter::Customer);
    case Relation::Supplier: return CompanyStore::names(RelationFilter::Supplier);
    case Relation::SupplierAndCustomer: return CompanyStore::names(RelationFilter::SupplierAndCustomer);
    }
    return CompanyStore::names(RelationFilter::All);
}

std::vector<Company> Companies::rowsOf(const std::vector<qint32> &rowIds)
{
    db::Connection connection;
    CompanyStore store(connection);
    std::vector<Company> companies;
    companies.reserve(rowIds.size());
    for (const qint32 rowId : rowIds)
        if (std::optional<Company> company = store.find(rowId)) // deleted meanwhile: left out
            companies.push_back(std::move(*company));
    return companies;
}

} // namespace core

#include "data/CategoryStore.h"

#include "data/Statements.h"
#include "data/TrashStore.h"

int CategoryStore::add(const Category &category)
{
    return m_connection.execute(sql::kKategoriEkle, {category.kind, category.name});
}

int CategoryStore::remove(qint32 rowId, const QString &kind)
{
    const bool income = kind == u"Gelir";
    return TrashStore::removeKeeping(m_connection, income ? sql::kTrashIncomeCategory : sql::kTrashExpenseCategory,
                                     income ? sql::kKategoriGelirSil : sql::kKategoriGiderSil, {rowId});
}

db::ListQuery CategoryStore::list(const QString &kind)
{
    return {QString::fromUtf8(kind == u"Gelir" ? sql::kKategoriGelir : sql::kKategoriGider), {}, "KalemAdi"};
}

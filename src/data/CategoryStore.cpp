#include "data/CategoryStore.h"

#include "data/Statements.h"

int CategoryStore::add(const Category &category)
{
    return m_connection.execute(sql::kKategoriEkle, {category.kind, category.name});
}

int CategoryStore::remove(qint32 rowId, const QString &kind)
{
    return m_connection.execute(kind == u"Gelir" ? sql::kKategoriGelirSil : sql::kKategoriGiderSil, {rowId});
}

db::ListQuery CategoryStore::list(const QString &kind)
{
    return {QString::fromUtf8(kind == u"Gelir" ? sql::kKategoriGelir : sql::kKategoriGider), {}, "KalemAdi"};
}

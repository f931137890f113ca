#include "data/CategoryStore.h"

#include "data/Kinds.h"
#include "data/Statements.h"
#include "data/TrashStore.h"

int CategoryStore::add(const Category &category)
{
    return m_connection.execute(sql::kKategoriEkle, {category.kind, category.name});
}

int CategoryStore::remove(qint32 rowId, const QString &kind)
{
    const bool income = kind == ledger::income();
    return TrashStore::removeKeeping(m_connection, schema::kGGKategori,
                                     income ? sql::kKategoriGelirSil : sql::kKategoriGiderSil, {rowId});
}

db::ListQuery CategoryStore::list(const QString &kind)
{
    return {QString::fromUtf8(kind == ledger::income() ? sql::kKategoriGelir : sql::kKategoriGider),
            {},
            "KalemAdi",
            sql::kStoredOrder};
}

#include "data/LinkStore.h"

#include "data/Statements.h"
#include "data/TrashStore.h"

int LinkStore::add(const Link &link)
{
    return m_connection.execute(sql::kLinkEkle, {link.title, link.address, link.notes});
}

std::optional<Link> LinkStore::find(qint32 rowId)
{
    db::Rows rows = m_connection.query(sql::kLinkDetay, {rowId});
    if (rows.atEnd())
        return std::nullopt;
    // A braced list is read left to right: in the statement's order.
    return Link{rowId, rows.text("Baslik"), rows.text("Link"), rows.text("Notlar")};
}

int LinkStore::remove(qint32 rowId)
{
    return TrashStore::removeKeeping(m_connection, sql::kTrashLink, sql::kLinkSil, {rowId});
}

db::ListQuery LinkStore::titles()
{
    return {QString::fromUtf8(sql::kLinkListesi), {}, "Baslik"};
}

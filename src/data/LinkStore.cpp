#include "data/LinkStore.h"

#include "data/Statements.h"
#include "data/TrashStore.h"

int LinkStore::add(const Link &link)
{
    return m_connection.execute(sql::kLinkEkle, {link.title, link.address, link.notes});
}

namespace {

// The link at a row of kLinkKayitlari or kLinkDetay.
Link linkAt(const db::Rows &rows)
{
    // A braced list is read left to right: in the statement's order.
    return Link{rows.rowId(), rows.text("Baslik"), rows.text("Link"), rows.text("Notlar")};
}

} // namespace

std::optional<Link> LinkStore::find(qint32 rowId)
{
    db::Rows rows = m_connection.query(sql::kLinkDetay, {rowId});
    if (rows.atEnd())
        return std::nullopt;
    return linkAt(rows);
}

std::vector<Link> LinkStore::all()
{
    std::vector<Link> links;
    for (db::Rows rows = m_connection.query(sql::kLinkKayitlari); !rows.atEnd(); rows.moveNext())
        links.push_back(linkAt(rows));
    return links;
}

int LinkStore::remove(qint32 rowId)
{
    return TrashStore::removeKeeping(m_connection, schema::kLinkler, sql::kLinkSil, {rowId});
}

db::ListQuery LinkStore::titles()
{
    return {QString::fromUtf8(sql::kLinkListesi), {}, "Baslik", sql::kStoredOrder};
}

#include "data/MembershipStore.h"

#include "data/Dialect.h"
#include "data/SqliteSql.h"
#include "data/Statements.h"
#include "data/TrashStore.h"

int MembershipStore::add(const Membership &membership)
{
    return m_connection.execute(sql::kParolaEkle, {membership.place, membership.userName, membership.password,
                                                   membership.mail, membership.web, membership.notes});
}

std::optional<Membership> MembershipStore::find(qint32 rowId, bool forUpdate)
{
    const char *lock = forUpdate ? db::dialect::lockRows(m_connection.engine()) : "";
    db::Rows rows = m_connection.query(QByteArray(sql::kParolaDetay).append(lock).constData(), {rowId});
    if (rows.atEnd())
        return std::nullopt;
    // A braced list is read left to right: in the statement's order.
    return Membership{rowId,
                      rows.text("UyelikYeri"),
                      rows.text("KullaniciAdi"),
                      rows.text("Parola"),
                      rows.text("Mail"),
                      rows.text("Web"),
                      rows.text("Notlar")};
}

int MembershipStore::update(const Membership &membership)
{
    return m_connection.execute(sql::kParolaGuncelle,
                                {membership.place, membership.userName, membership.password, membership.mail,
                                 membership.web, membership.notes, membership.rowId});
}

int MembershipStore::remove(qint32 rowId)
{
    return TrashStore::removeKeeping(m_connection, schema::kParolalar, sql::kParolaSil, {rowId});
}

db::ListQuery MembershipStore::places()
{
    return {QString::fromUtf8(sql::kParolaListesi), {}, "UyelikYeri", sql::kStoredOrder};
}

void changeLeavingNoTrace(db::Connection &connection, const std::function<void()> &change)
{
    // A server keeps its own pages: what it leaves behind is its administrator's business.
    const bool file = connection.engine() == db::Database::Engine::Sqlite;
    if (file)
        connection.execute(db::sqlite::kOverwriteDeleted);
    {
        db::Transaction transaction(connection);
        change();
        transaction.commit();
    }
    if (file)
        connection.execute(db::sqlite::kEmptyJournal);
}

#include "data/TrashStore.h"

#include "data/Backup.h"
#include "data/Dialect.h"
#include "data/Statements.h"
#include "data/TableStatements.h"

using namespace Qt::StringLiterals;

namespace {

// The statement that puts back a record of a table the trash takes.
QByteArray restoreStatement(db::Database::Engine engine, const QString &kind)
{
    if (const schema::Table *table = schema::ledgerTable(kind.toStdString()))
        return sql::restoreFromTrash(engine, *table);
    throw db::Error{{}, u"restore"_s, db::ErrorKind::Other, db::Failure::UnknownRecordKind, kind};
}

} // namespace

int TrashStore::removeKeeping(db::Connection &connection, const schema::Table &table, const char *remove,
                              const db::Values &values)
{
    db::Transaction transaction(connection);
    const int kept = connection.execute(sql::copyToTrash(connection.engine(), table, remove).constData(), values);
    const int removed = connection.execute(remove, values);
    // Under the write lock both see the same rows; anything else would lose one.
    if (kept != removed)
        throw db::Error{{}, u"trash"_s, db::ErrorKind::Other, db::Failure::NotKeptInTrash};
    transaction.commit();
    return removed;
}

std::vector<TrashItem> TrashStore::list()
{
    std::vector<TrashItem> items;
    for (db::Rows rows = m_connection.query(sql::kTrashList); !rows.atEnd(); rows.moveNext()) {
        items.push_back({rows.rowId(), rows.text("Kind"), rows.text("Summary"),
                         QDateTime::fromString(rows.text("DeletedAt"), Qt::ISODateWithMs)});
    }
    return items;
}

std::optional<RestoredRecord> TrashStore::restore(qint32 rowId)
{
    db::Transaction transaction(m_connection);
    QString kind;
    qint64 oldRowId = 0;
    {
        db::Rows item = m_connection.query(sql::kTrashItem, {rowId});
        if (item.atEnd())
            return std::nullopt;
        kind = item.text("Kind");
        oldRowId = item.text("OriginalRowId").toLongLong();
    }
    qint32 newRowId = -1;
    {
        db::Rows restored = m_connection.query(restoreStatement(m_connection.engine(), kind).constData(), {rowId});
        if (restored.atEnd())
            return std::nullopt;
        newRowId = restored.rowId();
    }
    m_connection.execute(sql::kTrashRemove, {rowId});
    if (const QByteArray follow = db::dialect::followRowIds(m_connection.engine(), kind.toUtf8()); !follow.isEmpty())
        m_connection.query(follow.constData());
    transaction.commit();
    return RestoredRecord{kind, oldRowId, newRowId};
}

int TrashStore::removeForever(qint32 rowId)
{
    db::keepCopy(u"cop-bosaltma"_s);
    return m_connection.execute(sql::kTrashRemove, {rowId});
}

int TrashStore::empty()
{
    db::keepCopy(u"cop-bosaltma"_s);
    return m_connection.execute(sql::kTrashEmpty);
}

int TrashStore::purgeOlderThan(int days)
{
    const QDateTime cutOff = QDateTime::currentDateTimeUtc().addDays(-days);
    return m_connection.execute(sql::kTrashPurge, {cutOff.toString(Qt::ISODateWithMs)});
}

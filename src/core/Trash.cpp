#include "core/Trash.h"

#include "data/Schema.h"

namespace core {

std::vector<TrashItem> Trash::list()
{
    db::Connection connection;
    return TrashStore(connection).list();
}

QString Trash::recordName(const QString &kind)
{
    const schema::Table *table = schema::ledgerTable(kind.toStdString());
    return table ? QString::fromUtf16(table->recordName) : kind;
}

Trash::Restore Trash::restore(qint32 trashRowId)
{
    db::Connection connection;
    const std::optional<RestoredRecord> restored = TrashStore(connection).restore(trashRowId);
    if (!restored)
        return {Change::gone()};
    return {Change::done(restored->rowId), restored->oldRowId};
}

Change Trash::removeForever(qint32 trashRowId)
{
    db::Connection connection;
    return changeOf(TrashStore(connection).removeForever(trashRowId));
}

Change Trash::empty()
{
    db::Connection connection;
    TrashStore(connection).empty();
    return Change::done();
}

void Trash::purgeExpired()
{
    if (db::isReadOnly())
        return;
    db::Connection connection;
    TrashStore(connection).purgeOlderThan(kKeptDays);
}

} // namespace core

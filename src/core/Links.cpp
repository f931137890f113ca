#include "core/Links.h"

#include "data/Database.h"

#include <utility>

namespace core {

namespace {

std::pair<QString, QString> keyOf(const Link &link)
{
    return {link.title, link.address};
}

} // namespace

db::ListQuery Links::list()
{
    return LinkStore::titles();
}

std::optional<Link> Links::find(qint32 rowId)
{
    db::Connection connection;
    return LinkStore(connection).find(rowId);
}

std::vector<Link> Links::all()
{
    db::Connection connection;
    return LinkStore(connection).all();
}

Change Links::add(const Link &link)
{
    db::Connection connection;
    return changeOf(LinkStore(connection).add(link));
}

Change Links::remove(qint32 rowId)
{
    db::Connection connection;
    return changeOf(LinkStore(connection).remove(rowId), rowId);
}

qsizetype Links::countSaved(const std::vector<Link> &read)
{
    if (read.empty())
        return 0;
    return leaveOutSaved(read, all(), keyOf).same;
}

NewRecords<Link> Links::addNew(const std::vector<Link> &read)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    LinkStore store(connection);
    // Compared again: another copy of the program may have added some since they were counted.
    NewRecords<Link> fresh = leaveOutSaved(read, store.all(), keyOf);
    for (const Link &link : fresh.records)
        store.add(link);
    transaction.commit();
    return fresh;
}

} // namespace core

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
    return countSavedRecords<LinkStore>(read, keyOf);
}

NewRecords<Link> Links::addNew(const std::vector<Link> &read)
{
    return addNewRecords<LinkStore>(read, keyOf);
}

} // namespace core

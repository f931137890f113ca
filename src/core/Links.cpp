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

qsizetype Links::countSaved(const std::vector<Link> &read)
{
    return countSavedRecords<LinkStore>(read, keyOf);
}

NewRecords<Link> Links::addNew(const std::vector<Link> &read)
{
    return addNewRecords<LinkStore>(read, keyOf);
}

} // namespace core

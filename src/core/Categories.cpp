#include "core/Categories.h"

#include "data/CategoryStore.h"
#include "data/Kinds.h"

namespace core {

Result<CategoryRefusal> Categories::add(const QString &kind, const QString &name)
{
    if (name.isEmpty())
        return Result<CategoryRefusal>::refused(CategoryRefusal::EmptyName);
    if (!ledger::isKind(kind))
        return Result<CategoryRefusal>::refused(CategoryRefusal::Kind);
    db::Connection connection;
    CategoryStore(connection).add({-1, kind, name});
    return Result<CategoryRefusal>::done();
}

Change Categories::remove(qint32 rowId, const QString &kind)
{
    db::Connection connection;
    return changeOf(CategoryStore(connection).remove(rowId, kind), rowId);
}

db::ListQuery Categories::list(const QString &kind)
{
    return CategoryStore::list(kind);
}

} // namespace core

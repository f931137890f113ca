#pragma once

#include "core/Result.h"
#include "data/Database.h"

#include <QString>

namespace core {

// Why a category is not added.
enum class CategoryRefusal {
    EmptyName, // nothing typed; a name of blanks is a name like any other
    Kind,      // neither "Gelir" nor "Gider"
};

// The income and the expense categories.
class Categories
{
public:
    Result<CategoryRefusal> add(const QString &kind, const QString &name);
    // Deletes the category only while it is of `kind`, so a list's button never
    // takes one of the other list: into the trash.
    Change remove(qint32 rowId, const QString &kind);

    // A kind's category names in stored order, with their RowIds.
    static db::ListQuery list(const QString &kind);
};

} // namespace core

#pragma once

#include "core/NewRecords.h"
#include "core/Result.h"
#include "data/LinkStore.h"

#include <optional>
#include <vector>

// The saved web links. Links are added and deleted, never changed.
// Every step throws db::Error.
namespace core {

class Links : public AddedAndDeleted<LinkStore, Link>
{
public:
    static db::ListQuery list(); // the titles with their RowId, in the order stored

    // Links read from a bookmarks file: how many of them are saved already,
    // counted before the user is asked; then the new ones added in one
    // transaction, all or none. A link is the saved one again when its title and
    // address are; notes may differ.
    static qsizetype countSaved(const std::vector<Link> &read);
    static NewRecords<Link> addNew(const std::vector<Link> &read);
};

} // namespace core

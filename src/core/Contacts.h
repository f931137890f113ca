#pragma once

#include "core/NewRecords.h"
#include "core/Result.h"
#include "data/ContactStore.h"

#include <QStringList>

#include <optional>
#include <vector>

// The contact directory. Contacts are added and deleted, never changed.
// Every step throws db::Error.
namespace core {

class Contacts : public AddedAndDeleted<ContactStore, Contact>
{
public:
    static db::ListQuery list(); // the names with their RowId, in the order stored

    // The fixed entries of the four lists of a contact, in the order shown. A
    // new contact starts with the first of each, and with "HAYIR" as relative.
    static const QStringList &hometowns();
    static const QStringList &educations();
    static const QStringList &bloodGroups();
    static const QStringList &relatives();

    // Contacts read from a file (vCard, say): how many of them are saved
    // already, counted before the user is asked; then the new ones added in one
    // transaction, all or none. A field the file left empty gets what a new
    // contact starts with; a contact then equal in every field to a saved one is
    // that contact again.
    static qsizetype countSaved(const std::vector<Contact> &read);
    static NewRecords<Contact> addNew(const std::vector<Contact> &read);
};

} // namespace core

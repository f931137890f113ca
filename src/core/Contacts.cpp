#include "core/Contacts.h"

#include "data/Database.h"

namespace core {

namespace {

QStringList fieldsOf(const Contact &c)
{
    return {c.name,      c.mobile,     c.homePhone, c.workPhone, c.occupation, c.hometown,
            c.education, c.bloodGroup, c.relative,  c.mail,      c.web,        c.about};
}

} // namespace

db::ListQuery Contacts::list()
{
    return ContactStore::names();
}

std::optional<Contact> Contacts::find(qint32 rowId)
{
    db::Connection connection;
    return ContactStore(connection).find(rowId);
}

std::vector<Contact> Contacts::all()
{
    db::Connection connection;
    return ContactStore(connection).all();
}

Change Contacts::add(const Contact &contact)
{
    db::Connection connection;
    return changeOf(ContactStore(connection).add(contact));
}

Change Contacts::remove(qint32 rowId)
{
    db::Connection connection;
    return changeOf(ContactStore(connection).remove(rowId), rowId);
}

qsizetype Contacts::countSaved(const std::vector<Contact> &read)
{
    if (read.empty())
        return 0;
    return leaveOutSaved(read, all(), fieldsOf).same;
}

NewRecords<Contact> Contacts::addNew(const std::vector<Contact> &read)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    ContactStore store(connection);
    // Compared again: another copy of the program may have added some since they were counted.
    NewRecords<Contact> fresh = leaveOutSaved(read, store.all(), fieldsOf);
    for (const Contact &contact : fresh.records)
        store.add(contact);
    transaction.commit();
    return fresh;
}

} // namespace core

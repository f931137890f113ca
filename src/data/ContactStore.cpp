#include "data/ContactStore.h"

#include "data/Statements.h"
#include "data/TrashStore.h"

int ContactStore::add(const Contact &contact)
{
    return m_connection.execute(sql::kKisiEkle,
                                {contact.name, contact.mobile, contact.homePhone, contact.workPhone, contact.occupation,
                                 contact.hometown, contact.education, contact.bloodGroup, contact.relative,
                                 contact.mail, contact.web, contact.about});
}

namespace {

// The contact at a row of kKisiKayitlari or kKisiDetay.
Contact contactAt(const db::Rows &rows)
{
    // A braced list is read left to right: in the statement's order.
    return Contact{rows.rowId(),
                   rows.text("AdSoyad"),
                   rows.text("CepTelefonu"),
                   rows.text("EvTelefonu"),
                   rows.text("IsTelefonu"),
                   rows.text("Meslek"),
                   rows.text("Memleket"),
                   rows.text("Tahsil"),
                   rows.text("KanGurubu"),
                   rows.text("Akrabalik"),
                   rows.text("Eposta"),
                   rows.text("Web"),
                   rows.text("Hakkinda")};
}

} // namespace

std::optional<Contact> ContactStore::find(qint32 rowId)
{
    db::Rows rows = m_connection.query(sql::kKisiDetay, {rowId});
    if (rows.atEnd())
        return std::nullopt;
    return contactAt(rows);
}

std::vector<Contact> ContactStore::all()
{
    std::vector<Contact> contacts;
    for (db::Rows rows = m_connection.query(sql::kKisiKayitlari); !rows.atEnd(); rows.moveNext())
        contacts.push_back(contactAt(rows));
    return contacts;
}

int ContactStore::remove(qint32 rowId)
{
    return TrashStore::removeKeeping(m_connection, schema::kKisiler, sql::kKisiSil, {rowId});
}

db::ListQuery ContactStore::names()
{
    return {QString::fromUtf8(sql::kKisiListesi), {}, "AdSoyad", sql::kStoredOrder};
}

#pragma once

#include "data/Database.h"

#include <optional>
#include <vector>

// A row of Kisiler.
struct Contact
{
    qint32 rowId = -1;
    QString name;       // AdSoyad
    QString mobile;     // CepTelefonu
    QString homePhone;  // EvTelefonu
    QString workPhone;  // IsTelefonu
    QString occupation; // Meslek
    QString hometown;   // Memleket
    QString education;  // Tahsil
    QString bloodGroup; // KanGurubu
    QString relative;   // Akrabalik: "EVET" or "HAYIR"
    QString mail;       // Eposta
    QString web;        // Web
    QString about;      // Hakkinda
};

// Kisiler. Contacts are added and deleted, never changed. Every step throws db::Error.
class ContactStore
{
public:
    explicit ContactStore(db::Connection &connection) : m_connection(connection) {}

    int add(const Contact &contact); // rows changed
    // The whole row, read before anything is returned; nothing when it is gone.
    std::optional<Contact> find(qint32 rowId);
    std::vector<Contact> all(); // every contact whole, in the order stored
    int remove(qint32 rowId);   // into the trash; rows changed (0: gone meanwhile)

    static db::ListQuery names(); // AdSoyad with its RowId, in the order stored

private:
    db::Connection &m_connection;
};

#pragma once

#include "data/Database.h"

#include <QString>
#include <QStringList>

// A category of income or expense, a row of GGKategori.
struct Category
{
    qint32 rowId = -1;
    QString kind; // IslemTuru: "Gelir" or "Gider"
    QString name; // KalemAdi
};

// The categories in GGKategori. Every step throws db::Error.
class CategoryStore
{
public:
    explicit CategoryStore(db::Connection &connection) : m_connection(connection) {}

    int add(const Category &category); // rows changed
    // Deletes the row only while it is of `kind`, so a list's button never
    // takes a category of the other list. Into the trash; rows changed (0: gone meanwhile).
    int remove(qint32 rowId, const QString &kind);

    // The names of a kind's categories in stored order; anything but "Gelir"
    // counts as expense.
    static db::ListQuery list(const QString &kind);

private:
    db::Connection &m_connection;
};

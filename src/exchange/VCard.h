#pragma once

#include "data/ContactStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// Contacts to and from the .vcf files of phones and mail programs.
namespace exchange {

// Every contact as a vCard 4.0, one file for all. The fields a vCard has no
// property for go into X-NORVA- properties, so the file read back gives the
// same contacts.
QByteArray vcardBytes(const std::vector<Contact> &contacts);

struct VCardRead
{
    std::vector<Contact> contacts; // the whole cards, in the file's order
    int skipped = 0;               // cards too broken to read
    QString error;                 // set when the file holds no vCard at all
};

// Reads vCard 2.1, 3.0 and 4.0: folded lines, quoted-printable values with
// soft line breaks, CHARSET, escaped values, TYPE given as TYPE=CELL, a bare
// ;CELL; or TYPE=cell,voice. What has no field here goes into the note
// (Hakkinda), a line each.
VCardRead readVCards(QByteArrayView bytes);

} // namespace exchange

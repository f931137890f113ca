#pragma once

#include "data/RateStore.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

// The central bank's daily rate bulletin (the XML of its rates site: today.xml, and
// YYYYMM/DDMMYYYY.xml for a day in its archive).
namespace exchange {

struct Bulletin
{
    QDate date;                            // the day it was published for
    std::vector<CurrencyRates> currencies; // each rate per one unit
};

// Why an answer was not taken for a bulletin; nothing of it is kept.
enum class BulletinFault {
    Empty,     // no bytes, or blanks only
    HtmlPage,  // a web page (an error page, a portal's notice) instead of the XML
    Cut,       // the XML ends before its last element closes
    Malformed, // not XML, or XML that is no bulletin
    BadRate,   // a rate or unit that is not a number
    OtherDate, // a bulletin of another day than the one asked for
};

// How the bulletin's own date must stand to the day asked for.
enum class AskedDay {
    Exactly,    // the archive's file of that day
    OnOrBefore, // today.xml: the last bulletin out, which is yesterday's until today's is published
};

// Reads a bulletin: each currency's Unit respected (a rate quoted for 100 units is divided by
// 100, rounded half up to a millionth), the decimal separator as published ('.'; a ',' is taken
// alike), its date (Tarih, with Date agreeing where given) checked against `asked`. A bulletin of
// up to two weeks before the day asked passes OnOrBefore.
std::variant<Bulletin, BulletinFault> readBulletin(QByteArrayView xml, const QDate &asked, AskedDay how);

// A published rate ("42.5370", "0,2512") for `unit` units, in millionths of a lira per one unit;
// 0 for an empty text; nothing for one that is not a number.
std::optional<qint64> perUnitRate(QStringView text, int unit);

} // namespace exchange

#pragma once

#include "data/Database.h"

#include <QString>

#include <optional>

// A month's income and expense report, as the viewer shows it.
struct MonthlyReport
{
    QString monthName; // "MART"
    QString yearText;  // "2032", as the year filter shows it
    QString banner;    // the title line, row 2 of the text
    QString text;      // every row ended by CR LF
    // The failure that cut the text short; the text is then what was built
    // before it.
    std::optional<db::Error> error;
};

// Upper-case Turkish name of a month from 1 to 12 ("OCAK" ... "ARALIK").
QString reportMonthName(int month);

// The title line of a month's report.
QString reportBanner(const QString &monthName, const QString &yearText);

// The rows that open and close a kind's section ("Gelir" or "Gider"); the
// viewer finds and colours them by this exact text.
QString reportSectionStart(const QString &kind);
QString reportSectionEnd(const QString &kind);

// An entry's amount as row 9 of the report shows it: as stored, with its own
// currency ("1250.50 TL "); for "Dolar" and "Euro" also the rate and the lira
// value, or that the lira value cannot be worked out without a rate.
QString reportAmount(const QString &amount, const QString &currency, const QString &rate);

// The plain-text report of a month (1 to 12) of the year in `yearText`: every
// income entry, then every expense entry, each with its company's address and
// tax details, on one connection. A month or year of 0 or less is not filtered on.
MonthlyReport monthlyReport(int month, const QString &yearText);

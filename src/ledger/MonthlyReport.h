#pragma once

#include <QString>

class QWidget;

// Upper-case Turkish name of a month from 1 to 12 ("OCAK" ... "ARALIK").
QString reportMonthName(int month);

// The title line of a month's report, as the viewer and row 2 show it.
QString reportBanner(const QString &monthName, const QString &yearText);

// The rows that open and close a kind's section ("Gelir" or "Gider"); the
// viewer finds and colours them by this exact text.
QString reportSectionStart(const QString &kind);
QString reportSectionEnd(const QString &kind);

// An entry's amount as row 9 of the report shows it: as stored, with its own
// currency ("1250.50 TL "); for "Dolar" and "Euro" also the rate and the lira
// value, or that the lira value cannot be worked out without a rate.
QString reportAmount(const QString &amount, const QString &currency, const QString &rate);

// The plain-text report of a month: every income entry, then every expense
// entry, each with its company's address and tax details. Rows end with CR LF;
// row 2 is g_strReportBanner. A month or year of 0 or less is not filtered on.
// After a database error the box is shown and the text built so far returned.
QString BuildMonthlyReport(int month, int year);

// Fills the report values for a month and year of the entries table and
// shows the report in the viewer, modally, over `owner`.
void showMonthlyReport(QWidget *owner, int month, const QString &yearText);

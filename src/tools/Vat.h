#pragma once

#include <QString>

// The VAT calculator's arithmetic, apart from its window.
namespace vat {

// The calculator's two directions, in the order of its mode list.
enum class Mode { AddVat = 0, RemoveVat = 1 };

struct Result
{
    double vat = 0;   // the VAT part
    double other = 0; // the total when adding VAT, the net amount when taking it out
};

// The leading number of a text, as the C library reads it whatever the
// user's language: blanks skipped, '.' as the decimal point, reading stops at
// the first character that cannot go on; 0 when there is no leading number.
double parseNumber(const QString &text);

Result compute(Mode mode, double amount, double ratePercent);

// "1200.00 TL"
QString formatTl(double value);

} // namespace vat

#pragma once

#include "data/Money.h"

#include <QString>

#include <optional>

class QComboBox;

namespace ledger {

// The amount of an entry about to be stored, once its amount, exchange rate
// and VAT rate are fit to store: the amount as parseAmount() reads it, the
// rate a '.'-decimal (above 0 for "Dolar" and "Euro"; for the other currencies
// it may also be left empty), the VAT rate empty or a whole number from 0 to
// 100. Otherwise the box names what is wrong and nothing is returned.
std::optional<Kurus> checkEntryNumbers(const QString &amount, const QString &currency, const QString &rate,
                                       const QString &vatRate);

// Kinds of entry as stored in IslemTuru.
inline QString gelir()
{
    return QStringLiteral("Gelir");
}
inline QString gider()
{
    return QStringLiteral("Gider");
}

// Adds "first" to "last" written with %d, no leading zeros.
void addNumbers(QComboBox *combo, int first, int last);
void addCurrencies(QComboBox *combo); // "Lira", "Dolar", "Euro"

} // namespace ledger

#pragma once

#include "data/Money.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Money in the Turkish form the register and the charts show: '.' between thousands, ',' before the
// kuruş, the currency's sign after ("51.450,00 ₺", "1.250,50 $", "-300,00 €"). The stored form stays
// the '.'-decimal the rest of the program writes.
namespace analysis {

QString turkishAmount(ledger::WideKurus kurus);                                // "51.450,00"
QString turkishMoney(ledger::WideKurus kurus, QStringView currency = u"Lira"); // with the sign
// "₺", "$", "€"; another currency by its own name.
QString currencySign(QStringView currency);
// `part` of `whole` in percent with one decimal, Turkish-style: "%12,5"; "%0,0" of nothing.
QString shareText(ledger::WideKurus part, ledger::WideKurus whole);

} // namespace analysis

namespace analysis {

// An entry's stored amount and its lira value as the totals count it (ledger::liraValue), read from the
// stored bytes without making texts of them.
struct StoredValue
{
    bool readable = false;                      // the amount is a stored amount
    ledger::WideKurus millionths = 0;           // of its own currency
    std::optional<ledger::WideKurus> lira = {}; // in kuruş; none without a usable rate
};
StoredValue storedValue(QByteArrayView amount, QByteArrayView currency, QByteArrayView rate);

// A stored day, month and year as yyyymmdd (20240312); 0 when one of them is not a date's part.
int dateKey(QByteArrayView day, QByteArrayView month, QByteArrayView year);
// A date key as shown: "12.03.2024".
QString dateText(int key);

} // namespace analysis

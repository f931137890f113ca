#pragma once

#include <QString>

#include <optional>

class QComboBox;

namespace ledger {

// The amount the user typed, when it is a whole '.'-decimal number other than
// zero ("1250", "-50", "12.5"); nothing for "12,50", "12abc", "abc" or "".
std::optional<double> parseAmount(const QString &text);

// Tells the user how an amount must be written.
void showAmountMessage();

// Kinds of entry as stored in IslemTuru.
inline QString gelir() { return QStringLiteral("Gelir"); }
inline QString gider() { return QStringLiteral("Gider"); }

// The categories of a kind; anything but "Gelir" counts as expense.
const char *categoryStatement(const QString &kind);

// Adds "first" to "last" written with %d, no leading zeros.
void addNumbers(QComboBox *combo, int first, int last);
void addCurrencies(QComboBox *combo); // "Lira", "Dolar", "Euro"

} // namespace ledger

#pragma once

#include "ledger/Money.h"

#include <QString>

#include <optional>

class QComboBox;
class QLineEdit;

namespace ledger {

// The amount of an entry about to be stored, once its amount, exchange rate
// and VAT rate are fit to store: the amount as parseAmount() reads it, the
// rate a '.'-decimal (above 0 for "Dolar" and "Euro"; for the other currencies
// it may also be left empty), the VAT rate empty or a whole number from 0 to
// 100. Otherwise the box names what is wrong and nothing is returned.
std::optional<Kurus> checkEntryNumbers(const QString &amount, const QString &currency, const QString &rate,
                                       const QString &vatRate);

// Kinds of entry as stored in IslemTuru.
inline QString gelir() { return QStringLiteral("Gelir"); }
inline QString gider() { return QStringLiteral("Gider"); }

// The categories of a kind; anything but "Gelir" counts as expense.
const char *categoryStatement(const QString &kind);

// Adds "first" to "last" written with %d, no leading zeros.
void addNumbers(QComboBox *combo, int first, int last);
void addCurrencies(QComboBox *combo); // "Lira", "Dolar", "Euro"

// Puts a stored value into a box with an input limit. A longer value (from an
// import or an older file) is shown and kept whole, so that saving the box
// back never cuts it; the limit only stops typing and pasting past it.
void showStoredText(QLineEdit *edit, const QString &text, int limit);

} // namespace ledger

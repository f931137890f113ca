#pragma once

#include <QString>

class QComboBox;

namespace core {
enum class EntryRefusal;
}

namespace ledger {

// The box that says why an entry was not stored: how the amount, the exchange
// rate or the VAT rate must be written, or that the company or category chosen
// is gone.
void showRefusal(core::EntryRefusal refusal);

// Adds "first" to "last" written with %d, no leading zeros.
void addNumbers(QComboBox *combo, int first, int last);
void addCurrencies(QComboBox *combo); // "Lira", "Dolar", "Euro"

} // namespace ledger

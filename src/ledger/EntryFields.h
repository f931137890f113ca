#pragma once

#include "core/Result.h"
#include "data/EntryStore.h"

#include <QString>

#include <functional>
#include <optional>

class QComboBox;

namespace ledger {
struct Totals;
}

namespace core {
enum class EntryRefusal;
}

namespace ledger {

// The box that says why an entry was not stored: how the amount, the exchange
// rate or the VAT rate must be written, or that the company or category chosen
// is gone.
void showRefusal(core::EntryRefusal refusal);
// Runs a write of entries; nothing once its failure or refusal has been shown in its box.
std::optional<core::Result<core::EntryRefusal>>
writeEntries(const std::function<core::Result<core::EntryRefusal>()> &write);

// What the boxes an entry's dialogs share hold (company, amount, currency, rate, VAT rate,
// category, content, note, invoice number), from a form with those boxes under the same names;
// the kind and the date are each dialog's own.
template <typename Form>
Entry typedEntry(const Form &ui, const QString &kind)
{
    Entry entry;
    entry.kind = kind;
    entry.source = ui.kaynak->currentText();
    entry.amount = ui.tutar->text();
    entry.currency = ui.birim->currentText();
    entry.rate = ui.kur->text();
    entry.vatRate = ui.kdv->text();
    entry.category = ui.kategori->currentText();
    entry.content = ui.icerik->toPlainText();
    entry.note = ui.islemNotu->toPlainText();
    entry.invoice = ui.faturaNo->text();
    return entry;
}

// Adds "first" to "last" written with %d, no leading zeros.
void addNumbers(QComboBox *combo, int first, int last);
void addCurrencies(QComboBox *combo); // "Lira", "Dolar", "Euro"

// "Toplam KAR: 499.75", or "Toplam ZARAR: 150.00" with the loss as a positive
// number (also when both are equal).
QString resultText(const Totals &totals);
// The sentence saying how many entries were left out of the sums; empty when none.
QString leftOutText(const Totals &totals);

} // namespace ledger

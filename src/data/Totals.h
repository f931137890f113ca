#pragma once

#include "data/Money.h"

#include <QString>

#include <optional>
#include <span>

namespace ledger {

// What the totals read of an entry, as stored.
struct EntryAmount
{
    QString kind;     // IslemTuru
    QString amount;   // IslemTutari
    QString currency; // TutarBirimi
    QString rate;     // GecerliKur
};

// The income and expense of a period, in lira.
struct Totals
{
    WideKurus income = 0;
    WideKurus expense = 0;
    int leftOut = 0; // entries whose lira value is not known: not in the sums
};

// Sums the entries of kind "Gelir" and "Gider" in lira, each added exactly
// (other kinds are skipped). Nothing when an amount cannot be read: a period
// is totalled whole or not at all.
std::optional<Totals> totalsOf(std::span<const EntryAmount> entries);

} // namespace ledger

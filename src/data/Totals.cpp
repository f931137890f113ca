#include "data/Totals.h"

#include "data/Kinds.h"

using namespace Qt::StringLiterals;

namespace ledger {

std::optional<Totals> totalsOf(std::span<const EntryAmount> entries)
{
    Totals totals;
    for (const EntryAmount &entry : entries) {
        const auto millionths = storedAmount(entry.amount);
        if (!millionths)
            return std::nullopt;
        WideKurus *sum = entry.kind == income() ? &totals.income : entry.kind == expense() ? &totals.expense : nullptr;
        if (!sum)
            continue;
        if (const auto lira = liraValue(*millionths, entry.currency, entry.rate))
            *sum += *lira;
        else
            ++totals.leftOut;
    }
    return totals;
}

} // namespace ledger

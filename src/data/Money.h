#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Amounts of money held exactly, never as floating point. An amount the user
// types is a whole number of kuruş; lira values and sums are counted in kuruş
// too, wide enough that no number of entries can overflow them.
namespace ledger {

using Kurus = qint64;
__extension__ typedef __int128 WideKurus;

// The largest amount that can be typed, either side of zero: 9999999999999.99.
// Fifteen significant digits, so it also survives any trip through a double.
inline constexpr Kurus kMaxAmount = 999'999'999'999'999;

// An amount typed in the add or the edit dialog: a '.'-decimal ("1250",
// "-50", "12.5", "12.500000"; blanks around it are ignored) that is a whole
// number of kuruş, is not zero and is at most kMaxAmount. Nothing for "12.345",
// "0.004", "99999999999999.99", "12,50", "1e5" or "".
std::optional<Kurus> parseAmount(QStringView text);

// An amount with two decimals ("1250.00", as the add dialog stores it) or six
// ("1250.000000", as the edit stores it); '.' and no digit grouping.
QString amountText(Kurus amount, int decimals);
QString amountText(WideKurus amount); // two decimals

// "Geçerli Kur": an unsigned '.'-decimal below 1000000 with at most six
// decimals (further zeros are fine), blanks around it ignored; in millionths.
// Zero is a rate here: whether it may be 0 is for the caller.
std::optional<qint64> parseRate(QStringView text);

// "KDV Oran %": a whole number from 0 to 100, or nothing at all.
bool isVatRate(QStringView text);

// The currencies that are turned into lira by the entry's rate.
bool isForeign(QStringView currency); // "Dolar", "Euro"

// A stored amount in millionths of its currency: a '.'-decimal with at most
// six decimals (the edit's form) and at most 18 digits before the point.
// Nothing for any other text.
std::optional<WideKurus> storedAmount(QStringView amount);

// The lira value of a stored entry in kuruş, rounded half away from zero once:
// the amount itself for "Lira"; amount times rate for "Dolar" and "Euro" with a
// rate above 0. Nothing for an entry without a usable rate or of another
// currency; also nothing when the amount is not a stored amount.
std::optional<WideKurus> liraValue(QStringView amount, QStringView currency, QStringView rate);
// The same for an amount already read by storedAmount().
std::optional<WideKurus> liraValue(WideKurus millionths, QStringView currency, QStringView rate);

} // namespace ledger

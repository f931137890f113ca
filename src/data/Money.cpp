#include "data/Money.h"

namespace ledger {

namespace {

// The parts of a '.'-decimal such as "-12.50", ".5" or "3.": at least one
// digit, nothing else but one sign in front (when allowed) and blanks around.
struct Decimal
{
    bool negative = false;
    QStringView whole;
    QStringView fraction;
};

bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

bool allDigits(QStringView text)
{
    for (const QChar ch : text) {
        if (!isDigit(ch))
            return false;
    }
    return true;
}

std::optional<Decimal> split(QStringView text, bool signAllowed)
{
    text = text.trimmed();
    Decimal d;
    if (signAllowed && !text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        d.negative = text.front() == u'-';
        text = text.sliced(1);
    }
    const qsizetype point = text.indexOf(u'.');
    d.whole = point < 0 ? text : text.first(point);
    d.fraction = point < 0 ? QStringView() : text.sliced(point + 1);
    if (d.whole.size() + d.fraction.size() == 0 || !allDigits(d.whole) || !allDigits(d.fraction))
        return std::nullopt;
    return d;
}

// The decimal as a whole number of 10^-decimals units. Nothing when it has
// more than `maxWhole` digits before the point (leading zeros aside) or a
// digit other than 0 past the given decimals.
std::optional<WideKurus> scaled(const Decimal &d, int decimals, int maxWhole)
{
    QStringView whole = d.whole;
    while (!whole.isEmpty() && whole.front() == u'0')
        whole = whole.sliced(1);
    if (whole.size() > maxWhole)
        return std::nullopt;
    WideKurus value = 0;
    for (const QChar ch : whole)
        value = value * 10 + (ch.unicode() - u'0');
    for (int i = 0; i < d.fraction.size(); ++i) {
        const int digit = d.fraction[i].unicode() - u'0';
        if (i >= decimals) {
            if (digit != 0)
                return std::nullopt;
            continue;
        }
        value = value * 10 + digit;
    }
    for (qsizetype i = d.fraction.size(); i < decimals; ++i)
        value *= 10;
    return d.negative ? -value : value;
}

constexpr WideKurus power10(int n)
{
    WideKurus p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// n / d rounded half away from zero; d > 0.
WideKurus roundedQuotient(WideKurus n, WideKurus d)
{
    WideKurus q = n / d;
    const WideKurus r = n % d;
    if (2 * (r < 0 ? -r : r) >= d)
        q += n < 0 ? -1 : 1;
    return q;
}

} // namespace

std::optional<Kurus> parseAmount(QStringView text)
{
    const auto d = split(text, true);
    if (!d)
        return std::nullopt;
    const auto kurus = scaled(*d, 2, 13); // 13 digits before the point: at most kMaxAmount
    if (!kurus || *kurus == 0)
        return std::nullopt;
    return Kurus(*kurus);
}

QString amountText(WideKurus amount)
{
    const bool negative = amount < 0;
    unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(amount) : amount;
    char digits[48];
    char *p = digits + sizeof digits;
    int written = 0;
    do {
        *--p = char('0' + int(magnitude % 10));
        magnitude /= 10;
        if (++written == 2)
            *--p = '.';
    } while (magnitude != 0 || written < 3);
    if (negative)
        *--p = '-';
    return QString::fromLatin1(p, digits + sizeof digits - p);
}

QString amountText(Kurus amount, int decimals)
{
    QString text = amountText(WideKurus(amount));
    if (decimals > 2)
        text += QString(decimals - 2, u'0');
    return text;
}

std::optional<qint64> parseRate(QStringView text)
{
    const auto d = split(text, false);
    if (!d)
        return std::nullopt;
    const auto millionths = scaled(*d, 6, 6);
    return millionths ? std::optional<qint64>(qint64(*millionths)) : std::nullopt;
}

bool isVatRate(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return true;
    if (!allDigits(text))
        return false;
    while (text.size() > 1 && text.front() == u'0')
        text = text.sliced(1);
    return text.size() <= 3 && text.toInt() <= 100;
}

bool isForeign(QStringView currency)
{
    return currency == u"Dolar" || currency == u"Euro";
}

std::optional<WideKurus> storedAmount(QStringView amount)
{
    const auto d = split(amount, true);
    return d ? scaled(*d, 6, 18) : std::nullopt;
}

std::optional<WideKurus> liraValue(WideKurus millionths, QStringView currency, QStringView rate)
{
    if (currency == u"Lira")
        return roundedQuotient(millionths, power10(4));
    if (!isForeign(currency))
        return std::nullopt;
    const auto perUnit = parseRate(rate);
    if (!perUnit || *perUnit == 0)
        return std::nullopt;
    // millionths of a lira times millionths of the rate: 10^-12 lira.
    return roundedQuotient(millionths * *perUnit, power10(10));
}

std::optional<WideKurus> liraValue(QStringView amount, QStringView currency, QStringView rate)
{
    const auto millionths = storedAmount(amount);
    return millionths ? liraValue(*millionths, currency, rate) : std::nullopt;
}

} // namespace ledger

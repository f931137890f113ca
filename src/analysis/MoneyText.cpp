#include "analysis/MoneyText.h"

using namespace Qt::StringLiterals;

namespace analysis {

QString turkishAmount(ledger::WideKurus kurus)
{
    // amountText gives "-51450.00": group the whole part by thousands and turn the point into a comma.
    const QString plain = ledger::amountText(kurus);
    const bool negative = plain.startsWith(u'-');
    const QStringView whole = QStringView(plain).mid(negative ? 1 : 0, plain.size() - 3 - (negative ? 1 : 0));
    QString out;
    out.reserve(plain.size() + whole.size() / 3 + 1);
    if (negative)
        out += u'-';
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += u'.';
        out += whole[i];
    }
    out += u',';
    out += QStringView(plain).last(2);
    return out;
}

QString currencySign(QStringView currency)
{
    if (currency == u"Lira")
        return u"₺"_s;
    if (currency == u"Dolar")
        return u"$"_s;
    if (currency == u"Euro")
        return u"€"_s;
    return currency.toString();
}

QString turkishMoney(ledger::WideKurus kurus, QStringView currency)
{
    const QString sign = currencySign(currency);
    return sign.isEmpty() ? turkishAmount(kurus) : turkishAmount(kurus) + u' ' + sign;
}

QString shareText(ledger::WideKurus part, ledger::WideKurus whole)
{
    // Tenths of a percent, rounded half away from zero, without a double.
    ledger::WideKurus tenths = 0;
    if (whole != 0) {
        const ledger::WideKurus scaled = part * 1000;
        tenths = scaled / whole;
        const ledger::WideKurus rest = scaled % whole;
        if (2 * (rest < 0 ? -rest : rest) >= (whole < 0 ? -whole : whole))
            tenths += (scaled < 0) != (whole < 0) ? -1 : 1;
    }
    const bool negative = tenths < 0;
    const qint64 magnitude = qint64(negative ? -tenths : tenths);
    return u"%%1%2,%3"_s.arg(negative ? u"-"_s : QString()).arg(magnitude / 10).arg(magnitude % 10);
}

} // namespace analysis

namespace analysis {

namespace {

// A short stored text as UTF-16 on the stack: amounts, rates and currencies are ASCII, and a byte that
// is not stays a character no number takes.
class Widened
{
public:
    explicit Widened(QByteArrayView bytes)
    {
        if (bytes.size() > qsizetype(std::size(m_buffer))) {
            m_long = QString::fromUtf8(bytes);
            m_view = m_long;
            return;
        }
        for (qsizetype i = 0; i < bytes.size(); ++i)
            m_buffer[i] = char16_t(static_cast<unsigned char>(bytes[i]));
        m_view = QStringView(m_buffer, bytes.size());
    }
    QStringView view() const { return m_view; }

private:
    char16_t m_buffer[48];
    QString m_long;
    QStringView m_view;
};

int number(QByteArrayView bytes, int most)
{
    bytes = bytes.trimmed();
    if (bytes.isEmpty() || bytes.size() > 4)
        return 0;
    int value = 0;
    for (const char ch : bytes) {
        if (ch < '0' || ch > '9')
            return 0;
        value = value * 10 + (ch - '0');
    }
    return value <= most ? value : 0;
}

} // namespace

StoredValue storedValue(QByteArrayView amount, QByteArrayView currency, QByteArrayView rate)
{
    StoredValue value;
    const auto millionths = ledger::storedAmount(Widened(amount).view());
    if (!millionths)
        return value;
    value.readable = true;
    value.millionths = *millionths;
    value.lira = ledger::liraValue(*millionths, Widened(currency).view(), Widened(rate).view());
    return value;
}

int dateKey(QByteArrayView day, QByteArrayView month, QByteArrayView year)
{
    const int d = number(day, 31), m = number(month, 12), y = number(year, 9999);
    return d && m && y ? y * 10000 + m * 100 + d : 0;
}

QString dateText(int key)
{
    return u"%1.%2.%3"_s.arg(key % 100, 2, 10, QChar(u'0')).arg(key / 100 % 100, 2, 10, QChar(u'0')).arg(key / 10000);
}

} // namespace analysis

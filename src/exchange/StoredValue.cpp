#include "exchange/StoredValue.h"

#include <QDateTime>

#include <charconv>
#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

template <typename Number>
QString shortestText(Number value)
{
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return error == std::errc() ? QString::fromLatin1(buffer, end - buffer) : QString::number(double(value), 'g', 17);
}

// A currency is a whole number of ten-thousandths.
QString currencyText(qint64 units)
{
    const bool negative = units < 0;
    const quint64 magnitude = negative ? 0 - quint64(units) : quint64(units);
    QString text = QString::number(magnitude / 10000);
    if (const quint64 fraction = magnitude % 10000) {
        QString digits = QString::number(fraction).rightJustified(4, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u'.' + digits;
    }
    return negative ? u'-' + text : text;
}

// A date is days since 30 December 1899, the time of day in the fraction
// (for days before it too, the fraction counts forward).
QString dateText(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3e6)
        return shortestText(days);
    const double whole = std::trunc(days);
    qint64 seconds = std::llround(std::fabs(days - whole) * 86400.0);
    QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    if (seconds >= 86400) {
        seconds -= 86400;
        date = date.addDays(1);
    }
    return QDateTime(date, QTime(0, 0).addSecs(int(seconds))).toString(Qt::ISODate);
}

} // namespace

std::optional<QString> storedText(StoredType type, QByteArrayView bytes)
{
    const auto load = [&](auto value) -> std::optional<decltype(value)> {
        if (bytes.size() != qsizetype(sizeof value))
            return std::nullopt;
        std::memcpy(&value, bytes.data(), sizeof value); // the file is little-endian, as is this machine
        return value;
    };
    switch (type) {
    case StoredType::Byte:
        if (const auto v = load(quint8()))
            return QString::number(*v);
        break;
    case StoredType::Integer:
        if (const auto v = load(qint16()))
            return QString::number(*v);
        break;
    case StoredType::LongInteger:
        if (const auto v = load(qint32()))
            return QString::number(*v);
        break;
    case StoredType::Currency:
        if (const auto v = load(qint64()))
            return currencyText(*v);
        break;
    case StoredType::Single:
        if (const auto v = load(float()))
            return shortestText(*v);
        break;
    case StoredType::Double:
        if (const auto v = load(double()))
            return shortestText(*v);
        break;
    case StoredType::Date:
        if (const auto v = load(double()))
            return dateText(*v);
        break;
    }
    return std::nullopt;
}

} // namespace exchange

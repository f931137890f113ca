#include "data/RateStore.h"

#include "data/Money.h"
#include "data/Statements.h"

using namespace Qt::StringLiterals;

namespace {

QString dayText(const QDate &day)
{
    return day.toString(Qt::ISODate);
}

} // namespace

QString rateText(qint64 millionths)
{
    QString text = u"%1.%2"_s.arg(millionths / 1'000'000).arg(millionths % 1'000'000, 6, 10, QChar(u'0'));
    while (text.endsWith(u'0') && text.size() - text.indexOf(u'.') > 5)
        text.chop(1);
    return text;
}

std::optional<QDate> RateStore::bulletinDay(const QDate &day)
{
    db::Rows rows = m_connection.query(sql::kRateDay, {dayText(day)});
    if (rows.atEnd())
        return std::nullopt;
    return QDate::fromString(rows.text("BulletinDay"), Qt::ISODate);
}

std::optional<KeptRate> RateStore::rate(const QDate &day, const QString &code, RateKind kind)
{
    const QHash<qint64, KeptRate> found = rates(day, day, code, kind);
    const auto it = found.constFind(day.toJulianDay());
    return it == found.cend() ? std::nullopt : std::optional(*it);
}

QHash<qint64, KeptRate> RateStore::rates(const QDate &from, const QDate &to, const QString &code, RateKind kind)
{
    static constexpr const char *kColumns[] = {"ForexBuying", "ForexSelling", "BanknoteBuying", "BanknoteSelling"};
    const char *column = kColumns[int(kind)];
    QHash<qint64, KeptRate> found;
    for (db::Rows rows = m_connection.query(sql::kRatesBetween, {dayText(from), dayText(to), code}); !rows.atEnd();
         rows.moveNext()) {
        const auto perUnit = ledger::parseRate(rows.text(column));
        const QDate day = QDate::fromString(rows.text("Day"), Qt::ISODate);
        if (perUnit && *perUnit > 0 && day.isValid())
            found.insert(day.toJulianDay(), {QDate::fromString(rows.text("BulletinDay"), Qt::ISODate), *perUnit});
    }
    return found;
}

void RateStore::keep(const QDate &bulletinDay, const std::vector<CurrencyRates> &currencies,
                     const QList<QDate> &daysWithout)
{
    const QString bulletin = dayText(bulletinDay);
    db::PreparedQuery keepRates = m_connection.prepare(sql::kKeepRates);
    for (const CurrencyRates &currency : currencies) {
        db::Values values{bulletin, currency.code};
        for (const qint64 perUnit : currency.perUnit)
            values << (perUnit > 0 ? rateText(perUnit) : QString());
        keepRates.execute(values);
    }
    db::PreparedQuery keepDay = m_connection.prepare(sql::kKeepRateDay);
    keepDay.execute({bulletin, bulletin});
    for (const QDate &day : daysWithout)
        keepDay.execute({dayText(day), bulletin});
}

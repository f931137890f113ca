#pragma once

#include "data/Database.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// Which of a bulletin's rates an entry is valued at.
enum class RateKind {
    ForexBuying, // döviz alış: what Turkish bookkeeping values foreign-currency amounts at
    ForexSelling,
    BanknoteBuying,
    BanknoteSelling,
};

// What a bulletin publishes for one currency: each RateKind's rate per one unit, in millionths of
// a lira; 0 where it gives none.
struct CurrencyRates
{
    QString code; // "USD"
    std::array<qint64, 4> perUnit = {};

    bool operator==(const CurrencyRates &) const = default;
};

// A currency's rate of one kind in force on a day.
struct KeptRate
{
    QDate bulletinDay; // the day itself, or the last with a bulletin before it
    qint64 perUnit = 0;
};

// A rate in millionths as "Geçerli Kur" holds it: '.', four to six decimals ("42.5370", "0.251234").
QString rateText(qint64 millionths);

// The bulletins kept in ExchangeRates and the days they are in force on, in ExchangeRateDays.
// Every step throws db::Error.
class RateStore
{
public:
    explicit RateStore(db::Connection &connection) : m_connection(connection) {}

    // The bulletin in force on `day`, once kept; nothing for a day not known yet.
    std::optional<QDate> bulletinDay(const QDate &day);
    // The rate of `kind` for currency `code` in force on `day`; nothing when the day is not known, or
    // its bulletin has no such rate.
    std::optional<KeptRate> rate(const QDate &day, const QString &code, RateKind kind);
    // The same for every known day from `from` to `to`, by the day's Julian day number.
    QHash<qint64, KeptRate> rates(const QDate &from, const QDate &to, const QString &code, RateKind kind);

    // Keeps a bulletin's rates (a bulletin already kept keeps its first rates) and makes it the one
    // in force on its own day and on `daysWithout`. In the caller's transaction.
    void keep(const QDate &bulletinDay, const std::vector<CurrencyRates> &currencies, const QList<QDate> &daysWithout);

private:
    db::Connection &m_connection;
};

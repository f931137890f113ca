#pragma once

#include "core/Entries.h"
#include "data/RateStore.h"
#include "exchange/BulletinFetcher.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QUrl>

#include <functional>
#include <optional>
#include <vector>

namespace core {

// Where the bulletins come from and which of their rates an entry takes: the program's settings.
struct RateSource
{
    QUrl address = defaultAddress();
    RateKind kind = RateKind::ForexBuying;
    int timeoutMs = 10'000;

    static QUrl defaultAddress(); // the central bank's rates site
};

// The bulletin's code of a currency an entry names: "Dolar" USD, "Euro" EUR; empty for another.
QString currencyCode(const QString &currency);

// An entry without a rate that a kept bulletin can give one, with that rate.
struct RateFill
{
    Entry entry; // as stored
    KeptRate rate;
};

// What "Kurları Doldur" offers: the entries it can fill, and what it cannot do yet.
struct RateFillPlan
{
    std::vector<RateFill> fills;
    // What was looked at, for the fill to read those entries again: kind, month, year.
    QString kind;
    int month = 0;
    int year = 0;
    QList<QDate> unknownDays; // days of entries without a rate that no kept bulletin covers yet, up to today
    int leftOut = 0;          // entries without a rate that stay so: an impossible or later date, no such
                              // rate in the bulletin, or another field the entries table would refuse
};

// The kept bulletins: a rate for a day from the bulletin in force on it, and the filling of
// entries that have none. Each call opens its own connection.
class ExchangeRates
{
public:
    explicit ExchangeRates(RateKind kind = RateKind::ForexBuying) : m_kind(kind) {}

    // The rate of `currency` ("Dolar", "Euro") in force on `day`: its own bulletin's, or the last
    // one's before it; nothing when the day is not known yet or the bulletin has no such rate.
    std::optional<KeptRate> kept(const QDate &day, const QString &currency);
    // Keeps a fetched bulletin and the days without one that it is in force on; one transaction.
    void keep(const exchange::Bulletin &bulletin, const QList<QDate> &daysWithout);
    // Makes the bulletin kept for `bulletinDay` the one in force on `daysWithout` too.
    void keepDays(const QDate &bulletinDay, const QList<QDate> &daysWithout);
    bool isKnown(const QDate &day); // a bulletin is kept for the day, or for the run of days it is in

    // The entries in "Dolar" or "Euro" without a rate (empty, 0, or not a rate), of a kind ("Gelir",
    // "Gider"; anything else both), month and year (0: any), with the kept rate of each one's date.
    RateFillPlan planFill(const QString &kind, int month, int year, const QDate &today = QDate::currentDate());
    // Writes the rate of each of the plan's fills through the entries table's update, all in one
    // transaction: the first that is not done (changed or gone since the plan, or refused) leaves
    // every entry as it was.
    Result<EntryRefusal> fill(const RateFillPlan &plan);

private:
    RateKind m_kind;
};

// Why a fetch of bulletins stopped.
enum class RateFetchFailure {
    None,
    Fetch,      // `answer` says why
    NoneNearby, // the archive has no bulletin in the two weeks up to the day
    Database,   // `error`: what was fetched could not be kept
};

struct RateFetchReport
{
    int fetched = 0; // bulletins fetched and kept
    RateFetchFailure failure = RateFetchFailure::None;
    QDate failedDay;
    exchange::FetchAnswer answer; // for Fetch
    std::optional<db::Error> error;
    // The bulletin in force on each day asked, by Julian day number: also today's when its
    // bulletin is not out yet (the last one is, and today is not kept as a day without one).
    QHash<qint64, QDate> inForce;
};

// Makes days known: the kept bulletins first, then the central bank's, fetched in the background
// one at a time, walking back from a day without a bulletin (a weekend, a holiday, today before
// the bulletin is out) to the last one before it. What is fetched is kept. Never blocks.
class RateFetch : public QObject
{
    Q_OBJECT
public:
    explicit RateFetch(const RateSource &source, QObject *parent = nullptr);

    // Starts over with `days`; days after `today` are left out. finished() follows once.
    void start(const QList<QDate> &days, const QDate &today = QDate::currentDate());
    void cancel(); // nothing more is fetched or reported

signals:
    void progressed(int done, int total);
    void finished(const core::RateFetchReport &report);

private:
    void next();
    void ask(const QDate &day);
    void answered(const exchange::FetchAnswer &answer);
    void stop(RateFetchFailure failure);
    // Runs a step on the kept bulletins; false once a database failure has ended the fetch.
    bool guarded(const std::function<void()> &step);

    exchange::BulletinFetcher *m_fetcher;
    QList<QDate> m_days; // still to do, in order
    int m_total = 0;
    QDate m_today;
    QDate m_resolving; // the day being made known
    QDate m_asked;     // the day whose bulletin is asked for: m_resolving or one before it
    QList<QDate> m_without;
    RateFetchReport m_report;
};

} // namespace core

Q_DECLARE_METATYPE(core::RateFetchReport)

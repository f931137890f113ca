#include "core/ExchangeRates.h"

#include "data/Money.h"

#include <QSet>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace core {

namespace {

// The longest run of days without a bulletin the walk back goes through (a nine-day holiday and
// the weekends around it).
constexpr int kLongestGap = 14;

// An entry's date, when its day, month and year make one.
QDate entryDay(const Entry &entry)
{
    bool dayOk = false, monthOk = false, yearOk = false;
    const QDate day(entry.year.toInt(&yearOk), entry.month.toInt(&monthOk), entry.day.toInt(&dayOk));
    return dayOk && monthOk && yearOk ? day : QDate();
}

bool lacksRate(const Entry &entry)
{
    const auto rate = ledger::parseRate(entry.rate);
    return !rate || *rate == 0;
}

} // namespace

QUrl RateSource::defaultAddress()
{
    return QUrl(u"https://www.tcmb.gov.tr/kurlar/"_s);
}

QString currencyCode(const QString &currency)
{
    return currency == u"Dolar"_s ? u"USD"_s : currency == u"Euro"_s ? u"EUR"_s : QString();
}

std::optional<KeptRate> ExchangeRates::kept(const QDate &day, const QString &currency)
{
    db::Connection connection;
    return RateStore(connection).rate(day, currencyCode(currency), m_kind);
}

void ExchangeRates::keep(const exchange::Bulletin &bulletin, const QList<QDate> &daysWithout)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    RateStore(connection).keep(bulletin.date, bulletin.currencies, daysWithout);
    transaction.commit();
}

void ExchangeRates::keepDays(const QDate &bulletinDay, const QList<QDate> &daysWithout)
{
    keep({bulletinDay, {}}, daysWithout);
}

bool ExchangeRates::isKnown(const QDate &day)
{
    db::Connection connection;
    return RateStore(connection).bulletinDay(day).has_value();
}

RateFillPlan ExchangeRates::planFill(const QString &kind, int month, int year, const QDate &today)
{
    db::Connection connection;
    std::vector<Entry> entries = EntryStore(connection).foreignEntries(kind, month, year);
    std::erase_if(entries, [](const Entry &entry) { return !lacksRate(entry); });
    // The rates of every day the entries span, two reads in all however many entries there are.
    QDate first, last;
    for (const Entry &entry : entries) {
        const QDate day = entryDay(entry);
        if (day.isValid()) {
            first = first.isValid() ? std::min(first, day) : day;
            last = last.isValid() ? std::max(last, day) : day;
        }
    }
    QHash<QString, QHash<qint64, KeptRate>> rates;
    RateStore store(connection);
    if (first.isValid()) {
        for (const QString &currency : {u"Dolar"_s, u"Euro"_s})
            rates.insert(currency, store.rates(first, last, currencyCode(currency), m_kind));
    }
    RateFillPlan plan;
    plan.kind = kind;
    plan.month = month;
    plan.year = year;
    QSet<qint64> unknown;
    for (Entry &entry : entries) {
        const QDate day = entryDay(entry);
        const QHash<qint64, KeptRate> &ofCurrency = rates[entry.currency];
        const auto found = ofCurrency.constFind(day.toJulianDay());
        if (day.isValid() && found != ofCurrency.cend()) {
            RateFill fill{std::move(entry), *found};
            // The edit's own checks, so that no fill is offered that the write would refuse.
            const auto checked = checkEntryNumbers(fill.entry.amount, fill.entry.currency, rateText(fill.rate.perUnit),
                                                   fill.entry.vatRate);
            if (std::holds_alternative<ledger::Kurus>(checked))
                plan.fills.push_back(std::move(fill));
            else
                ++plan.leftOut;
            continue;
        }
        ++plan.leftOut;
        if (day.isValid() && day <= today)
            unknown.insert(day.toJulianDay());
    }
    // A day may be known with a bulletin lacking the currency: only days not known are fetched.
    for (const qint64 julian : unknown) {
        const QDate day = QDate::fromJulianDay(julian);
        if (!store.bulletinDay(day))
            plan.unknownDays << day;
    }
    std::sort(plan.unknownDays.begin(), plan.unknownDays.end());
    return plan;
}

Result<EntryRefusal> ExchangeRates::fill(const RateFillPlan &plan)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    EntryStore store(connection);
    // The plan's entries as stored now, read again in one go and held until the commit.
    QHash<qint32, Entry> now;
    for (Entry &entry : store.foreignEntries(plan.kind, plan.month, plan.year, true))
        now.insert(entry.rowId, std::move(entry));
    for (const RateFill &fill : plan.fills) {
        Entry filled = fill.entry;
        filled.rate = rateText(fill.rate.perUnit);
        const auto stored = now.constFind(fill.entry.rowId);
        // One no longer in the plan's set (another currency or date now) is read on its own.
        const Result<EntryRefusal> result =
            updateEntry(store, stored != now.cend() ? std::optional(*stored) : store.find(fill.entry.rowId, true),
                        fill.entry, filled);
        if (!result.isDone())
            return result;
    }
    transaction.commit();
    return Result<EntryRefusal>::done();
}

RateFetch::RateFetch(const RateSource &source, QObject *parent)
    : QObject(parent), m_fetcher(new exchange::BulletinFetcher(source.address, source.timeoutMs, this))
{
    connect(m_fetcher, &exchange::BulletinFetcher::answered, this, &RateFetch::answered);
}

void RateFetch::start(const QList<QDate> &days, const QDate &today)
{
    cancel();
    m_today = today;
    m_days.clear();
    for (const QDate &day : days)
        if (day.isValid() && day <= today)
            m_days << day;
    std::sort(m_days.begin(), m_days.end());
    m_days.erase(std::unique(m_days.begin(), m_days.end()), m_days.end());
    m_total = int(m_days.size());
    m_report = {};
    // From the event loop, also when everything is kept: the caller is never re-entered.
    QTimer::singleShot(0, this, &RateFetch::next);
}

void RateFetch::cancel()
{
    m_fetcher->cancel();
    m_days.clear();
    m_resolving = {};
    // A next() already queued finds nothing to do and must not report either.
    m_total = -1;
}

void RateFetch::next()
{
    if (m_total < 0)
        return;
    std::optional<QDate> unknown;
    const bool read = guarded([&] {
        db::Connection connection;
        RateStore store(connection);
        while (!m_days.isEmpty() && !unknown) {
            const QDate day = m_days.takeFirst();
            if (const std::optional<QDate> inForce = store.bulletinDay(day))
                m_report.inForce.insert(day.toJulianDay(), *inForce);
            else
                unknown = day;
        }
    });
    if (!read)
        return;
    if (!unknown) {
        m_total = -1;
        emit finished(m_report);
        return;
    }
    emit progressed(m_total - int(m_days.size()) - 1, m_total);
    m_resolving = *unknown;
    m_without.clear();
    ask(*unknown);
}

bool RateFetch::guarded(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const db::Error &error) {
        m_report.error = error;
        stop(RateFetchFailure::Database);
        return false;
    }
}

void RateFetch::ask(const QDate &day)
{
    m_asked = day;
    m_fetcher->fetch(day, day == m_today);
}

void RateFetch::stop(RateFetchFailure failure)
{
    m_report.failure = failure;
    m_report.failedDay = m_resolving;
    m_days.clear();
    m_total = -1;
    emit finished(m_report);
}

void RateFetch::answered(const exchange::FetchAnswer &answer)
{
    if (m_total < 0)
        return;
    switch (answer.kind) {
    case exchange::FetchAnswer::Kind::Failed:
        m_report.answer = answer;
        stop(RateFetchFailure::Fetch);
        return;
    case exchange::FetchAnswer::Kind::Bulletin: {
        const QDate published = answer.bulletin.date;
        // today.xml holds the last bulletin out: the days after it are without one, today aside,
        // whose bulletin may still come.
        if (m_asked == m_today)
            for (QDate day = published.addDays(1); day < m_today; day = day.addDays(1))
                m_without << day;
        if (!guarded([&] { ExchangeRates().keep(answer.bulletin, m_without); }))
            return;
        ++m_report.fetched;
        m_report.inForce.insert(m_resolving.toJulianDay(), published);
        break;
    }
    case exchange::FetchAnswer::Kind::NoBulletin: {
        m_without << m_asked;
        if (m_without.size() >= kLongestGap) {
            stop(RateFetchFailure::NoneNearby);
            return;
        }
        // The day before is known already: the days walked back over take its bulletin.
        const QDate before = m_asked.addDays(-1);
        std::optional<QDate> inForce;
        const bool kept = guarded([&] {
            {
                db::Connection connection;
                inForce = RateStore(connection).bulletinDay(before);
            }
            if (inForce)
                ExchangeRates().keepDays(*inForce, m_without);
        });
        if (!kept)
            return;
        if (!inForce) {
            ask(before);
            return;
        }
        m_report.inForce.insert(m_resolving.toJulianDay(), *inForce);
        break;
    }
    }
    next();
}

} // namespace core

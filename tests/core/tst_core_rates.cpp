#include "BulletinServer.h"
#include "Workspace.h"

#include "core/ExchangeRates.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QDate day(const QString &text)
{
    return QDate::fromString(text, u"dd.MM.yyyy"_s);
}

// The kept days, each with the bulletin in force on it: "06.12>05.12".
QString keptDays()
{
    QStringList days;
    for (const QString &row : rawRows(u"SELECT Day, BulletinDay FROM ExchangeRateDays ORDER BY Day"_s)) {
        const QStringList parts = row.split(u'|');
        days << QDate::fromString(parts[0], Qt::ISODate).toString(u"dd.MM"_s) + u'>' +
                    QDate::fromString(parts[1], Qt::ISODate).toString(u"dd.MM"_s);
    }
    return days.join(u' ');
}

core::RateFetchReport fetchDays(BulletinServer &server, const QList<QDate> &days, const QDate &today)
{
    core::RateSource source;
    source.address = QUrl(server.base());
    source.timeoutMs = 300;
    core::RateFetch fetch(source);
    QSignalSpy finished(&fetch, &core::RateFetch::finished);
    fetch.start(days, today);
    if (!finished.wait(10'000))
        qFatal("no end to the fetch");
    return finished.takeFirst().at(0).value<core::RateFetchReport>();
}

exchange::Bulletin bulletinFile(const QString &file, const QDate &date)
{
    return std::get<exchange::Bulletin>(
        exchange::readBulletin(testData(u"exchange/data/bulletins/"_s + file), date, exchange::AskedDay::Exactly));
}

} // namespace

class TestCoreRates : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // A day is made known from its own bulletin, or by walking back over days the archive has none
    // for to the last bulletin before it; today's comes from today.xml, which holds yesterday's
    // until today's is out. What was fetched is kept, so the same days later need no network. An
    // answer that is no bulletin of the day keeps nothing.
    void walksBackAndKeeps_data()
    {
        QTest::addColumn<QString>("served"); // path=file, ';' between
        QTest::addColumn<QString>("days");   // from-to
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("outcome"); // bulletins fetched, the failure, the bulletin in force on the last day
        const QString friday = u"202512/05122025.xml=05122025.xml"_s;
        QTest::newRow("an ordinary day") << friday << u"05.12.2025-05.12.2025"_s << u"08.12.2025"_s
                                         << u"202512/05122025.xml"_s << u"05.12>05.12"_s << u"1 0 05.12"_s;
        QTest::newRow("a Sunday walks back to Friday")
            << friday << u"07.12.2025-07.12.2025"_s << u"08.12.2025"_s
            << u"202512/07122025.xml 202512/06122025.xml 202512/05122025.xml"_s
            << u"05.12>05.12 06.12>05.12 07.12>05.12"_s << u"1 0 05.12"_s;
        QTest::newRow("a holiday chain")
            << u"202503/28032025.xml=28032025.xml;202504/02042025.xml=02042025.xml"_s << u"01.04.2025-01.04.2025"_s
            << u"08.12.2025"_s
            << u"202504/01042025.xml 202503/31032025.xml 202503/30032025.xml 202503/29032025.xml "
               u"202503/28032025.xml"_s
            << u"28.03>28.03 29.03>28.03 30.03>28.03 31.03>28.03 01.04>28.03"_s << u"1 0 28.03"_s;
        QTest::newRow("a span asks each day once")
            << u"202503/28032025.xml=28032025.xml;202504/02042025.xml=02042025.xml"_s << u"28.03.2025-02.04.2025"_s
            << u"08.12.2025"_s
            << u"202503/28032025.xml 202503/29032025.xml 202503/30032025.xml 202503/31032025.xml "
               u"202504/01042025.xml 202504/02042025.xml"_s
            << u"28.03>28.03 29.03>28.03 30.03>28.03 31.03>28.03 01.04>28.03 02.04>02.04"_s << u"2 0 02.04"_s;
        QTest::newRow("today before its bulletin is out")
            << u"today.xml=05122025.xml"_s << u"08.12.2025-08.12.2025"_s << u"08.12.2025"_s << u"today.xml"_s
            << u"05.12>05.12 06.12>05.12 07.12>05.12"_s << u"1 0 05.12"_s;
        QTest::newRow("today's bulletin out")
            << u"today.xml=05122025.xml"_s << u"05.12.2025-05.12.2025"_s << u"05.12.2025"_s << u"today.xml"_s
            << u"05.12>05.12"_s << u"1 0 05.12"_s;
        QTest::newRow("a later day is not asked")
            << friday << u"09.12.2025-09.12.2025"_s << u"08.12.2025"_s << QString() << QString() << u"0 0 -"_s;
        QTest::newRow("an HTML page") << u"202512/05122025.xml=error-page.html"_s << u"05.12.2025-05.12.2025"_s
                                      << u"08.12.2025"_s << u"202512/05122025.xml"_s << QString() << u"0 1 -"_s;
        QTest::newRow("a cut file") << u"202512/05122025.xml=cut.xml"_s << u"05.12.2025-05.12.2025"_s << u"08.12.2025"_s
                                    << u"202512/05122025.xml"_s << QString() << u"0 1 -"_s;
        QTest::newRow("another day's bulletin")
            << u"202512/05122025.xml=04122025.xml"_s << u"05.12.2025-05.12.2025"_s << u"08.12.2025"_s
            << u"202512/05122025.xml"_s << QString() << u"0 1 -"_s;
        QTest::newRow("no bulletin in two weeks")
            << QString() << u"20.12.2025-20.12.2025"_s << u"30.12.2025"_s
            << u"202512/20122025.xml 202512/19122025.xml 202512/18122025.xml 202512/17122025.xml 202512/16122025.xml "
               u"202512/15122025.xml 202512/14122025.xml 202512/13122025.xml 202512/12122025.xml 202512/11122025.xml "
               u"202512/10122025.xml 202512/09122025.xml 202512/08122025.xml 202512/07122025.xml"_s
            << QString() << u"0 2 -"_s;
    }
    void walksBackAndKeeps()
    {
        QFETCH(QString, served);
        QFETCH(QString, days);
        QFETCH(QString, today);
        QFETCH(QString, asked);
        QFETCH(QString, kept);
        QFETCH(QString, outcome);
        BulletinServer server;
        for (const QString &pair : served.split(u';', Qt::SkipEmptyParts))
            server.putFile(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        QList<QDate> asking;
        for (QDate d = day(days.section(u'-', 0, 0)); d <= day(days.section(u'-', 1)); d = d.addDays(1))
            asking << d;
        const core::RateFetchReport report = fetchDays(server, asking, day(today));
        QCOMPARE(server.asked.join(u' '), asked);
        QCOMPARE(keptDays(), kept);
        const QDate inForce = report.inForce.value(asking.constLast().toJulianDay());
        QCOMPARE(u"%1 %2 %3"_s.arg(report.fetched)
                     .arg(int(report.failure))
                     .arg(inForce.isValid() ? inForce.toString(u"dd.MM"_s) : u"-"_s),
                 outcome);
        if (report.failure != core::RateFetchFailure::None || kept.isEmpty())
            return;
        // Offline now: the days kept need nothing of the network (today before its bulletin aside).
        server.stop();
        server.asked.clear();
        const core::RateFetchReport again = fetchDays(server, asking, day(today));
        if (asking.contains(day(today)) && !kept.contains(day(today).toString(u"dd.MM>"_s)))
            QCOMPARE(again.failure, core::RateFetchFailure::Fetch);
        else
            QCOMPARE(u"%1 %2"_s.arg(again.fetched).arg(int(again.failure)), u"0 0"_s);
    }

    // Each of the bulletin's rates is taken when the settings choose it.
    void theChosenRateIsTaken_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("expected");
        QTest::newRow("forex buying, the default") << int(RateKind::ForexBuying) << u"Dolar"_s << u"42.5370"_s;
        QTest::newRow("forex selling") << int(RateKind::ForexSelling) << u"Euro"_s << u"49.5904"_s;
        QTest::newRow("banknote buying") << int(RateKind::BanknoteBuying) << u"Dolar"_s << u"42.5072"_s;
        QTest::newRow("banknote selling") << int(RateKind::BanknoteSelling) << u"Euro"_s << u"49.6648"_s;
        QTest::newRow("no rate for Lira") << int(RateKind::ForexBuying) << u"Lira"_s << u"-"_s;
    }
    void theChosenRateIsTaken()
    {
        QFETCH(int, kind);
        QFETCH(QString, currency);
        QFETCH(QString, expected);
        core::ExchangeRates rates{RateKind(kind)};
        rates.keep(bulletinFile(u"05122025.xml"_s, day(u"05.12.2025"_s)), {day(u"06.12.2025"_s)});
        const auto kept = rates.kept(day(u"06.12.2025"_s), currency);
        QCOMPARE(kept ? rateText(kept->perUnit) + kept->bulletinDay.toString(u" dd.MM"_s) : u"-"_s,
                 expected == u"-"_s ? expected : expected + u" 05.12"_s);
    }

    // "Kurları Doldur" offers the Dolar and Euro entries without a rate that a kept bulletin covers,
    // and writes them through the entries table's update in one go; a rate typed stays, and an entry
    // changed since the offer leaves every entry as it was.
    void fillsEntriesWithoutARate()
    {
        core::ExchangeRates rates;
        rates.keep(bulletinFile(u"05122025.xml"_s, day(u"05.12.2025"_s)), {day(u"06.12.2025"_s), day(u"07.12.2025"_s)});
        rawExec("INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
                "KdvOrani) VALUES "
                "('Gider', '5', '12', '2025', 'Bora', '100.00', 'Dolar', '', '20'),"    // filled
                "('Gelir', '7', '12', '2025', 'Zeytin', '10.00', 'Euro', '0', '20'),"   // filled, Friday's
                "('Gider', '5', '12', '2025', 'Bora', '50.00', 'Dolar', '41.9', '20')," // typed: stays
                "('Gider', '5', '12', '2025', 'Bora', '50.00', 'Lira', '', '20'),"      // lira
                "('Gider', '3', '12', '2025', 'Bora', '50.00', 'Dolar', '', '20'),"     // not kept yet
                "('Gider', '31', '11', '2025', 'Bora', '50.00', 'Dolar', '', '20'),"    // no such day
                "('Gider', '5', '12', '2025', 'Bora', '50.00', 'Euro', '0', 'on'),"     // refused by the edit
                "('Gider', '5', '11', '2025', 'Bora', '50.00', 'Euro', '', '20')");     // another month
        core::RateFillPlan plan = rates.planFill(QString(), 12, 2025, day(u"08.12.2025"_s));
        QStringList offered;
        for (const core::RateFill &fill : plan.fills)
            offered << fill.entry.source + u' ' + rateText(fill.rate.perUnit);
        QCOMPARE(offered.join(u','), u"Bora 42.5370,Zeytin 49.5012"_s);
        QCOMPARE(plan.leftOut, 2);
        QCOMPARE(plan.unknownDays, QList<QDate>{day(u"03.12.2025"_s)});
        QCOMPARE(rates.planFill(u"Gelir"_s, 0, 0, day(u"08.12.2025"_s)).fills.size(), size_t(1));
        const core::RateFillPlan november = rates.planFill(QString(), 11, 2025, day(u"08.12.2025"_s));
        QCOMPARE(u"%1 %2 %3"_s.arg(november.fills.size()).arg(november.leftOut).arg(november.unknownDays.size()),
                 u"0 2 1"_s); // 5.11 is not kept yet; 31.11 is no day

        const QString before = rawRows(u"SELECT IslemTutari, GecerliKur FROM GelirGider ORDER BY RowId"_s).join(u' ');
        rawExec("UPDATE GelirGider SET IslemNotu = 'başka masa' WHERE IslemKaynagi = 'Zeytin'");
        QVERIFY(rates.fill(plan).isChanged());
        QCOMPARE(rawRows(u"SELECT IslemTutari, GecerliKur FROM GelirGider ORDER BY RowId"_s).join(u' '), before);

        plan = rates.planFill(QString(), 12, 2025, day(u"08.12.2025"_s));
        QVERIFY(rates.fill(plan).isDone());
        QCOMPARE(rawRows(u"SELECT IslemTutari, GecerliKur FROM GelirGider ORDER BY RowId"_s).join(u' '),
                 u"100.000000|42.5370 10.000000|49.5012 50.00|41.9 50.00| 50.00| 50.00| 50.00|0 50.00|"_s);
    }

private:
    std::unique_ptr<Workspace> m_ws;
};

QTEST_GUILESS_MAIN(TestCoreRates)
#include "tst_core_rates.moc"

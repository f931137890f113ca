#include "BulletinServer.h"
#include "Workspace.h"

#include "exchange/Bulletin.h"
#include "exchange/BulletinFetcher.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A read bulletin as one line: its day, then each currency's four rates per unit; or the fault.
QString described(const std::variant<exchange::Bulletin, exchange::BulletinFault> &read)
{
    if (const auto *fault = std::get_if<exchange::BulletinFault>(&read))
        return u"fault %1"_s.arg(int(*fault));
    const auto &bulletin = std::get<exchange::Bulletin>(read);
    QStringList parts{bulletin.date.toString(u"dd.MM.yyyy"_s)};
    for (const CurrencyRates &currency : bulletin.currencies) {
        QStringList rates;
        for (const qint64 rate : currency.perUnit)
            rates << rateText(rate);
        parts << currency.code + u' ' + rates.join(u'/');
    }
    return parts.join(u" | "_s);
}

const QDate kFriday(2025, 12, 5);

} // namespace

class TestBulletins : public QObject
{
    Q_OBJECT

private slots:
    // The bulletin's rates per one unit (JPY is quoted for 100), as published, its date held to the
    // day asked; an answer that is no bulletin of that day is refused whole.
    void readsTheBulletinOrRefusesIt_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QDate>("asked");
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("expected");
        const int exactly = int(exchange::AskedDay::Exactly);
        const int latest = int(exchange::AskedDay::OnOrBefore);
        const QString friday = u"05.12.2025 | USD 42.5370/42.6136/42.5072/42.6775 | EUR 49.5012/49.5904/49.4665/"
                               u"49.6648 | JPY 0.27385/0.275663/0.272018/0.276703 | XDR 57.9133/0.0000/0.0000/0.0000"_s;
        QTest::newRow("the archive's day") << u"05122025.xml"_s << kFriday << exactly << friday;
        QTest::newRow("today.xml on a Sunday: Friday's") << u"05122025.xml"_s << QDate(2025, 12, 7) << latest << friday;
        QTest::newRow("a comma as the separator") << u"comma.xml"_s << kFriday << exactly << friday;
        QTest::newRow("another day's in the archive")
            << u"05122025.xml"_s << QDate(2025, 12, 6) << exactly << u"fault 5"_s;
        QTest::newRow("today.xml of more than two weeks ago")
            << u"05122025.xml"_s << QDate(2025, 12, 20) << latest << u"fault 5"_s;
        QTest::newRow("today.xml of a later day") << u"05122025.xml"_s << QDate(2025, 12, 4) << latest << u"fault 5"_s;
        QTest::newRow("Tarih and Date disagree") << u"dates-disagree.xml"_s << kFriday << exactly << u"fault 3"_s;
        QTest::newRow("empty") << u"empty.xml"_s << kFriday << exactly << u"fault 0"_s;
        QTest::newRow("an HTML error page") << u"error-page.html"_s << kFriday << exactly << u"fault 1"_s;
        QTest::newRow("cut half-way") << u"cut.xml"_s << kFriday << exactly << u"fault 2"_s;
        QTest::newRow("XML of something else") << u"not-a-bulletin.xml"_s << kFriday << exactly << u"fault 3"_s;
        QTest::newRow("a rate that is no number") << u"bad-rate.xml"_s << kFriday << exactly << u"fault 4"_s;
    }
    void readsTheBulletinOrRefusesIt()
    {
        QFETCH(QString, file);
        QFETCH(QDate, asked);
        QFETCH(int, how);
        QFETCH(QString, expected);
        QCOMPARE(described(exchange::readBulletin(testData(u"exchange/data/bulletins/"_s + file), asked,
                                                  exchange::AskedDay(how))),
                 expected);
    }

    void perUnitRate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("four decimals") << u"42.5370"_s << 1 << u"42.5370"_s;
        QTest::newRow("100 units, half up") << u"27.38505"_s << 100 << u"0.273851"_s;
        QTest::newRow("a comma") << u" 0,2512 "_s << 1 << u"0.2512"_s;
        QTest::newRow("whole") << u"3"_s << 1 << u"3.0000"_s;
        QTest::newRow("empty: none") << u""_s << 1 << u"0.0000"_s;
        QTest::newRow("two separators") << u"1.234.5"_s << 1 << u"-"_s;
        QTest::newRow("a sign") << u"-1.5"_s << 1 << u"-"_s;
        QTest::newRow("a letter") << u"4O.1"_s << 1 << u"-"_s;
        QTest::newRow("a separator only") << u"."_s << 1 << u"-"_s;
    }
    void perUnitRate()
    {
        QFETCH(QString, text);
        QFETCH(int, unit);
        QFETCH(QString, expected);
        const auto rate = exchange::perUnitRate(text, unit);
        QCOMPARE(rate ? rateText(*rate) : u"-"_s, expected);
    }

    // What the site answers becomes a bulletin, a day without one, or a failure saying why; only
    // the address given is asked, and only over HTTPS or at the tests' own 127.0.0.1.
    void fetchAnswers_data()
    {
        QTest::addColumn<QString>("served"); // status|file or body|delay ms|location
        QTest::addColumn<QString>("base");   // empty: the test server's
        QTest::addColumn<QString>("expected");
        QTest::newRow("the day's bulletin") << u"200|05122025.xml||"_s << QString() << u"bulletin 05.12.2025"_s;
        QTest::newRow("none that day") << u"404|error-page.html||"_s << QString() << u"no bulletin"_s;
        QTest::newRow("an HTML page for the bulletin") << u"200|error-page.html||"_s << QString() << u"failed 7 1"_s;
        QTest::newRow("an empty answer") << u"200|empty.xml||"_s << QString() << u"failed 7 0"_s;
        QTest::newRow("a cut file") << u"200|cut.xml||"_s << QString() << u"failed 7 2"_s;
        QTest::newRow("another day's") << u"200|04122025.xml||"_s << QString() << u"failed 7 5"_s;
        QTest::newRow("a server error") << u"503|error-page.html||"_s << QString() << u"failed 4 503"_s;
        QTest::newRow("slower than the timeout") << u"200|05122025.xml|3000|"_s << QString() << u"failed 3"_s;
        QTest::newRow("redirected elsewhere")
            << u"302|||http://example.org/kurlar/202512/05122025.xml"_s << QString() << u"failed 5"_s;
        QTest::newRow("plain HTTP elsewhere")
            << u"200|05122025.xml||"_s << u"http://www.tcmb.gov.tr/kurlar/"_s << u"failed 1"_s;
        QTest::newRow("nobody listening")
            << u"200|05122025.xml||"_s << u"http://127.0.0.1:1/kurlar/"_s << u"failed 2"_s;
    }
    void fetchAnswers()
    {
        QFETCH(QString, served);
        QFETCH(QString, base);
        QFETCH(QString, expected);
        BulletinServer server;
        const QStringList parts = served.split(u'|');
        BulletinServer::Answer answer{parts[0].toInt(), {}, parts[2].toInt(), parts[3].toUtf8()};
        if (!parts[1].isEmpty())
            answer.body = testData(u"exchange/data/bulletins/"_s + parts[1]);
        server.put(u"202512/05122025.xml"_s, answer);
        exchange::BulletinFetcher fetcher(QUrl(base.isEmpty() ? server.base() : base), 300);
        QSignalSpy answered(&fetcher, &exchange::BulletinFetcher::answered);
        fetcher.fetch(kFriday, false);
        QVERIFY(answered.wait(5000));
        const auto got = answered.takeFirst().at(0).value<exchange::FetchAnswer>();
        QString said;
        switch (got.kind) {
        case exchange::FetchAnswer::Kind::Bulletin:
            said = u"bulletin "_s + got.bulletin.date.toString(u"dd.MM.yyyy"_s);
            break;
        case exchange::FetchAnswer::Kind::NoBulletin: said = u"no bulletin"_s; break;
        case exchange::FetchAnswer::Kind::Failed:
            said = u"failed %1"_s.arg(int(got.failure));
            if (got.failure == exchange::FetchFailure::Unreadable)
                said += u" %1"_s.arg(int(got.fault));
            if (got.failure == exchange::FetchFailure::HttpStatus)
                said += u" %1"_s.arg(got.status);
            break;
        }
        QCOMPARE(said, expected);
        QVERIFY(answered.isEmpty());
        if (base.isEmpty())
            QCOMPARE(server.asked, QStringList{u"202512/05122025.xml"_s});
    }

    void addresses()
    {
        const QUrl bank(u"https://www.tcmb.gov.tr/kurlar"_s);
        QCOMPARE(exchange::bulletinAddress(bank, kFriday, false).toString(),
                 u"https://www.tcmb.gov.tr/kurlar/202512/05122025.xml"_s);
        QCOMPARE(exchange::bulletinAddress(bank, kFriday, true).toString(),
                 u"https://www.tcmb.gov.tr/kurlar/today.xml"_s);
        QVERIFY(exchange::isAllowedBase(bank));
        QVERIFY(!exchange::isAllowedBase(QUrl(u"ftp://www.tcmb.gov.tr/kurlar/"_s)));
        QVERIFY(!exchange::isAllowedBase(QUrl(u"http://localhost/kurlar/"_s)));
    }
};

QTEST_GUILESS_MAIN(TestBulletins)
#include "tst_bulletins.moc"

#include "Workspace.h"

#include "core/Calendar.h"
#include "core/RecurringEntries.h"
#include "core/Trash.h"

#include <QtTest>

#include <thread>

using namespace Qt::StringLiterals;

namespace {

QDate day(const QString &text)
{
    return QDate::fromString(text, Qt::ISODate);
}

QString daysText(const std::vector<QDate> &days)
{
    QStringList texts;
    for (const QDate &d : days)
        texts << d.toString(Qt::ISODate);
    return texts.join(u' ');
}

// "months 1 31 1 2025-01-01 - 0": unit, every, day, month, start, end ("-": none), times.
Recurrence ruleOf(const QString &text)
{
    const QStringList f = text.split(u' ');
    const QStringList units{u"months"_s, u"weeks"_s, u"years"_s};
    return {Recurrence::Unit(units.indexOf(f[0])),
            f[1].toInt(),
            f[2].toInt(),
            f[3].toInt(),
            day(f[4]),
            day(f[5]),
            f[6].toInt()};
}

// Rent paid to a supplier, as the dialog gives it.
RecurringTemplate rent(const QString &rule, const QString &source = u"Çınar Yapı"_s)
{
    RecurringTemplate t;
    t.entry = {-1,        u"Gider"_s,         {},       {},    {}, source, u"12500"_s, u"Lira"_s, u""_s, u"20"_s,
               u"Kira"_s, u"Dükkan kirası"_s, u"not"_s, u"0"_s};
    t.rule = ruleOf(rule);
    return t;
}

void addChoices()
{
    rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Çınar Yapı', 'Tedarikçi')");
    rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Ova Emlak', 'Tedarikçi')");
    rawExec("INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gider', 'Kira')");
}

RecurringTemplate added(const QString &rule)
{
    const auto result = core::RecurringEntries().add(rent(rule));
    if (!result.isDone())
        qFatal("the template was not added");
    return core::RecurringEntries().list().back().recurring;
}

std::vector<core::TickedOccurrence> ticked(const core::DueList &due)
{
    std::vector<core::TickedOccurrence> all;
    for (const core::DueList::Due &d : due.occurrences)
        all.push_back({due.templates[size_t(d.index)].recurring, d.date});
    return all;
}

QString dueText(const QDate &today)
{
    const core::DueList due = core::RecurringEntries().due(today);
    QStringList texts;
    for (const core::DueList::Due &d : due.occurrences)
        texts << d.date.toString(Qt::ISODate);
    return texts.join(u' ');
}

// The entries written, "day.month.year amount source", in the order stored.
QStringList entries()
{
    return rawRows(u"SELECT Gun || '.' || Ay || '.' || Yil || ' ' || IslemTutari || ' ' || IslemKaynagi "
                   u"FROM GelirGider ORDER BY RowId"_s);
}

} // namespace

// Recurring entries: the calendar of their rules, the due list, and recording occurrences once.
class TestCoreRecurring : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        addChoices();
    }
    void cleanup() { m_ws.reset(); }

    void theCalendarFollowsItsRules_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("until");
        QTest::addColumn<QString>("days");
        for (const QStringList &row : caseRows(u"core/recurrence-cases.tsv"_s)) {
            const QString end = row[6].isEmpty() ? u"-"_s : row[6];
            QTest::newRow(qPrintable(row[0]))
                << QStringList{row[1], row[2], row[3], row[4], row[5], end, row[7]}.join(u' ') << row[8]
                << row.value(9);
        }
    }
    void theCalendarFollowsItsRules()
    {
        QFETCH(QString, rule);
        QFETCH(QString, until);
        QFETCH(QString, days);
        QCOMPARE(daysText(calendar::days(ruleOf(rule), {}, day(until))), days);
    }

    // The program closed for a while: every occurrence missed is offered on its own date.
    void theDueListHoldsEveryMissedOccurrence_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("confirmedOn"); // the day the first due list was recorded whole
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("due");
        QTest::newRow("closed three months") << u"months 1 1 1 2025-01-01 - 0"_s << u"2025-01-02"_s << u"2025-04-15"_s
                                             << u"2025-02-01 2025-03-01 2025-04-01"_s;
        QTest::newRow("weeks across the year's end")
            << u"weeks 1 1 1 2024-12-01 - 0"_s << u"2024-12-10"_s << u"2025-01-07"_s
            << u"2024-12-16 2024-12-23 2024-12-30 2025-01-06"_s;
        QTest::newRow("the count runs out in the gap")
            << u"months 1 1 1 2025-01-01 - 3"_s << u"2025-01-02"_s << u"2025-12-31"_s << u"2025-02-01 2025-03-01"_s;
        QTest::newRow("the end date in the gap")
            << u"months 1 31 1 2025-01-01 2025-03-30 0"_s << u"2025-01-31"_s << u"2026-01-01"_s << u"2025-02-28"_s;
        QTest::newRow("years, none due yet")
            << u"years 1 29 2 2024-02-29 - 0"_s << u"2024-03-01"_s << u"2025-02-27"_s << QString();
        QTest::newRow("ten years unconfirmed")
            << u"years 1 1 6 2015-06-01 - 0"_s << u"2015-05-01"_s << u"2025-06-01"_s
            << u"2015-06-01 2016-06-01 2017-06-01 2018-06-01 2019-06-01 2020-06-01 2021-06-01 2022-06-01 2023-06-01 "
               u"2024-06-01 2025-06-01"_s;
    }
    void theDueListHoldsEveryMissedOccurrence()
    {
        QFETCH(QString, rule);
        QFETCH(QString, confirmedOn);
        QFETCH(QString, today);
        QFETCH(QString, due);
        added(rule);
        core::RecurringEntries recurring;
        QVERIFY(recurring.confirm(ticked(recurring.due(day(confirmedOn)))).result.isDone());
        QCOMPARE(dueText(day(today)), due);
        // Recorded, each is offered no more.
        QVERIFY(recurring.confirm(ticked(recurring.due(day(today)))).result.isDone());
        QCOMPARE(dueText(day(today)), QString());
    }

    // "Kaydet" stopped by a failure half-way records none of the ticked, nor their progress.
    void aFailedConfirmationLeavesNothingHalfRecorded()
    {
        added(u"months 1 1 1 2025-01-01 - 0"_s);
        core::RecurringEntries recurring;
        rawExec(refusal(u"Durdur"_s, u"GelirGider"_s, u"INSERT"_s, u"durdu"_s, u"NEW.Ay = '3'"_s));
        const db::Error error = errorOf([&] { recurring.confirm(ticked(recurring.due(day(u"2025-04-10"_s)))); });
        QVERIFY2(error.description.contains(u"durdu"_s), qPrintable(error.description));
        QCOMPARE(entries(), QStringList());
        QCOMPARE(rawRows(u"SELECT count(*) FROM RecurringOccurrences"_s), QStringList{u"0"_s});
        QCOMPARE(dueText(day(u"2025-04-10"_s)), u"2025-01-01 2025-02-01 2025-03-01 2025-04-01"_s);
        rawExec(dropRefusal(u"Durdur"_s));
        QCOMPARE(recurring.confirm(ticked(recurring.due(day(u"2025-04-10"_s)))).recorded, 4);
    }

    // Two desks confirming the same occurrences at once: each is recorded once.
    void twoDesksRecordAnOccurrenceOnce()
    {
        added(u"months 1 1 1 2025-01-01 - 0"_s);
        const auto shown = ticked(core::RecurringEntries().due(day(u"2025-03-10"_s)));
        QCOMPARE(shown.size(), size_t(3));
        core::Confirmation first, second;
        std::thread other([&] { second = core::RecurringEntries().confirm(shown); });
        first = core::RecurringEntries().confirm(shown);
        other.join();
        QVERIFY(first.result.isDone() && second.result.isDone());
        QCOMPARE(first.recorded + second.recorded, 3);
        QCOMPARE(first.already + second.already, 3);
        QCOMPARE(entries(), QStringList({u"1.1.2025 12500.00 Çınar Yapı"_s, u"1.2.2025 12500.00 Çınar Yapı"_s,
                                         u"1.3.2025 12500.00 Çınar Yapı"_s}));
        // A third desk, its due list read before the others wrote, writes nothing.
        db::Connection third;
        QVERIFY(!RecurringStore(third).mark(shown[0].shown.rowId, shown[0].date, RecurringStore::Outcome::Skipped));
        QCOMPARE(rawRows(u"SELECT count(*) FROM RecurringOccurrences"_s), QStringList{u"3"_s});
    }

    // "Atla" drops one for good; one left unticked ("Sonra") comes again.
    void skippedOnesGoLaterOnesStay()
    {
        added(u"months 1 5 1 2025-01-01 - 0"_s);
        core::RecurringEntries recurring;
        const core::DueList due = recurring.due(day(u"2025-03-10"_s));
        QVERIFY(recurring.skip(due.templates[0].recurring.rowId, day(u"2025-02-05"_s)).isDone());
        std::vector<core::TickedOccurrence> some = ticked(due);
        some.erase(some.begin() + 1, some.end()); // only January ticked
        QCOMPARE(recurring.confirm(some).recorded, 1);
        QCOMPARE(dueText(day(u"2025-03-10"_s)), u"2025-03-05"_s);
        QCOMPARE(entries(), QStringList{u"5.1.2025 12500.00 Çınar Yapı"_s});
        QCOMPARE(recurring.list().front().next, day(u"2025-03-05"_s));
        QCOMPARE(recurring.skip(99, day(u"2025-03-05"_s)).status, core::Status::Gone);
    }

    // An edit changes only what is not recorded yet: a new rule takes over after the last occurrence
    // recorded or skipped.
    void anEditedRuleLeavesTheRecordedAlone_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("another day of the month")
            << u"months 1 15 1 2025-01-01 - 0"_s << u"12500"_s << u"2025-02-15 2025-03-15"_s << u"15.2.2025 12500.00"_s;
        QTest::newRow("weeks instead of months")
            << u"weeks 2 1 1 2025-01-01 - 0"_s << u"12500"_s
            << u"2025-02-03 2025-02-17 2025-03-03 2025-03-17 2025-03-31"_s << u"3.2.2025 12500.00"_s;
        QTest::newRow("a new amount, the same rule")
            << u"months 1 1 1 2025-01-01 - 0"_s << u"13000"_s << u"2025-03-01 2025-04-01"_s << u"1.3.2025 13000.00"_s;
        QTest::newRow("a count the recorded ones used up")
            << u"months 1 1 1 2025-01-01 - 2"_s << u"12500"_s << QString() << QString();
    }
    void anEditedRuleLeavesTheRecordedAlone()
    {
        QFETCH(QString, rule);
        QFETCH(QString, amount);
        QFETCH(QString, due);
        QFETCH(QString, recorded);
        const RecurringTemplate shown = added(u"months 1 1 1 2025-01-01 - 0"_s);
        core::RecurringEntries recurring;
        QCOMPARE(recurring.confirm(ticked(recurring.due(day(u"2025-02-10"_s)))).recorded, 2);
        RecurringTemplate edited = rent(rule);
        edited.entry.amount = amount;
        const RecurringTemplate stored = *recurring.find(shown.rowId);
        QVERIFY(recurring.update(stored, edited).isDone());
        QCOMPARE(recurring.update(stored, edited).status, core::Status::Changed); // the second desk's view
        QCOMPARE(dueText(day(u"2025-04-10"_s)), due);
        const core::DueList now = recurring.due(day(u"2025-04-10"_s));
        if (!now.occurrences.empty())
            recurring.confirm({ticked(now).front()});
        QCOMPARE(entries().mid(2).join(u'|').section(u' ', 0, 1), recorded);
        QCOMPARE(entries().mid(0, 2),
                 QStringList({u"1.1.2025 12500.00 Çınar Yapı"_s, u"1.2.2025 12500.00 Çınar Yapı"_s}));
    }

    // A template whose company was deleted meanwhile is marked and recorded only once another is chosen.
    void aDeletedCompanyHoldsItsOccurrences()
    {
        const RecurringTemplate shown = added(u"months 1 1 1 2025-01-01 - 0"_s);
        rawExec("DELETE FROM Firmalar WHERE FirmaAdi = 'Çınar Yapı'");
        core::RecurringEntries recurring;
        const core::DueList due = recurring.due(day(u"2025-01-10"_s));
        QCOMPARE(due.templates.front().problem, core::EntryRefusal::Source);
        QCOMPARE(recurring.list().front().problem, core::EntryRefusal::Source);
        const core::Confirmation refused = recurring.confirm(ticked(due));
        QVERIFY(refused.result.isRefused());
        QCOMPARE(refused.result.refusal, core::EntryRefusal::Source);
        QCOMPARE(refused.result.rowId, shown.rowId);
        QCOMPARE(entries(), QStringList());

        RecurringTemplate chosen = shown;
        chosen.entry.source = u"Ova Emlak"_s;
        QVERIFY(recurring.update(shown, chosen).isDone());
        const core::DueList now = recurring.due(day(u"2025-01-10"_s));
        QCOMPARE(now.templates.front().problem, std::nullopt);
        QCOMPARE(recurring.confirm(ticked(now)).recorded, 1);
        QCOMPARE(entries(), QStringList{u"1.1.2025 12500.00 Ova Emlak"_s});
    }

    // Deleting a template puts it in the trash and leaves the entries it recorded; put back, it goes on.
    void aDeletedTemplateGoesToTheTrash()
    {
        const RecurringTemplate shown = added(u"months 1 1 1 2025-01-01 - 0"_s);
        core::RecurringEntries recurring;
        recurring.confirm(ticked(recurring.due(day(u"2025-02-10"_s))));
        QVERIFY(recurring.remove(shown.rowId).isDone());
        QCOMPARE(recurring.remove(shown.rowId).status, core::Status::Gone);
        QCOMPARE(dueText(day(u"2025-04-10"_s)), QString());
        QCOMPARE(entries().size(), 2);
        const std::vector<TrashItem> trash = core::Trash::list();
        QCOMPARE(trash.size(), size_t(1));
        QCOMPARE(trash[0].summary, u"Gider 12500.00 Lira — Çınar Yapı (Kira)"_s);
        QCOMPARE(core::Trash::recordName(trash[0].kind), u"Tekrarlayan Hareket"_s);
        QVERIFY(core::Trash::restore(trash[0].rowId).change.isDone());
        QCOMPARE(dueText(day(u"2025-04-10"_s)), u"2025-03-01 2025-04-01"_s);
    }

    // A template is checked as an entry is, and its rule too; nothing is stored when refused.
    void aTemplateIsCheckedBeforeItIsStored_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("fits") << u"-"_s << QString() << u"done"_s;
        QTest::newRow("no amount") << u"amount"_s << u"on iki"_s << u"entry 0"_s;
        QTest::newRow("a company of the other side") << u"kind"_s << u"Gelir"_s << u"entry 4"_s;
        QTest::newRow("no such category") << u"category"_s << u"Maaş"_s << u"entry 5"_s;
        QTest::newRow("every 0 months") << u"rule"_s << u"months 0 1 1 2025-01-01 - 0"_s << u"rule 0"_s;
        QTest::newRow("the 8th weekday") << u"rule"_s << u"weeks 1 8 1 2025-01-01 - 0"_s << u"rule 1"_s;
        QTest::newRow("no start") << u"rule"_s << u"months 1 1 1 - - 0"_s << u"rule 3"_s;
        QTest::newRow("an end before the start")
            << u"rule"_s << u"months 1 1 1 2025-01-01 2024-12-31 0"_s << u"rule 4"_s;
    }
    void aTemplateIsCheckedBeforeItIsStored()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, outcome);
        RecurringTemplate t = rent(u"months 1 1 1 2025-01-01 - 0"_s);
        if (field == "amount"_L1)
            t.entry.amount = value;
        else if (field == "kind"_L1)
            t.entry.kind = value;
        else if (field == "category"_L1)
            t.entry.category = value;
        else if (field == "rule"_L1)
            t.rule = ruleOf(value);
        const auto result = core::RecurringEntries().add(t);
        const QString said = result.isDone() ? u"done"_s
                             : result.refusal.index() == 0
                                 ? u"entry %1"_s.arg(int(std::get<core::EntryRefusal>(result.refusal)))
                                 : u"rule %1"_s.arg(int(std::get<core::RuleRefusal>(result.refusal)));
        QCOMPARE(said, outcome);
        QCOMPARE(rawRows(u"SELECT count(*) FROM RecurringEntries"_s), QStringList{result.isDone() ? u"1"_s : u"0"_s});
    }
};

QTEST_GUILESS_MAIN(TestCoreRecurring)
#include "tst_core_recurring.moc"

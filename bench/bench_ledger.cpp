#include "Fixture.h"

#include "core/Analysis.h"
#include "core/RecurringEntries.h"
#include "data/RecurringStore.h"
#include "data/RowListModel.h"
#include "data/Statements.h"
#include "ledger/HareketTablosu.h"
#include "ledger/RegisterDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Resident memory of the process, in megabytes.
double residentMegabytes()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1024 * 1024) : 0;
}

void setFilters(HareketTablosu &dialog, int kind, int month, int year)
{
    dialog.findChild<QComboBox *>(u"turFiltresi"_s)->setCurrentIndex(kind);
    dialog.findChild<QComboBox *>(u"ayFiltresi"_s)->setCurrentIndex(month);
    dialog.findChild<QComboBox *>(u"yilFiltresi"_s)->setCurrentIndex(year);
}

// Clicks `button` of the entries table until the list, the count and the first
// entry's details (and the totals) are on screen.
void clickAndPaint(benchmark::State &state, HareketTablosu &dialog, const char *button)
{
    auto *target = dialog.findChild<QPushButton *>(QString::fromLatin1(button));
    for (auto _ : state) {
        target->click();
        QApplication::processEvents();
    }
    if (dialog.findChild<QLabel *>(u"kaynak"_s)->text() == u"-"_s)
        state.SkipWithError("nothing listed");
}

// "Listele" with every filter on "Tümü"; also what the dialog adds to the
// process with every entry listed.
void BM_Listele(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)));
    const double before = residentMegabytes();
    {
        HareketTablosu dialog;
        dialog.show();
        setFilters(dialog, 0, 0, 0);
        QApplication::processEvents();
        clickAndPaint(state, dialog, "listele");
        state.counters["added_MB"] = residentMegabytes() - before;
    }
}
BENCHMARK(BM_Listele)->Arg(100000)->Unit(benchmark::kMillisecond);

// What the entries list holds after "Listele" of every entry: the bytes of its
// model, against the bytes of the texts it shows as they are stored.
void BM_ListeleMemory(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)));
    HareketTablosu dialog;
    dialog.show();
    setFilters(dialog, 0, 0, 0);
    QApplication::processEvents();
    clickAndPaint(state, dialog, "listele");
    const auto *model = qobject_cast<const RowListModel *>(dialog.findChild<QListView *>(u"hareketListesi"_s)->model());
    double stored = 0;
    sqlite3 *handle = nullptr;
    sqlite3_open_v2("Norva.db", &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *sum = nullptr;
    sqlite3_prepare_v2(handle, "SELECT sum(length(CAST(IslemKaynagi AS BLOB))) FROM GelirGider", -1, &sum, nullptr);
    if (sqlite3_step(sum) == SQLITE_ROW)
        stored = sqlite3_column_double(sum, 0);
    sqlite3_finalize(sum);
    sqlite3_close(handle);
    state.counters["list_bytes"] = double(model->bytesHeld());
    state.counters["text_bytes"] = stored;
    state.counters["ratio"] = stored > 0 ? double(model->bytesHeld()) / stored : 0;
}
BENCHMARK(BM_ListeleMemory)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same on a PostgreSQL server over its socket (bench/run starts one).
void BM_ListelePg(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)));
    if (!fixture.moveToServer()) {
        state.SkipWithError("no server: PGHOST is not set");
        return;
    }
    HareketTablosu dialog;
    dialog.show();
    setFilters(dialog, 0, 0, 0);
    QApplication::processEvents();
    clickAndPaint(state, dialog, "listele");
}
BENCHMARK(BM_ListelePg)->Arg(100000)->Unit(benchmark::kMillisecond);

// One table of entries spread over 2020 to 2050, shared by the totals benchmarks.
BenchDatabase &spreadEntries(int count)
{
    static BenchDatabase *fixture = nullptr;
    static int made = 0;
    if (made != count) {
        delete fixture;
        fixture = new BenchDatabase;
        fixture->addEntries(count, 500, 2020, 31);
        made = count;
    }
    return *fixture;
}

// "Hesapla" for March 2024 (`month` 3), or for all of 2024 (`month` 0).
void hesapla(benchmark::State &state, int month)
{
    spreadEntries(int(state.range(0)));
    HareketTablosu dialog;
    dialog.show();
    setFilters(dialog, 0, month, 2024 - 2019);
    QApplication::processEvents();
    clickAndPaint(state, dialog, "hesapla");
}

void BM_Hesapla(benchmark::State &state)
{
    hesapla(state, 3);
}
BENCHMARK(BM_Hesapla)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_HesaplaYear(benchmark::State &state)
{
    hesapla(state, 0);
}
BENCHMARK(BM_HesaplaYear)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The year's sums by kind straight on the C API: what "Hesapla" for a year
// cannot do with less.
void BM_RawSqliteSumYear(benchmark::State &state)
{
    spreadEntries(int(state.range(0)));
    const QByteArray statement = QByteArray(sql::kToplamlar) + " AND Yil = '2024'";
    for (auto _ : state) {
        sqlite3 *handle = nullptr;
        sqlite3_open_v2("Norva.db", &handle, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt *prepared = nullptr;
        sqlite3_prepare_v2(handle, statement.constData(), -1, &prepared, nullptr);
        double income = 0, expense = 0;
        while (sqlite3_step(prepared) == SQLITE_ROW) {
            const char *kind = reinterpret_cast<const char *>(sqlite3_column_text(prepared, 0));
            const double amount = sqlite3_column_double(prepared, 1);
            if (std::strcmp(kind, "Gelir") == 0)
                income += amount;
            else if (std::strcmp(kind, "Gider") == 0)
                expense += amount;
        }
        benchmark::DoNotOptimize(income);
        benchmark::DoNotOptimize(expense);
        sqlite3_finalize(prepared);
        sqlite3_close(handle);
    }
}
BENCHMARK(BM_RawSqliteSumYear)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The due list at start: `state.range(0)` templates (by thirds monthly, weekly and yearly) that
// have run for ten years, each handled up to a month ago, two of every three with an occurrence
// recorded out of turn since.
void BM_DueOccurrences(benchmark::State &state)
{
    BenchDatabase fixture;
    const QDate today(2035, 6, 15);
    {
        db::Connection connection;
        db::Transaction transaction(connection);
        RecurringStore store(connection);
        for (int i = 0; i < int(state.range(0)); ++i) {
            RecurringTemplate t;
            t.entry = {-1,      u"Gider"_s, {}, {}, {},    companyName(i % 500), u"1250.00"_s, u"Lira"_s, u""_s,
                       u"20"_s, u"Kira"_s,  {}, {}, u"0"_s};
            const auto unit = Recurrence::Unit(i % 3);
            t.rule = {unit,
                      1 + i % 2,
                      unit == Recurrence::Unit::Weeks ? 1 + i % 7 : 1 + i % 31,
                      1 + i % 12,
                      today.addYears(-10).addDays(i % 28),
                      {},
                      0};
            t.doneThrough = today.addMonths(-1);
            store.add(t);
            if (i % 3 != 2)
                store.mark(i + 1, today.addDays(-(i % 20)), RecurringStore::Outcome::Recorded);
        }
        transaction.commit();
    }
    size_t due = 0;
    for (auto _ : state)
        due = core::RecurringEntries().due(today).occurrences.size();
    state.counters["due"] = double(due);
}
BENCHMARK(BM_DueOccurrences)->Arg(1000)->Unit(benchmark::kMillisecond);

// "Hesap Dökümü" opened over `count` entries, until its first screen of rows is drawn.
void BM_Register(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)));
    for (auto _ : state) {
        RegisterDialog dialog;
        dialog.show();
        QApplication::processEvents();
        auto *table = dialog.findChild<QTableView *>(u"tablo"_s);
        if (table->model()->rowCount() != state.range(0) || table->model()->data(table->indexAt({5, 5})).isNull())
            state.SkipWithError("not shown");
    }
}
BENCHMARK(BM_Register)->Arg(100000)->Unit(benchmark::kMillisecond);

// A year's income and expense month by month, as "Grafikler" draws them, on the table
// BM_RawSqliteSumYear sums.
void BM_YearFigures(benchmark::State &state)
{
    spreadEntries(int(state.range(0)));
    for (auto _ : state) {
        const auto figures = core::Figures().year(2024);
        if (!figures || figures->year.income == 0)
            state.SkipWithError("no figures");
        benchmark::DoNotOptimize(figures);
    }
}
BENCHMARK(BM_YearFigures)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The register's rows read alone, without the window: what BM_Register spends in the core.
void BM_RegisterRead(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(core::Register().read().rowCount());
}
BENCHMARK(BM_RegisterRead)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

#include "Fixture.h"

#include "data/RowListModel.h"
#include "data/Statements.h"
#include "ledger/HareketTablosu.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>

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

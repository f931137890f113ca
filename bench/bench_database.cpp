#include "Fixture.h"

#include "data/Database.h"
#include "data/EntryStore.h"
#include "data/RowListModel.h"
#include "data/Statements.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// Walks the entries list through the program's routine into the list's model:
// text and RowId of every row. The entries name 500 companies, or, for the
// second figure, every entry a company of its own.
void walkEntries(benchmark::State &state, int companies)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)), companies);
    const db::ListQuery query{QString::fromUtf8(sql::kHareketListesi), {}, "IslemKaynagi"};
    RowListModel model(false);
    for (auto _ : state) {
        model.load(query);
        if (model.rowCount() != state.range(0))
            state.SkipWithError("not listed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_RowsWalk(benchmark::State &state)
{
    walkEntries(state, 500);
}
BENCHMARK(BM_RowsWalk)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RowsWalkDistinct(benchmark::State &state)
{
    walkEntries(state, int(state.range(0)));
}
BENCHMARK(BM_RowsWalkDistinct)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same walk straight on the C API, by column index, without conversion.
void BM_RawSqliteWalk(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)));
    for (auto _ : state)
        rawSqliteWalk(sql::kHareketListesi);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RawSqliteWalk)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_OpenClose(benchmark::State &state)
{
    BenchDatabase fixture;
    for (auto _ : state) {
        db::Connection connection;
        benchmark::DoNotOptimize(&connection);
    }
}
BENCHMARK(BM_OpenClose)->Unit(benchmark::kMicrosecond);

const QStringList kEntryValues = {u"Gelir"_s,    u"5"_s,    u"3"_s, u"2025"_s, u"Ali'nin Kırtasiyesi"_s,
                                  u"1250.50"_s,  u"Lira"_s, u"0"_s, u"20"_s,   u"Satış Geliri"_s,
                                  u"Açıklama"_s, u""_s,     u"0"_s};

// One entry written as earlier builds wrote it: each value pasted into the
// statement between quotes, its quotes doubled. Connection included.
void BM_InsertEntry(benchmark::State &state)
{
    BenchDatabase fixture;
    for (auto _ : state) {
        QString statement = QString::fromUtf8(sql::kGelirGiderEkle);
        for (QString value : kEntryValues)
            statement.replace(statement.indexOf(u'?'), 1, u'\'' + value.replace(u'\'', u"''"_s) + u'\'');
        db::Connection connection;
        connection.execute(statement);
    }
}
BENCHMARK(BM_InsertEntry)->Unit(benchmark::kMicrosecond);

// The same entry as the add-entry dialog writes it now: through the entry
// store, every value bound. Connection included.
void BM_InsertEntryBound(benchmark::State &state)
{
    BenchDatabase fixture;
    const QStringList &v = kEntryValues;
    const Entry entry{-1, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12]};
    for (auto _ : state) {
        db::Connection connection;
        EntryStore(connection).add(entry);
    }
}
BENCHMARK(BM_InsertEntryBound)->Unit(benchmark::kMicrosecond);

// The same on a PostgreSQL server over its socket, the connection included.
void BM_InsertEntryPg(benchmark::State &state)
{
    BenchDatabase fixture;
    if (!fixture.moveToServer()) {
        state.SkipWithError("no server: PGHOST is not set");
        return;
    }
    const QStringList &v = kEntryValues;
    const Entry entry{-1, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12]};
    for (auto _ : state) {
        db::Connection connection;
        EntryStore(connection).add(entry);
    }
}
BENCHMARK(BM_InsertEntryPg)->Unit(benchmark::kMicrosecond);

// Deleting one entry as the entries table does, on a fresh connection, from a
// file of 20,000 entries: through the store, which first copies the row into the
// trash in the same transaction, and the bare DELETE the program used to send.
constexpr int kDeletable = 20000;

template <typename Delete>
void deleteEntries(benchmark::State &state, Delete remove)
{
    BenchDatabase fixture;
    fixture.addEntries(kDeletable);
    qint32 rowId = 0;
    for (auto _ : state) {
        if (++rowId > kDeletable) {
            state.SkipWithError("more deletes than entries");
            break;
        }
        db::Connection connection;
        if (remove(connection, rowId) != 1) {
            state.SkipWithError("nothing deleted");
            break;
        }
    }
}

void BM_DeleteToTrash(benchmark::State &state)
{
    deleteEntries(state, [](db::Connection &connection, qint32 rowId) { return EntryStore(connection).remove(rowId); });
}
BENCHMARK(BM_DeleteToTrash)->Unit(benchmark::kMicrosecond);

void BM_DeleteBare(benchmark::State &state)
{
    deleteEntries(
        state, [](db::Connection &connection, qint32 rowId) { return connection.execute(sql::kHareketSil, {rowId}); });
}
BENCHMARK(BM_DeleteBare)->Unit(benchmark::kMicrosecond);

} // namespace

#include "Fixture.h"

#include "data/Database.h"
#include "data/EntryStore.h"
#include "exchange/AccessImport.h"
#include "exchange/CsvFile.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <mdbtools.h>

#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const char kAccessFile[] = NORVA_ACCESS_FIXTURE;

// The Access file's six tables into an empty Norva.db, as the import dialog
// does it: opened, read, converted and written in one transaction.
void BM_ImportAccess(benchmark::State &state)
{
    BenchDatabase fixture;
    const QString path = QString::fromUtf8(kAccessFile);
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(db::fileName());
        db::ensureSchema();
        state.ResumeTiming();
        exchange::AccessImport import(path);
        const exchange::ImportResult result = import.run(exchange::AccessImport::Mode::Add);
        rows = import.rowsFound();
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ImportAccess)->Unit(benchmark::kMillisecond);

// "CSV Aktar" with every filter on "Tümü": the entries the table lists, read
// whole and written as the file's bytes; compare with BM_Listele.
void BM_CsvExport(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state) {
        db::Connection connection;
        const QByteArray bytes = exchange::listedEntriesCsv(connection, EntryStore::list(u"Tümü"_s, 0, 0));
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["file_MB"] = double(size) / (1024 * 1024);
}
BENCHMARK(BM_CsvExport)->Arg(100000)->Unit(benchmark::kMillisecond);

// libmdb alone reading the same six tables into memory, every column of every
// row bound as text: the least an import can do.
void BM_LibmdbReadAll(benchmark::State &state)
{
    const char *tables[] = {"Firmalar", "GelirGider", "GGKategori", "Linkler", "Parolalar", "Kisiler"};
    std::size_t cells = 0;
    for (auto _ : state) {
        MdbHandle *mdb = mdb_open(kAccessFile, MDB_NOFLAGS);
        std::vector<std::string> values;
        for (const char *name : tables) {
            MdbTableDef *table = mdb_read_table_by_name(mdb, const_cast<char *>(name), MDB_TABLE);
            mdb_read_columns(table);
            mdb_rewind_table(table);
            std::vector<std::vector<char>> buffers(table->num_cols, std::vector<char>(MDB_BIND_SIZE));
            std::vector<int> lengths(table->num_cols);
            for (unsigned i = 0; i < table->num_cols; ++i)
                mdb_bind_column(table, int(i) + 1, buffers[i].data(), &lengths[i]);
            while (mdb_fetch_row(table)) {
                for (unsigned i = 0; i < table->num_cols; ++i)
                    values.emplace_back(buffers[i].data(), std::size_t(lengths[i]));
            }
            mdb_free_tabledef(table);
        }
        mdb_close(mdb);
        cells = values.size();
        benchmark::DoNotOptimize(values);
    }
    state.counters["cells"] = double(cells);
}
BENCHMARK(BM_LibmdbReadAll)->Unit(benchmark::kMillisecond);

} // namespace

#include "Fixture.h"

#include "core/ExchangeRates.h"
#include "core/InvoiceImport.h"
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
const char kInvoiceFile[] = NORVA_EFATURA_FIXTURE;

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

// "Kurları Doldur" over a year of Dolar and Euro entries that have no rate, from a year of kept
// bulletins (twenty currencies each, the weekends in force on Fridays'): the offer read and
// every rate written through the entries table's update, in one transaction.
void BM_RatesForEntries(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)), 500, 2025, 1);
    {
        db::Connection connection;
        connection.execute("UPDATE GelirGider SET TutarBirimi = CASE WHEN RowId % 2 = 0 THEN 'Dolar' ELSE 'Euro' END");
        connection.execute("UPDATE GelirGider SET IslemTutari = '12.50' WHERE IslemTutari = '0.00'"); // no zero amount
    }
    core::ExchangeRates rates;
    QDate friday;
    QList<QDate> weekend;
    for (QDate day(2025, 1, 1); day.year() == 2025; day = day.addDays(1)) {
        if (day.dayOfWeek() > 5 && friday.isValid()) {
            weekend << day;
            continue;
        }
        exchange::Bulletin bulletin{day, {}};
        for (int c = 0; c < 20; ++c) {
            const QString code = c == 0 ? u"USD"_s : c == 1 ? u"EUR"_s : u"C%1"_s.arg(c);
            const qint64 base = 35'000'000 + day.dayOfYear() * 10'000 + c * 1'000'000;
            bulletin.currencies.push_back({code, {base, base + 70'000, base - 30'000, base + 140'000}});
        }
        rates.keep(bulletin, {});
        if (friday.isValid() && !weekend.isEmpty())
            rates.keepDays(friday, weekend);
        weekend.clear();
        if (day.dayOfWeek() == 5)
            friday = day;
    }
    size_t filled = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            db::Connection connection;
            connection.execute("UPDATE GelirGider SET GecerliKur = ''");
        }
        state.ResumeTiming();
        const core::RateFillPlan plan = rates.planFill(QString(), 0, 0);
        if (!rates.fill(plan).isDone())
            state.SkipWithError("not filled");
        filled = plan.fills.size();
    }
    if (filled != size_t(state.range(0)))
        state.SkipWithError("not every entry filled");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RatesForEntries)->Arg(10000)->Unit(benchmark::kMillisecond);

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

// `count` invoice files in the fixture's folder: the test invoice with its number, UUID,
// customer and date changed, naming 200 companies, every fourth one a purchase.
QStringList writeInvoices(const BenchDatabase &fixture, int count)
{
    QFile model(QString::fromUtf8(kInvoiceFile));
    model.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(model.readAll());
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QString invoice = text;
        const QString number = u"NRV2025%1"_s.arg(i, 9, 10, QChar(u'0'));
        const QString customer = u"98%1"_s.arg(i % 200, 8, 10, QChar(u'0'));
        invoice.replace(u"NRV2025000000012"_s, number)
            .replace(u"f47ac10b-58cc-4372-a567-0e02b2c3d479"_s,
                     u"f47ac10b-58cc-4372-a567-%1"_s.arg(i, 12, 10, QChar(u'0')))
            .replace(u"9876543210"_s, customer)
            .replace(u"Zeytin Gıda Ltd. Şti."_s, companyName(i % 200))
            .replace(u"2025-03-12"_s, u"2025-%1-12"_s.arg(i % 12 + 1, 2, 10, QChar(u'0')));
        if (i % 4 == 3)
            invoice.replace(u"AccountingSupplierParty"_s, u"Swapped"_s)
                .replace(u"AccountingCustomerParty"_s, u"AccountingSupplierParty"_s)
                .replace(u"Swapped"_s, u"AccountingCustomerParty"_s);
        const QString path = fixture.path() + u"/fatura-%1.xml"_s.arg(i);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(invoice.toUtf8());
        paths << path;
    }
    return paths;
}

// "e-Fatura Al" on a month's files: every invoice read, checked and matched with the
// companies and entries already there (10,000 of them), as the preview shows them.
void BM_EFaturaPreview(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(10000);
    fixture.addCompanies(500);
    const QStringList paths = writeInvoices(fixture, int(state.range(0)));
    qsizetype fresh = 0;
    for (auto _ : state) {
        const core::InvoiceImport import(paths);
        const std::vector<core::InvoiceImport::Row> rows = import.preview(u"1234567890"_s);
        fresh = std::count_if(rows.begin(), rows.end(),
                              [](const auto &row) { return row.state == core::InvoiceImport::State::New; });
    }
    if (fresh != state.range(0))
        state.SkipWithError("not every invoice was read as new");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EFaturaPreview)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

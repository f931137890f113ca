#include "Fixture.h"

#include "data/MonthlyReport.h"
#include "ledger/Rapor.h"
#include "ledger/ReportPages.h"
#include "ledger/RtfWriter.h"

#include <QDir>
#include <QTextDocument>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMonth = 3, kYear = 2030;

// A month of `entries` entries against 1,000 companies, in a table of
// 200,000. Made once for all runs of the benchmarks: it takes seconds.
BenchDatabase &reportDatabase(int entries)
{
    static std::unique_ptr<BenchDatabase> fixture;
    static int made = 0;
    if (made != entries) {
        fixture.reset();
        fixture = std::make_unique<BenchDatabase>();
        fixture->addCompanies(1000);
        fixture->addEntries(200000 - entries, 1000); // 2024 to 2026
        fixture->addMonth(entries, kMonth, kYear, 1000);
        made = entries;
    }
    QDir::setCurrent(fixture->path());
    return *fixture;
}

MonthlyReport buildReport()
{
    return monthlyReport(kMonth, QString::number(kYear));
}

void BM_MonthlyReport(benchmark::State &state)
{
    reportDatabase(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state)
        size = buildReport().text.size();
    if (size < state.range(0) * 300)
        state.SkipWithError("report too short");
}
BENCHMARK(BM_MonthlyReport)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same report read from a PostgreSQL server over its socket.
void BM_MonthlyReportPg(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addCompanies(1000);
    fixture.addEntries(200000 - int(state.range(0)), 1000);
    fixture.addMonth(int(state.range(0)), kMonth, kYear, 1000);
    if (!fixture.moveToServer()) {
        state.SkipWithError("no server: PGHOST is not set");
        return;
    }
    qsizetype size = 0;
    for (auto _ : state)
        size = buildReport().text.size();
    if (size < state.range(0) * 300)
        state.SkipWithError("report too short");
}
BENCHMARK(BM_MonthlyReportPg)->Arg(10000)->Unit(benchmark::kMillisecond);

// A copy of the viewer's document for that report, its banners coloured.
const QTextDocument &viewerDocument(int entries)
{
    static std::unique_ptr<QTextDocument> document;
    static int made = 0;
    if (made != entries) {
        reportDatabase(entries);
        Rapor dialog(buildReport());
        document.reset(dialog.findChild<QTextEdit *>(u"rapor"_s)->document()->clone());
        made = entries;
    }
    return *document;
}

void BM_RtfExport(benchmark::State &state)
{
    const QTextDocument &document = viewerDocument(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(toRtf(document));
}
BENCHMARK(BM_RtfExport)->Arg(10000)->Unit(benchmark::kMillisecond);

// The whole report laid out on A4 pages and written as PDF bytes in memory.
void BM_PdfExport(benchmark::State &state)
{
    const QTextDocument &document = viewerDocument(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state)
        size = reportPdf(document, u"Aylık Gelir/Gider Raporu - MART 2030"_s).size();
    state.counters["MB"] = double(size) / 1e6;
}
BENCHMARK(BM_PdfExport)->Arg(10000)->Unit(benchmark::kMillisecond);

// What the RTF export is held against: Qt's own export of the same document.
void BM_ToHtml(benchmark::State &state)
{
    const QTextDocument &document = viewerDocument(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(document.toHtml());
}
BENCHMARK(BM_ToHtml)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

#include "Fixture.h"

#include "data/Backup.h"
#include "data/Database.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A ledger of `entries` entries and 500 companies, closed and checkpointed.
void fill(BenchDatabase &fixture, int entries)
{
    fixture.addCompanies(500);
    fixture.addEntries(entries);
}

void sync(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    ::fsync(fd);
    ::close(fd);
}

// A copy of Norva.db through the engine's online backup, as every backup is made:
// owner-only, synced, renamed into place.
void BM_Backup(benchmark::State &state)
{
    BenchDatabase fixture;
    fill(fixture, int(state.range(0)));
    const QString target = QDir(fixture.path()).filePath(u"kopya.db"_s);
    for (auto _ : state) {
        db::copyDatabase(db::fileName(), target);
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFile(db::fileName()).size());
}
BENCHMARK(BM_Backup)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file copied as a plain file, and synced: what BM_Backup is compared with.
void BM_CopyFile(benchmark::State &state)
{
    BenchDatabase fixture;
    fill(fixture, int(state.range(0)));
    const QString target = QDir(fixture.path()).filePath(u"kopya.db"_s);
    for (auto _ : state) {
        QFile::copy(db::fileName(), target);
        sync(target);
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFile(db::fileName()).size());
}
BENCHMARK(BM_CopyFile)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The check at start: the file's first bytes, PRAGMA quick_check and the six tables' columns.
void BM_QuickCheck(benchmark::State &state)
{
    BenchDatabase fixture;
    fill(fixture, int(state.range(0)));
    for (auto _ : state) {
        db::FileFault problem = db::damage(db::fileName());
        benchmark::DoNotOptimize(problem);
    }
}
BENCHMARK(BM_QuickCheck)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

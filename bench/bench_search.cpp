#include "Fixture.h"

#include "core/Analysis.h"
#include "data/Database.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// "Ara" for a word found in 100 of `count` entries, among 10,000 companies and 10,000 contacts too.
void BM_Search(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addEntries(int(state.range(0)));
    fixture.addCompanies(10000);
    {
        db::Connection connection;
        db::Transaction transaction(connection);
        db::PreparedQuery insert = connection.prepare(
            "INSERT INTO Kisiler (AdSoyad, CepTelefonu, Memleket, Eposta, Hakkinda) VALUES (?, ?, 'İSTANBUL', ?, "
            "'Eski müşteri, her ay arar')");
        for (int i = 0; i < 10000; ++i)
            insert.execute({u"Kişi %1 Öztürk"_s.arg(i), u"0555 %1"_s.arg(i), u"kisi%1@ornek.com.tr"_s.arg(i)});
        connection.execute("UPDATE GelirGider SET IslemIcerigi = 'Zeytinyağı alımı' WHERE RowId % 1000 = 0");
        transaction.commit();
    }
    for (auto _ : state) {
        const analysis::SearchResults results = core::Search().find(u"ZEYTİNYAĞI"_s);
        if (results.found[size_t(analysis::RecordKind::Entry)] != state.range(0) / 1000)
            state.SkipWithError("not found");
    }
}
BENCHMARK(BM_Search)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

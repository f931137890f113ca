#include "Fixture.h"

#include "companies/KayitliFirmalar.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {

// "Bul" with "Tümünü Listele": from the click until the list, the count and
// the first company's details are on screen.
void BM_FirmaBul(benchmark::State &state)
{
    BenchDatabase fixture;
    fixture.addCompanies(int(state.range(0)));
    KayitliFirmalar dialog;
    dialog.show();
    QApplication::processEvents();
    auto *bul = dialog.findChild<QPushButton *>(QStringLiteral("bul"));
    for (auto _ : state) {
        bul->click();
        QApplication::processEvents(); // paints what changed
    }
    if (dialog.findChild<QLabel *>(QStringLiteral("firmaAdi"))->text() == QStringLiteral("-"))
        state.SkipWithError("nothing listed");
}
BENCHMARK(BM_FirmaBul)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

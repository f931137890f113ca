#include "vault/Vault.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// Unlocking: the key derived from the master password at the cost new master
// passwords get. Chosen to take a noticeable moment, well under a second.
void BM_Unlock(benchmark::State &state)
{
    const vault::KeyParameters parameters = vault::KeyParameters::fresh();
    for (auto _ : state) {
        std::optional<vault::Key> key = vault::Key::derive(u"Şifrem_Güçlü9ğ"_s, parameters);
        benchmark::DoNotOptimize(key);
    }
}
BENCHMARK(BM_Unlock)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

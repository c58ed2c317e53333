// The address query of mail clients on generated databases: from the file on disk to the lines
// printed, as zorvan-cli query runs it.
#include <benchmark/benchmark.h>

#include "GeneratedDatabase.h"
#include "find/AddressQuery.h"

using namespace zorvan;

namespace {

void Query(benchmark::State& state, const char* text) {
  const std::string& path = bench::GeneratedDatabaseFile(static_cast<int>(state.range(0)));
  size_t found = 0;
  for (auto _ : state) {
    CAddressQuery query(text);
    std::string error;
    if (!query.ReadFile(path, error)) state.SkipWithError(error.c_str());
    found = query.Addresses();
    benchmark::DoNotOptimize(query.Lines().data());
  }
  state.counters["addresses"] = static_cast<double>(found);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A text found nowhere: every record's texts are compared.
void BM_QueryNothing(benchmark::State& state) { Query(state, "nobody such"); }
BENCHMARK(BM_QueryNothing)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A name with an accented capital, found in a sixth of the contacts.
void BM_QueryDvorak(benchmark::State& state) { Query(state, "DVOŘ"); }
BENCHMARK(BM_QueryDvorak)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

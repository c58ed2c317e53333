// The search over opened databases of generated contacts (with their calendar branch). A text
// found nowhere makes it compare every node.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "GeneratedDatabase.h"
#include "find/Finder.h"
#include "store/AtomicFile.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"

using namespace zorvan;

namespace {

// One opened database per size, as the program holds it after Open.
CZorvanDoc& Database(int n) {
  static bench::CQuietHost host;
  static std::map<int, std::unique_ptr<CZorvanDoc>> docs;
  auto it = docs.find(n);
  if (it != docs.end()) return *it->second;
  auto doc = std::make_unique<CZorvanDoc>(host);
  bench::OpenGenerated(*doc, n);
  return *docs.emplace(n, std::move(doc)).first->second;
}

void Search(benchmark::State& state, const CFinder& finder, bool all) {
  const CZorvanDoc& doc = Database(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (all)
      benchmark::DoNotOptimize(finder.FindAll(doc.m_items, nullptr, findFromBeginning).size());
    else
      benchmark::DoNotOptimize(finder.Find(doc.m_items, nullptr, findFromBeginning));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One criterion in the five name fields, matching nothing.
void BM_FindNothingByName(benchmark::State& state) {
  CFinder finder;
  finder.SetCriterion(0, findName, "Nobody Such");
  Search(state, finder, false);
}
BENCHMARK(BM_FindNothingByName)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Three criteria; every record passes the first two, so all three are tested on each.
void BM_FindNothingWithThreeCriteria(benchmark::State& state) {
  CFinder finder;
  finder.SetCriterion(0, findName, "a");
  finder.SetCriterion(1, findEmail, "@example");
  finder.SetCriterion(2, findHomeAddress, "žižkov");
  Search(state, finder, false);
}
BENCHMARK(BM_FindNothingWithThreeCriteria)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Every match of an accented surname (one contact in six, and their event nodes).
void BM_FindAllBySurname(benchmark::State& state) {
  CFinder finder;
  finder.SetCriterion(0, findName, "DVOŘÁK");
  Search(state, finder, true);
}
BENCHMARK(BM_FindAllBySurname)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

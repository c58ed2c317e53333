// Import from Other Programs on 100,000 vCard 3.0 cards of 17 properties each (about 54 MB):
// the likely duplicates among as many contacts already in the database, adding the contacts
// into their new group, and the whole import as zorvan-cli runs it (reading the file, the
// duplicates, the group; the save is the database's own figure in zorvan_store_bench).
#include <benchmark/benchmark.h>

#include <string>

#include "GeneratedDatabase.h"
#include "interchange/ForeignImport.h"
#include "store/AtomicFile.h"

using namespace zorvan;

namespace {

// A card as a phone exports it: 17 properties, UTF-8, a few with parameters. Its name is the
// one of card labelNumber (i itself unless a file repeats names), the rest its own.
void AppendCard(std::string& out, int i, int labelNumber) {
  static const char* first[] = {"Jiří", "Łukasz", "Jürgen", "Eva", "Zdeněk", "Małgorzata"};
  static const char* last[] = {"Dvořák", "Wąsik", "Größ", "Nováková", "Žák", "Kowalska"};
  const std::string n = std::to_string(i);
  const std::string f = first[labelNumber % 6], l = last[(labelNumber / 6) % 6];
  out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  out += "N:" + l + ";" + f + ";;;\r\n";
  out += "FN:" + f + " " + l + " " + std::to_string(labelNumber) + "\r\n";
  out += "NICKNAME:" + f.substr(0, 3) + n + "\r\n";
  out += "ORG:Firma " + std::to_string(i % 300) + " s.r.o.;Vývoj\r\n";
  out += "TITLE:Engineer\r\n";
  out += "TEL;TYPE=CELL:+420 6" + std::to_string(10000000 + i) + "\r\n";
  out += "TEL;TYPE=HOME,VOICE:+420 2" + std::to_string(10000000 + i) + "\r\n";
  out += "TEL;TYPE=WORK,VOICE:+420 5" + std::to_string(10000000 + i) + "\r\n";
  out += "EMAIL;TYPE=INTERNET,HOME:contact" + n + "@example.com\r\n";
  out += "EMAIL;TYPE=INTERNET,WORK:" + n + "@firma.example.cz\r\n";
  out += "ADR;TYPE=HOME:;;Dlouhá " + std::to_string(i % 200) + ";Praha;;110 00;Česko\r\n";
  out += "ADR;TYPE=WORK:;;Hlavní 5;Brno;;602 00;Česko\r\n";
  out += "BDAY:" + std::to_string(1950 + i % 50) + "-0" + std::to_string(1 + i % 9) + "-1" +
         std::to_string(i % 9) + "\r\n";
  out += "URL;TYPE=WORK:https://firma.example.cz/" + n + "\r\n";
  out +=
      "NOTE:Potkali jsme se na konferenci v Brně\\, rok " + std::to_string(2000 + i % 25) + ".\r\n";
  out += "END:VCARD\r\n";
}

// n cards; with labelsTwice, every label on two cards of different people (their addresses,
// numbers and birthdays differ), as namesakes in a large address book.
const std::string& CardFile(int n, bool labelsTwice = false) {
  static std::map<std::pair<int, bool>, std::string> files;
  auto it = files.find({n, labelsTwice});
  if (it != files.end()) return it->second;
  std::string cards;
  cards.reserve(static_cast<size_t>(n) * 560);
  for (int i = 0; i < n; ++i) AppendCard(cards, i, labelsTwice ? i / 2 : i);
  const std::string path =
      bench::BenchFile("cards-" + std::to_string(n) + (labelsTwice ? "-namesakes" : "") + ".vcf");
  std::string error;
  WriteFileAtomically(path, cards, error);
  return files.emplace(std::make_pair(n, labelsTwice), path).first->second;
}

void OpenOrStop(CForeignImport& import, const std::string& path, benchmark::State& state) {
  if (!import.Open(path, {}).Succeeded()) state.SkipWithError("the card file did not open");
}

// The likely duplicates of the cards of the file at path among what doc holds.
void FindDuplicatesOf(benchmark::State& state, CZorvanDoc& doc, const std::string& path) {
  CForeignImport import;
  OpenOrStop(import, path, state);
  size_t found = 0;
  for (auto _ : state) {
    found = import.FindDuplicates(*doc.ContactsRoot()).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["duplicates"] = static_cast<double>(found);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The likely duplicates of n imported contacts among n in the database.
void BM_FindDuplicates(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host = bench::CQuietHost::WithoutCalendar();
  CZorvanDoc doc(host);
  bench::OpenGenerated(doc, n);
  FindDuplicatesOf(state, doc, CardFile(n));
}
BENCHMARK(BM_FindDuplicates)->Arg(100000)->Unit(benchmark::kMillisecond);

// The likely duplicates of n contacts into an empty database, every label held by two people:
// each second card is compared with the first of its label.
void BM_FindDuplicatesOfNamesakes(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host = bench::CQuietHost::WithoutCalendar();
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  FindDuplicatesOf(state, doc, CardFile(n, true));
}
BENCHMARK(BM_FindDuplicatesOfNamesakes)->Arg(100000)->Unit(benchmark::kMillisecond);

// n contacts into their new group of a database of n, with their event nodes.
void BM_AddTo(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host = bench::CQuietHost::WithoutCalendar();
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<CZorvanDoc>(host);
    bench::OpenGenerated(*doc, n);
    CForeignImport import;
    OpenOrStop(import, CardFile(n), state);
    state.ResumeTiming();
    const STransferResult r = import.AddTo(*doc);
    benchmark::DoNotOptimize(r);
    state.PauseTiming();
    doc.reset();  // the database's destruction is not the import's
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AddTo)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole import into a new database, as zorvan-cli import --from-other runs it before the
// save: the file read, the duplicates looked for, the contacts added.
void BM_WholeImport(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string& path = CardFile(n);
  bench::CQuietHost host = bench::CQuietHost::WithoutCalendar();
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<CZorvanDoc>(host);
    doc->OnNewDocument();
    state.ResumeTiming();
    CForeignImport import;
    OpenOrStop(import, path, state);
    const std::vector<SDuplicate> duplicates = import.FindDuplicates(*doc->ContactsRoot());
    const STransferResult r = import.AddTo(*doc);
    benchmark::DoNotOptimize(r);
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_WholeImport)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

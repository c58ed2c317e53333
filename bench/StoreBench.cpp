// Open, save, calendar build and the day listings on generated databases.
//
//   zorvan_store_bench [BENCHMARK OPTIONS]       runs the benchmarks
//   zorvan_store_bench --write FILE [COUNT [full]]   writes the generated database of COUNT
//       contacts (100,000 unless given) to FILE, for timing the command line on it; full: each
//       contact with a Greek nickname and an identity, as BM_OpenWithTrailer's
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "GeneratedDatabase.h"
#include "calendar/CalendarTexts.h"
#include "store/FileRead.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"

using namespace zorvan;

namespace {

void BM_Open(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string& path = bench::GeneratedDatabaseFile(n);
  bench::CQuietHost host;
  size_t heap = 0;
  for (auto _ : state) {
    // An open at start-up: a fresh document, nothing to destroy first.
    state.PauseTiming();
    auto doc = std::make_unique<CZorvanDoc>(host);
    const size_t before = mallinfo2().uordblks;
    state.ResumeTiming();
    if (!doc->OnOpenDocument(path)) state.SkipWithError("the generated database did not open");
    state.PauseTiming();
    // Heap held by the open database (records, event nodes, texts).
    heap = mallinfo2().uordblks - before;
    doc.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["bytes_per_record"] = static_cast<double>(heap) / n;
  std::string bytes, error;
  ReadWholeFile(path, bytes, error);
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

// The records of the generated database read from its bytes into a tree, on one thread (second
// argument 1) or on two (2), without the calendar branch; the tree's destruction is not counted.
void BM_LoadRecords(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool both = state.range(1) == 2;
  std::string bytes, error;
  ReadWholeFile(bench::GeneratedDatabaseFile(n), bytes, error);
  for (auto _ : state) {
    auto root = std::make_unique<CTreeItem>();
    root->m_nKind = kindContacts;
    if (!LoadDatabase(bytes, *root, error, nullptr, both ? 0 : bytes.size() + 1))
      state.SkipWithError("the generated database did not load");
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// Open over an open database of the same size: the old tree is destroyed first.
void BM_Reopen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host;
  CZorvanDoc doc(host);
  bench::OpenGenerated(doc, n);
  for (auto _ : state)
    if (!doc.OnOpenDocument(bench::GeneratedDatabaseFile(n)))
      state.SkipWithError("the generated database did not open");
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_Save(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host;
  CZorvanDoc doc(host);
  bench::OpenGenerated(doc, n);
  for (auto _ : state)
    if (!doc.OnSaveDocument(bench::BenchFile("save.zvd")))
      state.SkipWithError("the database could not be saved");
  state.SetItemsProcessed(state.iterations() * n);
}

constexpr size_t kBenchPhotoBytes = 20000;

// The generated database with a Greek nickname on every contact: each record has a text the
// code page cannot hold, so the file carries an extension trailer with one text per contact;
// with identities, every contact has a UID and a REV as well; with photos, every hundredth
// contact has a 20 KB portrait too.
void GenerateExtendedContacts(CTreeItem& root, int n, int mode) {
  const bool identities = mode >= 1, photos = mode >= 2;
  bench::GenerateContacts(root, n);
  static const char* nicknames[] = {"Νίκος", "Γιώργος", "Μαρία", "Ελένη", "Δημήτρης"};
  int i = 0;
  for (size_t g = 0; g < root.ChildCount(); ++g)
    for (size_t c = 0; c < root.Child(g)->ChildCount(); ++c) {
      CTreeItem* r = root.Child(g)->Child(c);
      r->m_strNickname = nicknames[i % 5];
      if (identities) {
        r->m_pExtras = std::make_unique<SRecordExtras>();
        char uid[64];
        std::snprintf(uid, sizeof uid, "urn:uuid:%08x-1e2d-4c3b-8a09-%012d", i, i);
        r->m_pExtras->uid = uid;
        r->m_pExtras->rev = "20261208T120000Z";
        if (photos && i % 100 == 0) {
          r->m_pExtras->photoType = "image/jpeg";
          r->m_pExtras->photo = "\xFF\xD8\xFF\xE0" + std::string(kBenchPhotoBytes - 4, '\x5A');
        }
      }
      ++i;
    }
}

const std::string& GeneratedExtendedDatabaseFile(int n, int mode) {
  static std::map<std::pair<int, int>, std::string> files;
  auto it = files.find({n, mode});
  if (it != files.end()) return it->second;
  CTreeItem root;
  root.m_nKind = kindContacts;
  GenerateExtendedContacts(root, n, mode);
  const std::string path =
      bench::BenchFile("extended-" + std::to_string(n) + "-" + std::to_string(mode) + ".zvd");
  std::string error;
  WriteFileAtomically(path, StoreDatabase(&root), error);
  return files.emplace(std::make_pair(n, mode), path).first->second;
}

// Arguments: the number of contacts, and 1 for identities beside the texts, 2 for photos too.
// The memory counted is that beside the photos' own bytes.
void BM_OpenWithTrailer(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int mode = static_cast<int>(state.range(1));
  const std::string& path = GeneratedExtendedDatabaseFile(n, mode);
  const size_t photoBytes = mode >= 2 ? static_cast<size_t>((n + 99) / 100) * kBenchPhotoBytes : 0;
  bench::CQuietHost host;
  size_t heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<CZorvanDoc>(host);
    const size_t before = mallinfo2().uordblks;
    state.ResumeTiming();
    if (!doc->OnOpenDocument(path) || !doc->TrailerNote().empty())
      state.SkipWithError("the generated database did not open with its trailer");
    state.PauseTiming();
    heap = mallinfo2().uordblks - before - photoBytes;
    doc.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["bytes_per_record"] = static_cast<double>(heap) / n;
  std::string bytes, error;
  ReadWholeFile(path, bytes, error);
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_SaveWithTrailer(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host;
  CZorvanDoc doc(host);
  if (!doc.OnOpenDocument(GeneratedExtendedDatabaseFile(n, static_cast<int>(state.range(1)))))
    std::exit(2);
  for (auto _ : state)
    if (!doc.OnSaveDocument(bench::BenchFile("extended-save.zvd")))
      state.SkipWithError("the database could not be saved");
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_BuildEventNodes(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host;
  CZorvanDoc doc(host);
  bench::OpenGenerated(doc, n);
  for (auto _ : state) {
    state.PauseTiming();
    for (int c : {catBirthdays, catAnniversaries, catNamedays}) {
      CTreeItem* cat = doc.Category(c);
      for (size_t i = 0; i < cat->ChildCount(); ++i) cat->Child(i)->m_bDeleted = 1;
      cat->RemoveDeleted();
    }
    state.ResumeTiming();
    doc.BuildEventNodes(doc.ContactsRoot());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// Times Undo of the document's last step, which leaves the contacts root with children
// children; Redo between the runs is not timed.
void TimeUndo(benchmark::State& state, CZorvanDoc& doc, size_t children) {
  for (auto _ : state) {
    doc.Undo();
    state.PauseTiming();
    if (doc.ContactsRoot()->ChildCount() != children) {
      state.SkipWithError("the undo did not give the database back");
      break;
    }
    doc.Redo();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Undo of the deletion of a group of n contacts: the group back in its place with every
// record, and their event nodes back in the calendar branch.
void BM_UndoDeleteGroup(benchmark::State& state) {
  bench::CQuietHost host;
  CZorvanDoc doc(host);
  bench::OpenFile(doc, bench::OneGroupDatabaseFile(static_cast<int>(state.range(0))));
  doc.RemoveBranch(doc.ContactsRoot()->Child(0));
  TimeUndo(state, doc, 1);
}

// Undo of an import of n contacts into a group of its own: the group and its event nodes go.
void BM_UndoImport(benchmark::State& state) {
  bench::CQuietHost host;
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  auto branch = std::make_unique<CTreeItem>(CText("google.csv"));
  branch->m_bGroup = 1;
  bench::GenerateContacts(*branch, static_cast<int>(state.range(0)));
  doc.AppendImportedBranch(doc.ContactsRoot(), std::move(branch));
  TimeUndo(state, doc, 0);
}

void BM_FillCalendarTexts(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host;
  CZorvanDoc doc(host);
  bench::OpenGenerated(doc, n);
  doc.m_dtCalendarDay = CDateTime(2026, 12, 8);
  size_t length = 0;
  for (auto _ : state) {
    const CCalendarTexts t = FillCalendarTexts(doc);
    length = t.m_strBirthdays.size() + t.m_strNext7Days.size();
    benchmark::DoNotOptimize(length);
  }
  state.counters["text_bytes"] = static_cast<double>(length);
}

// The same listing with the namedays of first names, on the Czech calendar in the week of
// Christmas Eve (Adam and Eva) and Štěpán: every contact's first name is looked up.
void BM_FillCalendarTextsFromFirstNames(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  bench::CQuietHost host;
  host.WriteProfileString("Settings", "Resource", "Czech.cal");
  CZorvanDoc doc(host);
  bench::OpenGenerated(doc, n);
  doc.SetNamedaysFromFirstNames(true);
  doc.m_dtCalendarDay = CDateTime(2026, 12, 20);
  size_t length = 0;
  for (auto _ : state) {
    const CCalendarTexts t = FillCalendarTexts(doc);
    length = t.m_strContactNamedays.size() + t.m_strNext7Days.size();
    benchmark::DoNotOptimize(length);
  }
  state.counters["text_bytes"] = static_cast<double>(length);
}

}  // namespace

BENCHMARK(BM_Open)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRecords)
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Reopen)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWithTrailer)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWithTrailer)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildEventNodes)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoDeleteGroup)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoImport)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillCalendarTexts)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillCalendarTextsFromFirstNames)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--write") == 0) {
    const int count = argc >= 4 ? std::atoi(argv[3]) : 100000;
    CTreeItem root;
    root.m_nKind = kindContacts;
    if (argc >= 5 && std::strcmp(argv[4], "full") == 0)
      GenerateExtendedContacts(root, count, 1);
    else
      bench::GenerateContacts(root, count);
    std::string error;
    if (!WriteFileAtomically(argv[2], StoreDatabase(&root), error)) {
      std::fprintf(stderr, "cannot write %s: %s\n", argv[2], error.c_str());
      return 1;
    }
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

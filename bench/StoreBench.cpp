// Open, save, calendar build and the day listings on generated databases.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <map>
#include <memory>

#include "GeneratedDatabase.h"
#include "store/AtomicFile.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"

using namespace zorvan;

namespace {

class CQuietHost : public IHost {
 public:
  void MessageBox(const std::string&, EMsgIcon) override {}
  bool AskYesNo(const std::string&) override { return false; }
  std::string GetProfileString(const std::string&, const std::string&,
                               const std::string& def) override {
    return def;
  }
  void WriteProfileString(const std::string&, const std::string&, const std::string&) override {}
};

// One database file per size, written once.
const std::string& DatabaseFile(int n) {
  static std::map<int, std::string> files;
  auto it = files.find(n);
  if (it != files.end()) return it->second;
  CTreeItem root;
  root.m_nKind = kindContacts;
  bench::GenerateContacts(root, n);
  const std::string path = "/tmp/zorvan-bench-" + std::to_string(n) + ".zvd";
  std::string error;
  WriteFileAtomically(path, StoreDatabase(&root), error);
  return files.emplace(n, path).first->second;
}

void BM_Open(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string& path = DatabaseFile(n);
  CQuietHost host;
  size_t heap = 0;
  for (auto _ : state) {
    // An open at start-up: a fresh document, nothing to destroy first.
    state.PauseTiming();
    auto doc = std::make_unique<CZorvanDoc>(host);
    const size_t before = mallinfo2().uordblks;
    state.ResumeTiming();
    doc->OnOpenDocument(path);
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

// Open over an open database of the same size: the old tree is destroyed first.
void BM_Reopen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  CQuietHost host;
  CZorvanDoc doc(host);
  doc.OnOpenDocument(DatabaseFile(n));
  for (auto _ : state) doc.OnOpenDocument(DatabaseFile(n));
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_Save(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  CQuietHost host;
  CZorvanDoc doc(host);
  doc.OnOpenDocument(DatabaseFile(n));
  std::string error;
  for (auto _ : state) doc.OnSaveDocument("/tmp/zorvan-bench-save.zvd", error);
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_BuildEventNodes(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  CQuietHost host;
  CZorvanDoc doc(host);
  doc.OnOpenDocument(DatabaseFile(n));
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

void BM_FillCalendarTexts(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  CQuietHost host;
  CZorvanDoc doc(host);
  doc.OnOpenDocument(DatabaseFile(n));
  doc.m_dtCalendarDay = CDateTime(2026, 12, 8);
  size_t length = 0;
  for (auto _ : state) {
    const CCalendarTexts t = doc.FillCalendarTexts();
    length = t.m_strBirthdays.size() + t.m_strNext7Days.size();
    benchmark::DoNotOptimize(length);
  }
  state.counters["text_bytes"] = static_cast<double>(length);
}

}  // namespace

BENCHMARK(BM_Open)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reopen)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildEventNodes)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillCalendarTexts)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

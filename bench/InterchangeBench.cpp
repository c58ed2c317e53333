// Export and import of generated databases in both interchange formats.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "GeneratedDatabase.h"
#include "interchange/CalendarExport.h"
#include "interchange/FileImport.h"
#include "interchange/Progress.h"
#include "interchange/Transfer.h"

using namespace zorvan;

namespace {

enum EFormat { vcard = 0, text = 1 };

std::string FilePath(int n, EFormat format, const std::string& stem = "export-") {
  return bench::BenchFile(stem + std::to_string(n) + (format == text ? ".csv" : ".vcf"));
}

const CTreeItem& Database(int n) {
  static std::map<int, std::unique_ptr<CTreeItem>> roots;
  auto& root = roots[n];
  if (!root) {
    root = std::make_unique<CTreeItem>();
    root->m_nKind = kindContacts;
    bench::GenerateContacts(*root, n);
  }
  return *root;
}

// An indicator that only takes its positions in, as the window's would.
class CBenchProgress : public ITransferProgress {
 public:
  void SetRange(int lower, int upper) override {
    benchmark::DoNotOptimize(lower);
    benchmark::DoNotOptimize(upper);
  }
  void SetPosition(int position) override { benchmark::DoNotOptimize(position); }
};

// The Export command after the file dialog; the name's extension chooses the format.
bool Export(const CTreeItem& root, const std::string& path) {
  CBenchProgress progress;
  STransferCallbacks callbacks;
  callbacks.pProgress = &progress;
  return ExportContacts(root, path, callbacks).Succeeded();
}

// The Import command after the file dialog: the line count for the indicator, then every
// record of the file, appended below root.
bool Import(CTreeItem& root, const std::string& path) {
  CBenchProgress progress;
  STransferCallbacks callbacks;
  callbacks.pProgress = &progress;
  CFileImport import;
  return import.Open(path, callbacks).Succeeded() &&
         import
             .Read([&root](std::unique_ptr<CTreeItem> record) {
               CTreeItem::AddChild(&root, record.release());
             })
             .Succeeded();
}

const std::string& ExportedFile(int n, EFormat format) {
  static std::map<std::pair<int, int>, std::string> files;
  auto& path = files[{n, format}];
  if (path.empty()) {
    path = FilePath(n, format);
    Export(Database(n), path);
  }
  return path;
}

void BM_Export(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto format = static_cast<EFormat>(state.range(1));
  const CTreeItem& root = Database(n);
  const std::string path = FilePath(n, format, "zorvan-bench-out-");
  for (auto _ : state)
    if (!Export(root, path)) state.SkipWithError("export failed");
  int records = 0;
  for (size_t i = 0; i < root.ChildCount(); ++i) CountRecords(*root.Child(i), records);
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
}

// Export for Other Programs after its dialogs: every contact as a standard vCard of the
// version (0 for 3.0, 1 for 4.0), streamed into the file.
void BM_ExportForOtherPrograms(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const EVCardVersion version = state.range(1) ? EVCardVersion::v40 : EVCardVersion::v30;
  const CTreeItem& root = Database(n);
  const std::string path = bench::BenchFile("zorvan-bench-other-" + std::to_string(n) + ".vcf");
  CBenchProgress progress;
  STransferCallbacks callbacks;
  callbacks.pProgress = &progress;
  for (auto _ : state)
    if (!ExportForOtherPrograms(root, path, version, callbacks, {}).Succeeded())
      state.SkipWithError("export failed");
  int records = 0;
  for (size_t i = 0; i < root.ChildCount(); ++i) CountRecords(*root.Child(i), records);
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
}

// Export Calendar after its file dialog: a yearly event for every birthday, anniversary and
// nameday of the generated contacts (93,334 events of 100,000 contacts), flushed to the disk.
void BM_ExportCalendar(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  test::CQuietHost host = test::CQuietHost::WithoutCalendar();
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  bench::GenerateContacts(*doc.ContactsRoot(), n);
  const std::string path = bench::BenchFile("zorvan-bench-calendar-" + std::to_string(n) + ".ics");
  size_t events = 0;
  for (auto _ : state) {
    const STransferResult result = ExportCalendar(doc, path, {false, 1796000000});
    if (!result.Succeeded()) state.SkipWithError("export failed");
    events = result.nCount;
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(events));
  state.counters["events"] = static_cast<double>(events);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
}

void BM_Import(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto format = static_cast<EFormat>(state.range(1));
  const std::string& path = ExportedFile(n, format);
  size_t heap = 0;
  size_t records = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto root = std::make_unique<CTreeItem>();
    root->m_nKind = kindContacts;
    const size_t before = mallinfo2().uordblks;
    state.ResumeTiming();
    if (!Import(*root, path)) state.SkipWithError("import failed");
    state.PauseTiming();
    // The heap the import holds when it ends: the records it built, nothing of the file.
    heap = mallinfo2().uordblks - before;
    records = root->ChildCount();
    root.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records));
  state.counters["bytes_per_record"] = static_cast<double>(heap) / static_cast<double>(records);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  state.counters["heap_MB"] = static_cast<double>(heap) / 1e6;
}

// The answers of the import wizard for a file of other columns: commas, the first column into
// the first name.
class CFirstColumnPrompts : public IImportPrompts {
 public:
  bool AskDelimiter(std::string& typed) override {
    typed = ",";
    return true;
  }
  bool AskBindings(const std::string&, std::vector<ColumnBinding>& bindings) override {
    bindings[0].m_nTarget = 1;
    return true;
  }
};

// A bound import of 10,000 short lines below a header of many columns: the cost of a line
// follows the line, so the time stays the same whatever the header's width.
void BM_ImportBelowAWideHeader(benchmark::State& state) {
  const int columns = static_cast<int>(state.range(0));
  const std::string path = bench::BenchFile("wide-" + std::to_string(columns) + ".csv");
  {
    std::string text;
    for (int i = 0; i < columns; ++i) text += "Sloupec,";
    text += "\n";
    for (int i = 0; i < 10000; ++i) text += i % 2 ? "\n" : "Jiří,Nováková\n";
    std::ofstream(path, std::ios::binary) << text;
  }
  for (auto _ : state) {
    CFirstColumnPrompts prompts;
    STransferCallbacks callbacks;
    callbacks.pPrompts = &prompts;
    CFileImport import;
    size_t records = 0;
    if (!import.Open(path, callbacks).Succeeded() ||
        !import.Read([&records](std::unique_ptr<CTreeItem>) { ++records; }).Succeeded())
      state.SkipWithError("import failed");
    benchmark::DoNotOptimize(records);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  std::filesystem::remove(path);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int format : {vcard, text})
    for (int n : {1000, 10000, 100000}) b->Args({n, format});
  b->ArgNames({"records", "csv"})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Export)->Apply(Sizes);
BENCHMARK(BM_Import)->Apply(Sizes);
BENCHMARK(BM_ExportForOtherPrograms)
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->ArgNames({"records", "v40"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCalendar)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("records")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportBelowAWideHeader)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(65535)
    ->ArgName("columns")
    ->Unit(benchmark::kMillisecond);

// The delimited-text reader on arbitrary bytes, in all its ways of reading: the first byte
// chooses whether the rest is read as it comes (its first line deciding the layout), under the
// header of the 45 or of the 39 columns, or bound, with a delimiter and column targets taken
// from the following bytes. The records read are written as the program's own rows and read
// back: one record per row, every time.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "interchange/Progress.h"
#include "interchange/StringLineInput.h"
#include "interchange/StringOutput.h"
#include "interchange/TextExport.h"
#include "interchange/TextImport.h"
#include "store/TreeItem.h"

using namespace zorvan;

namespace {

// Reads text as a whole file would be read; the number of records, which are discarded.
size_t ReadAll(std::string_view text, STextFormat format, bool recognise, EDateOrder order,
               std::vector<CTreeItem*>* keep) {
  CStringLineInput in(text);
  std::string first;
  if (!ReadFirstLine(in, first)) return 0;
  if (recognise) format.layout = RecogniseHeader(first);
  if (format.layout == ETextLayout::bound && format.bindings.empty())
    format.bindings = MakeColumnBindings(first, format.strDelimiter);
  size_t n = 0;
  SImportHooks hooks;
  hooks.onRecord = [&](std::unique_ptr<CTreeItem> record) {
    ++n;
    if (keep) keep->push_back(record.release());
  };
  if (!ReadTextRows(in, format, hooks, order)) std::abort();
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int mode = data[0] % 4;
  const EDateOrder order = data[0] & 4 ? EDateOrder::dayMonthYear : EDateOrder::monthDayYear;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  STextFormat format;
  bool recognise = true;
  if (mode == 1) text = std::string(TextExportHeader()) + ",\r\n" + text;
  if (mode == 2) text = std::string(ShortLayoutHeader()) + "\r\n" + text;
  if (mode == 3) {
    // A delimiter as the dialog would give it, then one target per column, from the bytes.
    static const char* const kDelimiters[] = {",", ";", "tab", "space", "::", "Tab"};
    format.strDelimiter = DelimiterFromText(kDelimiters[data[1] % 6]);
    CStringLineInput in(text);
    std::string first;
    ReadFirstLine(in, first);
    format.bindings = MakeColumnBindings(first, format.strDelimiter);
    if (format.bindings.empty()) std::abort();  // a first line has at least one column
    for (size_t i = 0; i < format.bindings.size(); ++i)
      format.bindings[i].m_nTarget = static_cast<int>(data[(i + 2) % size] % 48) - 1;
    recognise = false;
  }
  std::vector<CTreeItem*> records;
  const size_t read = ReadAll(text, format, recognise, order, &records);

  // Written as the program's own layout, the same records come back one for one.
  CStringOutput out;
  int count = 0;
  CProgress progress(count);
  if (!WriteTextHeader(out)) std::abort();
  for (const CTreeItem* r : records)
    if (!WriteTextRow(out, *r, progress)) std::abort();
  if (static_cast<size_t>(count) != read) std::abort();
  STextFormat own;
  own.layout = ETextLayout::ownColumns;
  if (ReadAll(out.Bytes(), own, false, order, nullptr) != read) std::abort();
  for (CTreeItem* r : records) delete r;
  return 0;
}

// The vCard reader on arbitrary bytes; what it reads is written as cards and read again, and
// its dates go through the calendar's day listings.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "calendar/CalendarTexts.h"
#include "interchange/Progress.h"
#include "interchange/StringLineInput.h"
#include "interchange/StringOutput.h"
#include "interchange/VCardReader.h"
#include "interchange/VCardWriter.h"
#include "store/ZorvanDoc.h"
#include "tests/QuietHost.h"

using namespace zorvan;

namespace {

size_t CountCards(std::string_view bytes, EDateOrder order) {
  size_t n = 0;
  CStringLineInput in(bytes);
  SImportHooks hooks;
  hooks.onRecord = [&](std::unique_ptr<CTreeItem>) { ++n; };
  if (!ReadVCards(in, hooks, order)) std::abort();  // text in memory never fails to read
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const EDateOrder order = size % 2 ? EDateOrder::dayMonthYear : EDateOrder::monthDayYear;
  auto host = test::CQuietHost::WithoutCalendar();
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  CStringLineInput in(bytes);
  SImportHooks hooks;
  hooks.onRecord = [&](std::unique_ptr<CTreeItem> record) {
    doc.AppendImportedRecord(record.release());
  };
  if (!ReadVCards(in, hooks, order)) std::abort();

  // The cards written for what was read read back as just as many cards.
  CStringOutput out;
  int count = 0;
  CProgress progress(count);
  const CTreeItem* root = doc.ContactsRoot();
  for (size_t i = 0; i < root->ChildCount(); ++i)
    if (!WriteVCard(out, *root->Child(i), &progress)) std::abort();
  if (static_cast<size_t>(count) != root->ChildCount()) std::abort();
  if (CountCards(out.Bytes(), order) != root->ChildCount()) std::abort();

  doc.BuildEventNodes(doc.ContactsRoot());
  if (root->ChildCount() > 0) {
    doc.m_dtCalendarDay = root->Child(0)->m_dtBirthday;
    (void)FillCalendarTexts(doc);
    doc.m_dtCalendarDay = root->Child(root->ChildCount() - 1)->m_dtAnniversary;
    (void)FillCalendarTexts(doc);
  }
  return 0;
}

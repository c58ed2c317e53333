// The database loader on arbitrary bytes, then everything that reads a loaded tree: the
// calendar branch and its day listings, the search, and saving the tree again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "calendar/CalendarTexts.h"
#include "find/Finder.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"
#include "tests/QuietHost.h"

using namespace zorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto host = test::CQuietHost::WithoutCalendar();
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  std::string error;
  if (!LoadDatabase(bytes, *doc.ContactsRoot(), error)) {
    if (error.empty()) std::abort();  // a failure always says why
    return 0;
  }
  doc.BuildEventNodes(doc.ContactsRoot());

  // The listings of a few days around the dates the file itself holds.
  for (double day : {0.0, 37000.0, 2958465.0, -657434.0}) {
    doc.m_dtCalendarDay = CDateTime(day);
    (void)FillCalendarTexts(doc);
  }
  if (doc.ContactsRoot()->ChildCount() > 0) {
    doc.m_dtCalendarDay = doc.ContactsRoot()->Child(0)->m_dtBirthday;
    (void)FillCalendarTexts(doc);
  }

  CFinder finder;
  finder.SetCriterion(0, findName, "a");
  finder.SetCriterion(1, findHomePhone, " ");
  (void)finder.FindAll(doc.m_items, doc.ContactsRoot(), findFromCurrent);

  // What was read is written back the same way every time: a second round trip changes nothing.
  const std::string once = StoreDatabase(doc.ContactsRoot());
  CTreeItem again;
  again.m_nKind = kindContacts;
  if (!LoadDatabase(once, again, error)) std::abort();
  if (StoreDatabase(&again) != once) std::abort();
  return 0;
}

// The calendar resource reader on arbitrary bytes, then the calendar-name nodes and the day
// listings built from what it read.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "calendar/CalendarTexts.h"
#include "res/CodePage.h"
#include "store/CalendarResource.h"
#include "store/ZorvanDoc.h"
#include "tests/QuietHost.h"

using namespace zorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SCalendarResource resource;
  ParseCalendarResource(AnsiToUtf8(bytes), resource);
  for (const CCalName& name : resource.names)
    if (name.m_strName.size() > size * 3) std::abort();  // a name comes from the input only

  auto host = test::CQuietHost::WithoutCalendar();
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  doc.m_pCalNames = std::make_unique<std::vector<CCalName>>(resource.names);
  doc.BuildCalNameNodes();
  if (doc.Category(catCalNames)->ChildCount() != doc.CalNameCount()) std::abort();
  for (size_t i = 0; i < resource.names.size() && i < 8; ++i) {
    const CCalName& name = resource.names[i];
    doc.m_dtCalendarDay = CDateTime(2004, name.m_nMonth, name.m_nDay);
    (void)FillCalendarTexts(doc);
  }
  return 0;
}

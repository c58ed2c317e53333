#pragma once

#include <gtest/gtest.h>

#include "FakeHost.h"
#include "TestUtil.h"
#include "calendar/CalendarTexts.h"
#include "store/ZorvanDoc.h"

// A document on a calendar resource of a few names, with contacts added to the calendar branch
// one by one, and the Calendar page's texts of any day.
namespace zorvan::test {

// A date whose flag stays clear.
inline const CDateTime kNone(0.0, CDateTime::null);

class CalendarTest : public testing::Test {
 protected:
  CalendarTest() : clock(CDateTime(2003, 3, 10, 9, 0, 0)), doc(host) {
    WriteFile(dir / "names.cal",
              "BEGIN_CALNAMES\n24;12;Adam a Eva;\n24;12;Second;\n25;12;Boze narozeni;\n"
              "29;2;Leap;\n31;4;Nonsense;\nEND_CALNAMES\n");
    host.settings["Settings/Resource"] = dir / "names.cal";
    doc.OnNewDocument();
  }
  // A contact under the root with the given events (0 = not set).
  CTreeItem* Contact(const char* label, CDateTime birthday = kNone, CDateTime nameday = kNone,
                     CDateTime anniversary = kNone, const char* text = "") {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    r->m_bBirthday = birthday.m_status != CDateTime::null;
    r->m_bNameDay = nameday.m_status != CDateTime::null;
    r->m_bAnniversary = anniversary.m_status != CDateTime::null;
    if (r->m_bBirthday) r->m_dtBirthday = birthday;
    if (r->m_bNameDay) r->m_dtNameDay = nameday;
    if (r->m_bAnniversary) r->m_dtAnniversary = anniversary;
    r->m_strAnniversaryText = text;
    CTreeItem::AddChild(doc.ContactsRoot(), r);
    doc.BuildEventNodes(r);
    return r;
  }
  CCalendarTexts On(int year, int month, int day) {
    doc.m_dtCalendarDay = CDateTime(year, month, day, 15, 30, 0);
    return FillCalendarTexts(doc);
  }

  CTempDir dir;
  CFixedClock clock;
  CFakeHost host;
  CZorvanDoc doc;
};

}  // namespace zorvan::test

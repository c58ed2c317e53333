#include <gtest/gtest.h>

#include "FakeHost.h"
#include "store/ZorvanDoc.h"
#include "sync/CalendarPublish.h"
#include "sync/PublishState.h"

using namespace zorvan;
using namespace zorvan::sync;

namespace {

SPublishState TwoCalendars() {
  SPublishState state;
  SCalendarPublication& home = state.ForCalendar("https://dav.example.cz/jiří/narozeniny");
  home.Record({"birthday-0123456789abcdef@zorvan", "/jiří/narozeniny/birthday.ics", "W/\"e1\"",
               0x0123456789ABCDEFull});
  home.Record({"nameday-1@zorvan", "/jiří/narozeniny/nameday.ics", "e2", 42});
  state.ForCalendar("https://caldav.example.gr/Γιορτές/")
      .Record({"calendar-name-张伟@zorvan", "/Γιορτές/zhang.ics", "x", 7});
  return state;
}

}  // namespace

TEST(PublishStateTest, shouldKeyCalendarsByTheirCollectionAndReadBackWhatItWrote) {
  SPublishState state = TwoCalendars();
  EXPECT_EQ(&state.ForCalendar("https://dav.example.cz/jiří/narozeniny/"), &state.calendars[0]);
  ASSERT_EQ(state.calendars.size(), 2u);
  state.calendars[0].Record({"nameday-1@zorvan", "/jiří/narozeniny/nameday.ics", "e3", 43});
  EXPECT_EQ(state.calendars[0].events.size(), 2u);
  EXPECT_EQ(state.calendars[0].FindUid("nameday-1@zorvan")->etag, "e3");

  test::CFakeHost host;
  CZorvanDoc doc(host);
  ASSERT_TRUE(doc.OnNewDocument());
  StorePublishState(doc, state);
  EXPECT_TRUE(doc.IsModified());
  SPublishState read;
  std::string reason;
  ASSERT_TRUE(LoadPublishState(doc, read, reason)) << reason;
  EXPECT_EQ(read, state);
  // A calendar all of whose events were withdrawn is no longer recorded; with none left, the
  // section goes.
  for (SCalendarPublication& c : read.calendars) c.events.clear();
  StorePublishState(doc, read);
  EXPECT_EQ(doc.KeptSection(kTagPublish), nullptr);
}

TEST(PublishStateTest, shouldRefuseEveryCutOrDamagedPayloadWithAReason) {
  const std::string bytes = WritePublishState(TwoCalendars());
  for (size_t length = 0; length < bytes.size(); ++length) {
    SPublishState read = TwoCalendars();
    std::string reason;
    EXPECT_FALSE(ReadPublishState(std::string_view(bytes).substr(0, length), read, reason))
        << length;
    EXPECT_TRUE(read.Empty());
    EXPECT_NE(reason.find("damaged"), std::string::npos);
  }
  struct SCase {
    const char* name;
    size_t at;
    char byte;
    const char* reason;
  } cases[] = {
      {"another version", 0, 2, "version 2"},
      {"a count of calendars beyond the bytes", 7, 0x7F, "count of calendars"},
      {"a length beyond the bytes", 11, 0x7F, "ends inside"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string damaged = bytes;
    damaged[c.at] = c.byte;
    SPublishState read;
    std::string reason;
    EXPECT_FALSE(ReadPublishState(damaged, read, reason));
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
  }
}

// The resource names: a UID's every byte that could reach outside its name encoded, the hash
// blind to the stamp alone.
TEST(PublishStateTest, shouldNameEventsSafelyAndHashThemWithoutTheirStamp) {
  const struct {
    const char* uid;
    const char* href;
  } names[] = {
      {"birthday-00ff@zorvan", "/jana/kal/birthday-00ff@zorvan.ics"},
      {"../../jiné/x?y#z", "/jana/kal/..%2F..%2Fjin%C3%A9%2Fx%3Fy%23z.ics"},
      {"a b+c", "/jana/kal/a%20b+c.ics"},
  };
  for (const auto& n : names)
    EXPECT_EQ(EventHref("http://127.0.0.1:5232/jana/kal", n.uid), n.href) << n.uid;

  const std::string event =
      "BEGIN:VEVENT\r\nUID:x\r\nDTSTAMP:20261129T000000Z\r\nSUMMARY:Birthday: Jiří\r\n"
      "END:VEVENT\r\n";
  std::string later = event, changed = event;
  later.replace(later.find("20261129"), 8, "20261210");
  changed.replace(changed.find("Jiří"), 6, "Jiřík");
  EXPECT_EQ(EventHash(event), EventHash(later));
  EXPECT_NE(EventHash(event), EventHash(changed));
}

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "store/RecordFields.h"
#include "store/TreeItem.h"

using namespace zorvan;

namespace {

// Where a member lies in the record, found through its member pointer.
template <typename M>
size_t OffsetOf(M CContactData::*member) {
  static const CContactData probe;
  return static_cast<size_t>(reinterpret_cast<const char*>(&(probe.*member)) -
                             reinterpret_cast<const char*>(&probe));
}

struct SMemberPlace {
  std::string name;
  size_t offset, size, align;
};

// The record's members in the order the table says they are declared: the block of texts, the
// texts in table order, the numbers in table order, then the three dates, then their three
// flags.
std::vector<SMemberPlace> MembersInTableOrder() {
  std::vector<SMemberPlace> places{{"texts", OffsetOf<CRecordTexts>(&CContactData::m_texts),
                                    sizeof(CRecordTexts), alignof(CRecordTexts)}},
      numbers, dates, flags;
  for (const SRecordField& f : kRecordFields) {
    const std::string name(f.name);
    switch (f.type) {
      case EFieldType::text:
        places.push_back({name, OffsetOf(f.pText), sizeof(CTextField), alignof(CTextField)});
        break;
      case EFieldType::integer:
        numbers.push_back({name, OffsetOf(f.pNumber), sizeof(int), alignof(int)});
        break;
      case EFieldType::date:
        dates.push_back({name, OffsetOf(f.pDate), sizeof(CDateTime), alignof(CDateTime)});
        flags.push_back({name + " flag", OffsetOf(f.pNumber), sizeof(int), alignof(int)});
        break;
    }
  }
  for (const auto* more : {&numbers, &dates, &flags})
    places.insert(places.end(), more->begin(), more->end());
  return places;
}

size_t AlignUp(size_t n, size_t align) { return (n + align - 1) / align * align; }

// A value for every field that differs from the defaults and from every other field's.
void SetDistinctValues(CContactData& r) {
  for (const SRecordField& f : kRecordFields) {
    const int i = f.id;
    switch (f.type) {
      case EFieldType::text:
        r.*f.pText = "Řehoř Łukasz Müller " + std::string(f.name);
        break;
      case EFieldType::integer:
        r.*f.pNumber = 100 + i;
        break;
      case EFieldType::date:
        r.*f.pDate = CDateTime(1930 + i, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 0);
        r.*f.pNumber = 200 + i;
        break;
    }
  }
}

// A field's value as text: a text as it is, a number in decimal, a date as its count and
// status with its flag.
std::string ValueOf(const CContactData& r, const SRecordField& f) {
  switch (f.type) {
    case EFieldType::text:
      return (r.*f.pText).str();
    case EFieldType::integer:
      return std::to_string(r.*f.pNumber);
    case EFieldType::date:
      break;
  }
  const CDateTime& date = r.*f.pDate;
  return std::to_string(date.m_dt) + "/" + std::to_string(date.m_status) + " set " +
         std::to_string(r.*f.pNumber);
}

}  // namespace

TEST(RecordFields, shouldListEveryMemberOfTheRecordInDeclaredOrder) {
  static_assert(std::is_standard_layout_v<SRecordTextFields>);
  const std::vector<SMemberPlace> places = MembersInTableOrder();
  ASSERT_EQ(places.size(), 49u);  // the texts' block, 45 fields, three of them with a flag
  // Each member starts where the one before it ends (after alignment): no member lies between
  // two the table names, and the table's order is the declared order.
  size_t end = 0;
  for (const SMemberPlace& p : places) {
    EXPECT_EQ(p.offset, AlignUp(end, p.align)) << p.name;
    end = p.offset + p.size;
  }
  // Nor after the last one: a class derived from the record places its first member right
  // after the record's last member, in what would otherwise be padding.
  struct SProbe : CContactData {
    char after;
  };
  SProbe probe;
  const size_t afterOffset = static_cast<size_t>(reinterpret_cast<const char*>(&probe.after) -
                                                 reinterpret_cast<const char*>(&probe));
  EXPECT_EQ(afterOffset, end);
}

TEST(RecordFields, shouldNameEachFieldOnceAfterItsMember) {
  std::set<std::string_view> names;
  for (const SRecordField& f : kRecordFields) {
    EXPECT_TRUE(names.insert(f.name).second) << f.name;
    EXPECT_FALSE(f.name.empty());
  }
  EXPECT_EQ(RecordField(fieldFirstName).name, "FirstName");
  EXPECT_EQ(RecordField(fieldAnniversary).name, "Anniversary");
  CContactData r;
  r.m_strPersonalEmail = "jiří@example.cz";
  EXPECT_EQ(r.*TextMember(fieldPersonalEmail), "jiří@example.cz");
  r.m_bNameDay = 1;
  EXPECT_EQ(r.*RecordField(fieldNameDay).pNumber, 1);
}

TEST(RecordFields, shouldCopyEveryFieldWithTheRecord) {
  CTreeItem source;
  SetDistinctValues(source);
  const CTreeItem defaults;
  const CTreeItem copy(source);
  CContactData assigned;
  assigned = source;
  for (const SRecordField& f : kRecordFields) {
    // Every field really differs from a new record's, so a field the copy missed shows.
    EXPECT_NE(ValueOf(source, f), ValueOf(defaults, f)) << f.name;
    EXPECT_EQ(ValueOf(copy, f), ValueOf(source, f)) << f.name;
    EXPECT_EQ(ValueOf(assigned, f), ValueOf(source, f)) << f.name;
  }
}

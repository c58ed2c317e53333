#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/FieldList.h"
#include "interchange/csv/ForeignCsvReader.h"
#include "store/TreeItem.h"

namespace zorvan::testing {

// The import wizard's targets by name (FieldList.cpp).
namespace target {
constexpr int first = 1, last = 2, middle = 3, title = 4, label = 5, nickname = 6, gender = 7,
              prefEmail = 9, homeStreet = 11, homeCity = 12, homeZip = 13, homeState = 14,
              homeCountry = 15, homePhone = 16, homeFax = 17, mobile = 18, pager = 19, email = 20,
              web = 21, company = 23, jobTitle = 24, department = 25, office = 26, workStreet = 27,
              workCity = 28, workZip = 29, workState = 30, workCountry = 31, workPhone = 32,
              workFax = 33, workMobile = 34, workPager = 35, workEmail = 36, workWeb = 37,
              spouse = 39, children = 40, birthday = 41, anniversary = 43, remark = 45;
}  // namespace target

// A field of a record as text, for comparing with what a file says: texts as they are, dates
// as "d.m.yyyy" (empty when unset), numbers in digits.
inline std::string FieldText(const CTreeItem& record, int target) {
  const SFieldInfo& f = *FieldByTarget(target);
  switch (f.kind) {
    case EFieldKind::text:
      return std::string((record.*f.pText).view());
    case EFieldKind::date: {
      if (!(record.*f.pNumber)) return {};
      const CDateTime& d = record.*f.pDate;
      return std::to_string(d.GetDay()) + "." + std::to_string(d.GetMonth()) + "." +
             std::to_string(d.GetYear());
    }
    default:
      return std::to_string(record.*f.pNumber);
  }
}

// One field of one contact as the file gives it.
struct SExpectedField {
  int target;
  std::string_view value;
};

// Every field not named keeps a new record's value (the label aside, which is always named).
inline void ExpectFields(const CTreeItem& record, const std::vector<SExpectedField>& expected,
                         const std::string& where) {
  const CTreeItem fresh;
  for (int t = 1; t <= kFieldCount; ++t) {
    std::string want = FieldText(fresh, t);
    for (const SExpectedField& e : expected)
      if (e.target == t) want = e.value;
    EXPECT_EQ(FieldText(record, t), want) << where << ", field " << TargetItems()[t];
  }
}

// All contacts of a parsed file, read with the preselected bindings (or the given ones).
inline std::vector<std::unique_ptr<CTreeItem>> ReadAllContacts(
    const CForeignCsvFile& file, EDateOrder order = EDateOrder::dayMonthYear,
    const std::vector<ColumnBinding>* bindings = nullptr) {
  std::vector<std::unique_ptr<CTreeItem>> records;
  file.ReadContacts(bindings ? *bindings : file.Bindings(), order, [&](SForeignContact&& c) {
    EXPECT_TRUE(c.groupPath.empty());
    records.push_back(std::move(c.pRecord));
  });
  return records;
}

}  // namespace zorvan::testing

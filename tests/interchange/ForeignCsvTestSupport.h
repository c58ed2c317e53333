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
  for (int t = targetFirstName; t <= targetRemark; ++t) {
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

#include "interchange/ColumnBinding.h"

#include "interchange/FieldList.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

bool IsAllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// Names are compared without the spaces around them (the wizard's " - Nothing -" has some).
std::string_view TrimSpaces(std::string_view s) { return Trim(s, " "); }

}  // namespace

int ParseTarget(std::string_view text) {
  if (IsAllDigits(text)) {
    const int n = text.size() <= 2 ? std::stoi(std::string(text)) : kTargetCount;
    return n < kTargetCount ? n : targetNoChoice;
  }
  const int exact = TargetIndexOf(text);
  if (exact >= 0) return exact;
  const std::string_view wanted = TrimSpaces(text);
  for (int t = targetNothing; t < kTargetCount; ++t) {
    if (SameIgnoringAsciiCase(TrimSpaces(TargetItems()[t]), wanted)) return t;
    if (t > targetNothing && SameIgnoringAsciiCase(FieldByTarget(t)->header, wanted)) return t;
  }
  return targetNoChoice;
}

ColumnBinding* FindColumn(std::vector<ColumnBinding>& bindings, std::string_view column) {
  if (IsAllDigits(column)) {
    const size_t n = column.size() <= 9 ? std::stoul(std::string(column)) : 0;
    return n >= 1 && n <= bindings.size() ? &bindings[n - 1] : nullptr;
  }
  for (ColumnBinding& b : bindings)
    if (b.m_strName == column) return &b;
  return nullptr;
}

}  // namespace zorvan

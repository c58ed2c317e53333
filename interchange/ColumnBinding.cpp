#include "interchange/ColumnBinding.h"

#include <cctype>

#include "interchange/FieldList.h"

namespace zorvan {
namespace {

bool IsAllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

int ParseTarget(std::string_view text) {
  if (IsAllDigits(text)) {
    const int n = text.size() <= 2 ? std::stoi(std::string(text)) : kTargetCount;
    return n < kTargetCount ? n : -1;
  }
  const int exact = TargetIndexOf(text);
  if (exact >= 0) return exact;
  const std::string_view wanted = TrimBlanks(text);
  for (int t = 0; t < kTargetCount; ++t) {
    if (SameIgnoringCase(TrimBlanks(TargetItems()[t]), wanted)) return t;
    if (t > 0 && SameIgnoringCase(FieldByTarget(t)->header, wanted)) return t;
  }
  return -1;
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

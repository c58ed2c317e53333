#pragma once

#include <algorithm>
#include <climits>
#include <functional>
#include <utility>

namespace zorvan {

class CTreeItem;

// A position or range for the progress indicator, which counts in int: a larger count (the
// lines of a huge file, or the bytes of one read whole) stands at the int's largest value, so
// the indicator still reaches its end. Signed counts keep their sign (a file of no lines has a
// range ending at -1).
template <class TCount>
int IndicatorPosition(TCount n) {
  return static_cast<int>(std::min<TCount>(n, INT_MAX));
}

// The progress of an export: a count of the records written so far, held by the caller (the
// document's m_nProgress), and the indicator that shows it. Each record written adds one and
// moves the indicator to the new count.
class CProgress {
 public:
  using PositionFn = std::function<void(int position)>;

  explicit CProgress(int& count, PositionFn setPosition = {})
      : m_rCount(count), m_fnSetPosition(std::move(setPosition)) {}

  void Step() {
    ++m_rCount;
    if (m_fnSetPosition) m_fnSetPosition(m_rCount);
  }
  int Count() const { return m_rCount; }

 private:
  int& m_rCount;
  PositionFn m_fnSetPosition;
};

// Adds one to count for the record and one for each record below it at any depth: the range
// of the indicator before an export.
void CountRecords(const CTreeItem& record, int& count);

}  // namespace zorvan

#pragma once

#include "store/RecordExtras.h"

namespace zorvan {

// A birthday or an anniversary that another program's card gave without a year. The record's
// own date counts ages and years from its year, so such a day stays with the card's line among
// the kept properties ("BDAY:--0415", "BDAY;VALUE=date:--04-15", Apple's
// "BDAY;X-APPLE-OMIT-YEAR=1604:1604-04-15", "ANNIVERSARY:--0923", an "X-ABDATE" whose group's
// label is the anniversary), and the calendar finds the day there.
enum class EKeptDate { birthday, anniversary };

struct SMonthDay {
  int month = 0;
  int day = 0;
  bool IsSet() const { return month != 0; }
};

// The first day without a year of the kind among the kept lines; unset when there is none. A day
// the calendar has in no year (31 April) is none.
SMonthDay KeptYearlessDate(const SRecordExtras& extras, EKeptDate kind);

}  // namespace zorvan

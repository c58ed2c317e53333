#pragma once

#include <cstdint>
#include <string_view>

namespace zorvan {

// One property line: [group.]NAME[;param...]:value
struct SProperty {
  std::string_view group;
  std::string_view name;
  std::string_view params;  // from the first ';' up to the value's ':', without them
  std::string_view value;
};

// The type words of TYPE parameters (and the bare words of 2.1) that decide where a value goes.
enum : std::uint32_t {
  kHome = 1u << 0,
  kWork = 1u << 1,
  kCell = 1u << 2,
  kVoice = 1u << 3,
  kFax = 1u << 4,
  kPager = 1u << 5,
  kPref = 1u << 6,
  kInternet = 1u << 7,
  kOther = 1u << 8,
  kCar = 1u << 9,
  kMain = 1u << 10,
  kIphone = 1u << 11,
  kVideo = 1u << 12,
  kIsdn = 1u << 13,
  kModem = 1u << 14,
  kBbs = 1u << 15,
  kMsg = 1u << 16,
  kText = 1u << 17,
  kSpouse = 1u << 18,
  kChild = 1u << 19,
  kQuotedPrintable = 1u << 20,
  kBase64 = 1u << 21,
  kPhonetic = 1u << 22,   // X-IRMC-N: a SOUND that holds the phonetic name
  kTextValue = 1u << 23,  // VALUE=text
};

// What the parameters of a line say.
struct SParams {
  std::uint32_t flags = 0;
  std::string_view charset;
  std::string_view custom;       // the first type word that is none of the known ones
  std::string_view serviceType;  // IMPP's X-SERVICE-TYPE
  std::string_view omitYear;     // X-APPLE-OMIT-YEAR
};

// Splits a line at the first ':' outside double quotes; false for a line without one.
bool SplitLine(std::string_view line, SProperty& p);
SParams ReadParams(std::string_view params);

// Apple's labels look like _$!<HomePage>!$_; their word is the label.
std::string_view AppleLabel(std::string_view label);
// Apple and Google name a value's kind by a group label; the known ones are type words (known
// is set for them).
std::uint32_t LabelFlags(std::string_view label, bool& known);

}  // namespace zorvan

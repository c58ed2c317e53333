#include "store/GenderWords.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>

#include "res/CodePage.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

constexpr std::array<std::string_view, 3> kNames = {"Unknown", "Male", "Female"};

// Lower case as the code page lowers it, so the Czech, Polish and German words match in
// capitals too.
constexpr std::string_view kMale[] = {"m",         "male", "man",    "mann",     "männlich",
                                      "maennlich", "muž",  "mužský", "masculin", "mężczyzna",
                                      "he",        "男性", "男"};
constexpr std::string_view kFemale[] = {"f",        "female", "woman",  "w",       "frau",
                                        "weiblich", "žena",   "ženský", "féminin", "kobieta",
                                        "she",      "女性",   "女"};
constexpr std::string_view kNoGender[] = {"", "o", "n", "u", "other", "none", "unknown"};

template <size_t N>
bool IsOneOf(const std::string& word, const std::string_view (&words)[N]) {
  return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

}  // namespace

std::string_view GenderName(int gender) {
  return gender >= 0 && gender < static_cast<int>(kNames.size()) ? kNames[gender]
                                                                 : std::string_view();
}

int GenderOfWord(std::string_view text) {
  const std::string word = LowerCase(Trim(text, kSpaceTabAndLineBreaks));
  if (IsOneOf(word, kMale)) return 1;
  if (IsOneOf(word, kFemale)) return 2;
  if (IsOneOf(word, kNoGender)) return 0;
  return -1;
}

}  // namespace zorvan

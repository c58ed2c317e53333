#include "calendar/NamedayNames.h"

#include <cstdint>

namespace zorvan {
namespace {

// The base letter of each character from U+00C0 to U+017F (Latin-1 and Latin Extended-A),
// lower case; '.' for those that are no letter with an accent (×, ÷, Æ, ß, Œ and the like).
constexpr std::string_view kBaseLetters =
    "aaaaaa.ceeeeiiii.nooooo.ouuuuy..aaaaaa.ceeeeiiii.nooooo.ouuuuy.yaaaaaaccccccccddddeeeeeeeeeeg"
    "gggggggghhhhiiiiiiiiii..jjkk.llllllllllnnnnnn...oooooo..rrrrrrssssssssttttttuuuuuuuuuuuuwwyyy"
    "zzzzzz.";
constexpr char32_t kFirstAccented = 0xC0;

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::string FoldName(std::string_view utf8) {
  std::string folded;
  folded.reserve(utf8.size());
  AppendFoldedName(folded, utf8);
  return folded;
}

void AppendFoldedName(std::string& folded, std::string_view utf8) {
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      folded += static_cast<char>(lead >= 'A' && lead <= 'Z' ? lead - 'A' + 'a' : lead);
      ++i;
      continue;
    }
    // A two-byte sequence holds every letter of the table; longer ones are kept as they are.
    if ((lead & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
      const char32_t c =
          (char32_t{lead} & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
      if (c >= kFirstAccented && c - kFirstAccented < kBaseLetters.size()) {
        const char base = kBaseLetters[c - kFirstAccented];
        if (base != '.') {
          folded += base;
          i += 2;
          continue;
        }
      }
    }
    folded += utf8[i++];
  }
}

std::vector<std::string> EntryNames(std::string_view entry) {
  std::vector<std::string> names;
  const auto add = [&names](std::string_view name) {
    name = Trimmed(name);
    if (!name.empty()) names.emplace_back(name);
  };
  for (size_t start = 0; start <= entry.size();) {
    size_t end = entry.find(',', start);
    if (end == std::string_view::npos) end = entry.size();
    std::string_view part = entry.substr(start, end - start);
    // "Petr a Pavel", "Piotr i Paweł": two names joined by "and".
    for (const std::string_view joiner : {std::string_view(" a "), std::string_view(" i ")}) {
      const size_t at = part.find(joiner);
      if (at == std::string_view::npos) continue;
      add(part.substr(0, at));
      part = part.substr(at + joiner.size());
    }
    add(part);
    start = end + 1;
  }
  return names;
}

}  // namespace zorvan

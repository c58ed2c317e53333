#include "calendar/NamedayNames.h"

namespace zorvan {
namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

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

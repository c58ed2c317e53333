// The header matcher on an arbitrary header line: the bytes split at the delimiter the first
// byte chooses, each name as it is (trimmed or not), told its layout (by names, by the fixed
// names of an exporter, or as a header-less first line of one) and bound by the dictionary.
// What comes out must be sound: a known layout has a name and one role per column, every
// target is a target of the wizard, a type column is a column of the header, the dictionary
// counts no more names than there are and leaves unnamed columns bound to nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/FieldList.h"
#include "interchange/TextImport.h"
#include "interchange/csv/ColumnDictionary.h"
#include "interchange/csv/ForeignCsvLayouts.h"
#include "store/TextUtil.h"

using namespace zorvan;
using namespace zorvan::foreign_csv;

namespace {

bool IsTarget(int target) { return target >= targetNoChoice && target < kTargetCount; }

void CheckRoles(int layout, const std::vector<std::string>& header, std::string_view type) {
  if (layout < 0) return;
  if (LayoutName(layout).empty()) std::abort();
  const std::vector<SColumnRole> roles = ColumnRoles(layout, header);
  if (roles.size() != header.size()) std::abort();
  for (const SColumnRole& role : roles) {
    if (!IsTarget(role.nPreset) || role.nTypeColumn < -1 ||
        role.nTypeColumn >= static_cast<int>(header.size()))
      std::abort();
    if (!IsTarget(RouteByType(role, type)) || !IsTarget(RouteByType(role, ""))) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  const char delimiter = ",;\t|"[mode & 3];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> header;
  size_t pos = 0;
  while (header.size() < static_cast<size_t>(kMaxColumns)) {
    const size_t end = rest.find(delimiter, pos);
    const std::string_view name = rest.substr(pos, end == std::string_view::npos ? end : end - pos);
    header.emplace_back(mode & 4 ? Trim(name) : name);
    if (end == std::string_view::npos) break;
    pos = end + 1;
  }
  // A type word for the routing of typed values, from the end of the bytes.
  const std::string type =
      AsciiLowerCase(rest.substr(rest.size() - std::min<size_t>(rest.size(), 12)));

  const int layout = DetectLayout(header);
  if (layout < -1) std::abort();
  CheckRoles(layout, header, type);
  const int fixed = FixedHeaderLayout(header);
  if (fixed >= 0 && fixed != layout) std::abort();

  std::vector<std::string> names;
  const int headerless = HeaderlessLayout(header, (mode & 8) != 0, names);
  if (headerless >= 0) {
    if (names.size() != 5 && names.size() != 21) std::abort();
    CheckRoles(headerless, names, type);
  } else if (!names.empty()) {
    std::abort();
  }

  std::vector<int> targets;
  const size_t known = TargetsByMeaning(header, targets);
  if (targets.size() != header.size() || known > header.size()) std::abort();
  for (size_t i = 0; i < header.size(); ++i) {
    if (!IsTarget(targets[i]) || targets[i] == targetNoChoice) std::abort();
    if (header[i].empty() && targets[i] != targetNothing) std::abort();
    const int meaning = ColumnMeaning(header[i]);
    if (!IsTarget(meaning) || (meaning != targetNoChoice && targets[i] != meaning)) std::abort();
  }
  (void)LooksLikeData(header);
  const std::vector<int> shaped = TargetsByShape(header);
  if (shaped.size() != header.size()) std::abort();
  for (const int target : shaped)
    if (!IsTarget(target) || target == targetNoChoice) std::abort();
  return 0;
}

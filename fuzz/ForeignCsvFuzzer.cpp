// The reader of other programs' delimited-text exports on arbitrary bytes. The first byte
// chooses how: the bytes as a whole file, or behind the header of a known layout (so that the
// layouts' rules run on the rows), with the preselected bindings or with targets taken from the
// bytes, in either date order. Whatever is read must stay sound: one binding per header column,
// no more columns than the limit, at most one contact per row, no group path, and well-formed
// UTF-8 in every text field.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "interchange/FieldList.h"
#include "interchange/TextImport.h"
#include "interchange/csv/ForeignCsvReader.h"
#include "res/CodePage.h"

using namespace zorvan;

namespace {

constexpr std::string_view kHeaders[] = {
    "",
    "Title,First Name,Middle Name,Last Name,Suffix,Company,Business Street,Business Street 2,"
    "Home Address,Home Street,Home Phone,Home Phone 2,Birthday,Anniversary,Categories,"
    "E-mail Address,E-mail Type,E-mail 2 Address,Gender,Notes,Priority,Private,User 1\r\n",
    "Name,Given Name,Family Name,Birthday,Notes,Group Membership,E-mail 1 - Type,"
    "E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Address 1 - Type,Address 1 - Formatted,"
    "Address 1 - Street,Address 1 - City,Address 1 - PO Box,Relation 1 - Type,"
    "Relation 1 - Value,Event 1 - Label,Event 1 - Value,IM 1 - Service,IM 1 - Value,"
    "Website 1 - Type,Website 1 - Value\r\n",
    "First Name\tLast Name\tDisplay Name\tPrimary Email\tHome Address\tHome Address 2\t"
    "Birth Year\tBirth Month\tBirth Day\tCustom 1\tNotes\r\n",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  const EDateOrder order = mode & 1 ? EDateOrder::dayMonthYear : EDateOrder::monthDayYear;
  SetActiveCodePage(mode & 2 ? ECodePage::Windows1250 : ECodePage::Windows1252);
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string text = std::string(kHeaders[(mode >> 2) % 4]) + std::string(rest);

  CForeignCsvFile csv;
  if (!csv.Parse(text)) {
    if (!csv.Header().empty() || csv.RowCount() != 0) std::abort();
    return 0;
  }
  if (csv.Header().empty() || csv.Header().size() > static_cast<size_t>(kMaxColumns)) std::abort();
  if (csv.IsKnownLayout() == csv.LayoutName().empty()) std::abort();
  std::vector<ColumnBinding> bindings = csv.Bindings();
  if (bindings.size() != csv.Header().size()) std::abort();
  for (const ColumnBinding& b : bindings)
    if (!IsWellFormedUtf8(b.m_strName) || !IsWellFormedUtf8(b.m_strSample)) std::abort();
  if (mode & 0x10) {
    // Targets as a user might pick them, from the bytes; some out of range.
    for (size_t i = 0; i < bindings.size(); ++i)
      bindings[i].m_nTarget = static_cast<int>(data[(i * 7 + 1) % size] % 50) - 2;
  }
  size_t contacts = 0;
  csv.ReadContacts(bindings, order, [&](SForeignContact&& c) {
    ++contacts;
    if (!c.pRecord || !c.groupPath.empty()) std::abort();
    for (const SFieldInfo& f : FieldList())
      if (f.kind == EFieldKind::text && !IsWellFormedUtf8((*c.pRecord.*f.pText).view()))
        std::abort();
  });
  if (contacts > csv.RowCount()) std::abort();
  return 0;
}

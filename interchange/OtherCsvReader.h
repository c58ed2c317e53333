#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/ColumnBinding.h"
#include "interchange/ForeignContact.h"
#include "store/DateParse.h"

namespace zorvan {

// TEMPORARY stand-in: plain comma-separated text without quoting; "Name" and "E-mail Address"
// headers count as the known layout "Sample".
class COtherCsvFile {
 public:
  bool Parse(std::string_view bytes);
  std::string_view Delimiter() const { return ","; }
  const std::vector<std::string>& Header() const { return m_header; }
  size_t RowCount() const { return m_rows.size(); }
  std::string_view LayoutName() const {
    return !m_known ? "" : m_header[0] == "Name" ? "Sample" : "Thunderbird";
  }
  bool IsKnownLayout() const { return m_known; }
  std::vector<ColumnBinding> Bindings() const;
  void ReadContacts(const std::vector<ColumnBinding>& bindings, EDateOrder slashOrder,
                    const std::function<void(SForeignContact&&)>& onContact) const;

 private:
  std::vector<std::string> m_header;
  std::vector<std::vector<std::string>> m_rows;
  bool m_known = false;
};

}  // namespace zorvan

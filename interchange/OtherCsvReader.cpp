#include "interchange/OtherCsvReader.h"

#include "interchange/FieldList.h"

namespace zorvan {
namespace {

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> cells;
  size_t start = 0;
  while (true) {
    const size_t comma = line.find(',', start);
    cells.emplace_back(line.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return cells;
}

}  // namespace

bool COtherCsvFile::Parse(std::string_view bytes) {
  m_header.clear();
  m_rows.clear();
  size_t pos = 0;
  bool first = true;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      m_header = Split(line);
      first = false;
    } else if (!line.empty()) {
      m_rows.push_back(Split(line));
    }
  }
  m_known = !m_header.empty() &&
            (m_header[0] == "Name" || m_header.size() > 4 && m_header[2] == "Display Name");
  return !m_header.empty();
}

std::vector<ColumnBinding> COtherCsvFile::Bindings() const {
  std::vector<ColumnBinding> bindings;
  for (size_t i = 0; i < m_header.size(); ++i) {
    ColumnBinding b;
    b.m_nIndex = static_cast<int>(i);
    b.m_strName = m_header[i];
    if (!m_rows.empty() && i < m_rows[0].size()) b.m_strSample = m_rows[0][i];
    if (m_known && (m_header[i] == "Name" || m_header[i] == "Display Name"))
      b.m_nTarget = TargetIndexOf("Label");
    if (m_known && m_header[i] == "First Name") b.m_nTarget = TargetIndexOf("First Name");
    if (m_known && m_header[i] == "Last Name") b.m_nTarget = TargetIndexOf("Last Name");
    if (m_known && m_header[i] == "Primary Email") b.m_nTarget = TargetIndexOf("Personal E-mail");
    if (m_known && m_header[i] == "E-mail Address") b.m_nTarget = TargetIndexOf("Personal E-mail");
    bindings.push_back(b);
  }
  return bindings;
}

void COtherCsvFile::ReadContacts(const std::vector<ColumnBinding>& bindings, EDateOrder,
                                 const std::function<void(SForeignContact&&)>& onContact) const {
  for (const auto& row : m_rows) {
    SForeignContact contact;
    contact.pRecord = std::make_unique<CTreeItem>();
    for (const ColumnBinding& b : bindings) {
      const SFieldInfo* field = FieldByTarget(b.m_nTarget);
      if (!field || field->kind != EFieldKind::text) continue;
      if (static_cast<size_t>(b.m_nIndex) < row.size())
        (*contact.pRecord).*(field->pText) = row[static_cast<size_t>(b.m_nIndex)];
    }
    onContact(std::move(contact));
  }
}

}  // namespace zorvan

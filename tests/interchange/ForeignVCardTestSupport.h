#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/vcard/ForeignVCardFile.h"
#include "interchange/vcard/ForeignVCardReader.h"
#include "res/CodePage.h"
#include "store/RecordFields.h"

namespace zorvan::testing {

inline std::vector<SForeignContact> ReadForeign(std::string_view bytes) {
  std::vector<SForeignContact> contacts;
  SForeignReadHooks hooks;
  hooks.onContact = [&](SForeignContact&& c) { contacts.push_back(std::move(c)); };
  ReadForeignVCards(bytes, hooks);
  return contacts;
}

// A field of a record as text: a text as it is, a number in decimal, a set date as
// yyyy-mm-dd and an unset one as the empty text.
inline std::string FieldText(const CTreeItem& r, EField id) {
  const SRecordField& f = RecordField(id);
  switch (f.type) {
    case EFieldType::text:
      return (r.*f.pText).str();
    case EFieldType::integer:
      return std::to_string(r.*f.pNumber);
    case EFieldType::date: {
      if (!(r.*f.pNumber)) return "";
      int y = 0, m = 0, d = 0;
      if (!(r.*f.pDate).GetDate(y, m, d)) return "invalid";
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", y, m, d);
      return buffer;
    }
  }
  return "";
}

// Every text field of every contact, and every group name, is well-formed UTF-8.
inline void ExpectWellFormed(const std::vector<SForeignContact>& contacts) {
  for (size_t i = 0; i < contacts.size(); ++i) {
    ASSERT_TRUE(contacts[i].pRecord) << "contact " << i;
    for (const SRecordField& f : kRecordFields) {
      if (f.type != EFieldType::text) continue;
      EXPECT_TRUE(IsWellFormedUtf8((*contacts[i].pRecord.*f.pText).view()))
          << "contact " << i << " field " << f.name << ": "
          << ::testing::PrintToString((*contacts[i].pRecord.*f.pText).str());
    }
    for (const std::string& g : contacts[i].groupPath) EXPECT_TRUE(IsWellFormedUtf8(g)) << g;
  }
}

// The lines of a remark (CR LF between them).
inline std::vector<std::string> RemarkLines(const CTreeItem& r) {
  std::vector<std::string> lines;
  const std::string text = r.m_strRemark.str();
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

// What the record says beyond its fields: the remark's lines, then what each kept property
// says in the words the remark would have given it.
inline std::vector<std::string> NoteLines(const CTreeItem& r) {
  std::vector<std::string> lines = RemarkLines(r);
  if (lines.size() == 1 && lines[0].empty()) lines.clear();
  if (r.m_pExtras)
    for (std::string& said : CForeignVCardReader::Describe(r.m_pExtras->properties))
      if (!said.empty()) lines.push_back(std::move(said));
  return lines;
}

// The same, as one text with CR LF between the lines.
inline std::string SaidText(const CTreeItem& r) {
  std::string said;
  for (const std::string& line : NoteLines(r)) said += (said.empty() ? "" : "\r\n") + line;
  return said;
}

inline bool HasRemarkLine(const CTreeItem& r, std::string_view line) {
  for (const std::string& l : NoteLines(r))
    if (l == line) return true;
  return false;
}

}  // namespace zorvan::testing

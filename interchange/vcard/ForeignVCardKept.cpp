#include <algorithm>

#include "interchange/vcard/ForeignVCardReader.h"
#include "interchange/vcard/VCardBase64.h"
#include "res/CodePage.h"
#include "store/TextUtil.h"

// What a card holds that no field of the record has room for: its lines, kept with the record
// to be written back as they came, and its photo.

namespace zorvan {
namespace {

// The most bytes of kept lines a card may bring (its photo aside): a busy card keeps a few
// kilobytes; past this the remark says what the rest held.
constexpr size_t kMaxKeptBytes = 2u << 20;

// A parameter of a 2.1 card as 3.0 and 4.0 write it: a bare type word as TYPE=, BASE64 as b;
// quoted-printable and the character set are gone, as the value is UTF-8 once read. Empty for
// a parameter that is dropped.
std::string Parameter(std::string_view param) {
  param = TrimValue(param);
  const size_t equals = param.find('=');
  const std::string_view name = equals == std::string_view::npos ? "" : param.substr(0, equals);
  const std::string_view value =
      equals == std::string_view::npos ? param : param.substr(equals + 1);
  if (param.empty() || EqualsUpperAscii(name, "CHARSET")) return {};
  if (name.empty() || EqualsUpperAscii(name, "ENCODING")) {
    if (EqualsUpperAscii(value, "QUOTED-PRINTABLE") || EqualsUpperAscii(value, "8BIT") ||
        EqualsUpperAscii(value, "7BIT"))
      return {};
    if (EqualsUpperAscii(value, "BASE64") || EqualsUpperAscii(value, "B")) return "ENCODING=b";
  }
  std::string out;
  if (name.empty()) out = "TYPE=";
  AppendUtf8Text(out, param);
  return out;
}

}  // namespace

// The line a kept property is written back as: its group, name, parameters and value as the
// card had them, but for what reading undid (see Parameter) and the value in UTF-8.
std::string CForeignVCardReader::ContentLine() const {
  const SProperty& p = *m_pProperty;
  std::string line;
  if (!p.group.empty()) {
    AppendUtf8Text(line, p.group);
    line += '.';
  }
  AppendUtf8Text(line, p.name);
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i <= p.params.size(); ++i) {
    if (i < p.params.size() && p.params[i] == '"') quoted = !quoted;
    if (i < p.params.size() && (p.params[i] != ';' || quoted)) continue;
    const std::string param = Parameter(p.params.substr(start, i - start));
    if (!param.empty()) line.append(1, ';').append(param);
    start = i + 1;
  }
  line += ':';
  AppendUtf8Text(line, m_bDecoded ? m_value.Escaped() : p.value);
  return line;
}

bool CForeignVCardReader::KeepLine() {
  if (m_bKept) return true;
  if (!m_pProperty || m_bDescribe || !KeepText(ContentLine())) return false;
  const SProperty& p = *m_pProperty;
  // The labels of its group go with it.
  if (!p.group.empty()) {
    for (SAbLabel& l : m_abLabels) {
      if (l.kept || !SameIgnoringAsciiCase(l.group, p.group)) continue;
      l.kept = true;
      std::string label;
      AppendUtf8Text(label, l.line);
      KeepText(std::move(label));
    }
  }
  return true;
}

bool CForeignVCardReader::KeepText(std::string line) {
  if (m_bDescribe || line.empty() || m_nKeptBytes + line.size() > kMaxKeptBytes) return false;
  m_nKeptBytes += line.size();
  if (!m_record->m_pExtras) m_record->m_pExtras = std::make_unique<SRecordExtras>();
  m_record->m_pExtras->properties.push_back(std::move(line));
  m_bKept = true;
  return true;
}

void CForeignVCardReader::Keep(std::string_view label, std::string_view value) {
  if (!KeepLine()) Remark(label, value);
}

// PHOTO in base64 (3.0's ENCODING=b, 2.1's BASE64) or as a data: URI (4.0). The first picture
// that is one becomes the contact's photo; a picture by reference, a second one or one of a
// kind no address book shows is kept as its line.
void CForeignVCardReader::OnPhoto(const SH& h, const SParams& params, std::string_view) {
  if (m_bDescribe) return NoteBlob(h.text);
  const std::string_view value = TrimValue(m_pProperty->value);
  std::string_view data;
  if (params.flags & kBase64) {
    data = value;
  } else if (StartsWithUpperAscii(value, "DATA:")) {
    // data:image/jpeg;base64,... (some writers escape its ; and , as in a text)
    const size_t comma = value.find(',');
    std::string head(value.substr(0, comma));
    std::erase(head, '\\');
    if (comma != std::string_view::npos && head.size() >= 7 &&
        EqualsUpperAscii(std::string_view(head).substr(head.size() - 7), ";BASE64"))
      data = value.substr(comma + 1);
  }
  const bool hasPhoto = m_record->m_pExtras && !m_record->m_pExtras->photo.empty();
  if (data.empty() || hasPhoto) return NoteBlob(h.text);
  std::string bytes;
  switch (DecodeBase64(data, bytes, kMaxPhotoBytes)) {
    case EBase64::tooLarge:
      return Remark(h.text,
                    "left out, larger than " + std::to_string(kMaxPhotoBytes >> 20) + " MB");
    case EBase64::invalid:
      return NoteBlob(h.text);
    case EBase64::ok:
      break;
  }
  const std::string_view type = PhotoMediaType(bytes);
  if (type.empty()) return NoteBlob(h.text);
  if (!m_record->m_pExtras) m_record->m_pExtras = std::make_unique<SRecordExtras>();
  m_record->m_pExtras->photoType = type;
  m_record->m_pExtras->photo = std::move(bytes);
}

std::vector<std::string> CForeignVCardReader::Describe(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  out.reserve(lines.size());
  std::string remark;
  SForeignReadHooks hooks;
  hooks.onContact = [&remark](SForeignContact&& c) { remark = c.pRecord->m_strRemark.str(); };
  const CTreeItem base;
  SProperty p, q;
  for (const std::string& line : lines) {
    if (!SplitLine(line, p) || EqualsUpperAscii(p.name, "X-ABLABEL")) {
      out.emplace_back();
      continue;
    }
    std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\n" + line + "\r\n";
    if (!p.group.empty())
      for (const std::string& other : lines)
        if (SplitLine(other, q) && EqualsUpperAscii(q.name, "X-ABLABEL") &&
            SameIgnoringAsciiCase(q.group, p.group))
          card += other + "\r\n";
    card += "END:VCARD\r\n";
    CForeignVCardReader reader(card, hooks, base);
    reader.m_bDescribe = true;
    remark.clear();
    reader.Run();
    out.push_back(remark);
  }
  return out;
}

}  // namespace zorvan

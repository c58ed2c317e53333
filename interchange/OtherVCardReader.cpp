#include "interchange/OtherVCardReader.h"

#include <string>

#include "store/TextUtil.h"

namespace zorvan {
namespace {

std::string_view NextLine(std::string_view bytes, size_t& pos) {
  const size_t end = bytes.find('\n', pos);
  std::string_view line = bytes.substr(pos, end == std::string_view::npos ? end : end - pos);
  pos = end == std::string_view::npos ? bytes.size() : end + 1;
  while (!line.empty() && (line.back() == '\r')) line.remove_suffix(1);
  return line;
}

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
  return line.size() >= prefix.size() &&
         SameIgnoringAsciiCase(line.substr(0, prefix.size()), prefix);
}

std::string_view ValueOf(std::string_view line) {
  const size_t colon = line.find(':');
  return colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
}

}  // namespace

void ReadOtherVCards(std::string_view bytes, const SOtherReadHooks& hooks) {
  size_t pos = 0;
  SForeignContact contact;
  bool emailSeen = false;
  while (pos < bytes.size()) {
    const std::string_view line = NextLine(bytes, pos);
    if (StartsWithNoCase(line, "BEGIN:VCARD")) {
      contact = SForeignContact();
      contact.pRecord = std::make_unique<CTreeItem>();
      emailSeen = false;
    } else if (!contact.pRecord) {
      continue;
    } else if (StartsWithNoCase(line, "FN")) {
      contact.pRecord->m_strLabel = ValueOf(line);
    } else if (StartsWithNoCase(line, "EMAIL")) {
      const bool work = line.find("WORK") != std::string_view::npos;
      (work ? contact.pRecord->m_strBusinessEmail : contact.pRecord->m_strPersonalEmail) =
          ValueOf(line);
      emailSeen = true;
    } else if (StartsWithNoCase(line, "BDAY")) {
      const std::string_view v = ValueOf(line);
      if (v.size() == 10) {
        contact.pRecord->m_dtBirthday = CDateTime(std::stoi(std::string(v.substr(0, 4))),
                                                  std::stoi(std::string(v.substr(5, 2))),
                                                  std::stoi(std::string(v.substr(8, 2))));
        contact.pRecord->m_bBirthday = 1;
      }
    } else if (StartsWithNoCase(line, "CATEGORIES")) {
      const std::string_view v = ValueOf(line);
      size_t start = 0;
      while (start <= v.size()) {
        const size_t comma = v.find(',', start);
        contact.groupPath.emplace_back(
            v.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
      }
    } else if (StartsWithNoCase(line, "END:VCARD")) {
      (void)emailSeen;
      if (hooks.onContact) hooks.onContact(std::move(contact));
      contact = SForeignContact();
      if (hooks.onProgress) hooks.onProgress(pos);
    }
  }
}

bool LooksLikeVCardFile(std::string_view bytes) {
  size_t pos = 0;
  for (int i = 0; i < 5 && pos < bytes.size(); ++i) {
    std::string_view line = NextLine(bytes, pos);
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    if (StartsWithNoCase(line, "BEGIN:VCARD")) return true;
  }
  return false;
}

}  // namespace zorvan

#include "interchange/vcard/VCardCharset.h"

#include "interchange/CodePageGuess.h"
#include "interchange/vcard/VCardProperty.h"
#include "interchange/vcard/VCardValue.h"
#include "res/CodePage.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

// Whether a line's head holds a CHARSET parameter, looked for without parsing the line: most
// lines have none, and a card is looked over before its lines are read.
bool NamesCharset(std::string_view head) {
  for (size_t semi = head.find(';'); semi != std::string_view::npos;
       semi = head.find(';', semi + 1)) {
    const std::string_view rest = Trim(head.substr(semi + 1), " \t");
    if (StartsWithUpperAscii(rest, "CHARSET")) return true;
  }
  return false;
}

}  // namespace

std::string_view CUndeclaredCharset::Charset() {
  if (!m_bCardRead) ReadCard();
  if (!m_strCard.empty()) return m_strCard;
  return m_pFile->Get();
}

// The first code page another line of the card names; a card that says UTF-8 somewhere says
// nothing of its other values, which are not UTF-8.
void CUndeclaredCharset::ReadCard() {
  m_bCardRead = true;
  m_strCard.clear();
  if (!m_pCard) return;
  SProperty p;
  for (const SRawLine& raw : m_pCard->Lines()) {
    const std::string_view line = m_pCard->Line(raw);
    if (!NamesCharset(line.substr(0, line.find(':'))) || !SplitLine(line, p)) continue;
    const std::string_view charset = ReadParams(p.params).charset;
    if (charset.empty() || StartsWithUpperAscii(charset, "UTF") ||
        EqualsUpperAscii(charset, "US-ASCII") || EqualsUpperAscii(charset, "ASCII"))
      continue;
    m_strCard.assign(charset);
    return;
  }
}

// Physical lines are looked at, not properties: a folded value's continuation lines hold the
// same text, and the sample needs no more than the text.
void CFileCodePageGuess::Guess() {
  CCodePageSample sample;
  std::string qp;
  SProperty p;
  size_t pos = 0;
  while (pos < m_text.size() && !sample.Full()) {
    size_t end = m_text.find('\n', pos);
    if (end == std::string_view::npos) end = m_text.size();
    const std::string_view line = m_text.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty()) continue;
    if (IsSpaceOrTab(line[0])) {
      sample.Add(line);
      continue;
    }
    const bool quoted = line.find('=') != std::string_view::npos;
    if ((!quoted && IsAscii(line)) || !SplitLine(line, p)) continue;
    const SParams params = ReadParams(p.params);
    if (!params.charset.empty()) continue;
    if (params.flags & kQuotedPrintable) {
      DecodeQuotedPrintable(p.value.substr(0, 3 * kCodePageSampleBytes), qp);
      sample.Add(qp);
    } else {
      sample.Add(p.value);
    }
  }
  m_strGuess = GuessCodePage(sample.Text());
}

}  // namespace zorvan

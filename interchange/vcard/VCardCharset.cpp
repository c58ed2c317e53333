#include "interchange/vcard/VCardCharset.h"

#include "interchange/CodePageGuess.h"
#include "interchange/vcard/VCardProperty.h"
#include "interchange/vcard/VCardValue.h"
#include "res/CodePage.h"
#include "store/TextUtil.h"

namespace zorvan {

std::string_view CUndeclaredCharset::Charset() {
  if (!m_bCardRead) ReadCard();
  if (!m_strCard.empty()) return m_strCard;
  if (!m_bFileGuessed) GuessFile();
  return m_strFile;
}

// The first code page another line of the card names; a card that says UTF-8 somewhere says
// nothing of its other values, which are not UTF-8.
void CUndeclaredCharset::ReadCard() {
  m_bCardRead = true;
  m_strCard.clear();
  if (!m_pCard) return;
  SProperty p;
  for (const SRawLine& raw : m_pCard->Lines()) {
    if (!SplitLine(m_pCard->Line(raw), p) || p.params.size() < 8) continue;
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
void CUndeclaredCharset::GuessFile() {
  m_bFileGuessed = true;
  CCodePageSample sample;
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
      DecodeQuotedPrintable(p.value.substr(0, 3 * kCodePageSampleBytes), m_qp);
      sample.Add(m_qp);
    } else {
      sample.Add(p.value);
    }
  }
  m_strFile = GuessCodePage(sample.Text());
}

}  // namespace zorvan

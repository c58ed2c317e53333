#pragma once

#include <string>
#include <string_view>

#include "interchange/vcard/VCardGatherer.h"

namespace zorvan {

// The code page of a card's values that are not UTF-8 and name none. Old phones and mail
// programs write CHARSET only on the lines they think need it (often just the LABEL), and the
// rest of the card is in the same code page; failing that, the detector judges the undeclared
// 8-bit text of the file, all of it together. Both are worked out only when a value needs
// them, so a file of UTF-8 costs nothing.
class CUndeclaredCharset {
 public:
  explicit CUndeclaredCharset(std::string_view text) : m_text(text) {}

  // The card being read now.
  void StartCard(const CVCardGatherer* card) {
    m_pCard = card;
    m_bCardRead = false;
  }
  // The charset's name, for iconv or the program's own code pages; empty for the active code
  // page.
  std::string_view Charset();

 private:
  void ReadCard();
  void GuessFile();

  std::string_view m_text;
  const CVCardGatherer* m_pCard = nullptr;
  bool m_bCardRead = false, m_bFileGuessed = false;
  std::string m_strCard, m_strFile, m_qp;
};

}  // namespace zorvan

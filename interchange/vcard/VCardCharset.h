#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "interchange/vcard/VCardGatherer.h"

namespace zorvan {

// The code page the detector finds in the undeclared 8-bit text of a whole file, worked out
// once, by whichever of the readers of the file's pieces needs it first.
class CFileCodePageGuess {
 public:
  explicit CFileCodePageGuess(std::string_view text) : m_text(text) {}
  // The name for iconv; empty for the active code page. Safe to ask from several threads.
  const std::string& Get() {
    std::call_once(m_once, [this] { Guess(); });
    return m_strGuess;
  }

 private:
  void Guess();

  std::string_view m_text;
  std::once_flag m_once;
  std::string m_strGuess;
};

// The code page of a card's values that are not UTF-8 and name none. Old phones and mail
// programs write CHARSET only on the lines they think need it (often just the LABEL), and the
// rest of the card is in the same code page; failing that, the detector judges the undeclared
// 8-bit text of the file, all of it together. Both are worked out only when a value needs
// them, so a file of UTF-8 costs nothing.
class CUndeclaredCharset {
 public:
  // file is the guess shared by the readers of a file's pieces; without it the reader makes
  // its own from text.
  CUndeclaredCharset(std::string_view text, CFileCodePageGuess* file)
      : m_own(text), m_pFile(file ? file : &m_own) {}

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

  CFileCodePageGuess m_own;
  CFileCodePageGuess* m_pFile;
  const CVCardGatherer* m_pCard = nullptr;
  bool m_bCardRead = false;
  std::string m_strCard;
};

}  // namespace zorvan

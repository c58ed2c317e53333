#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "interchange/ForeignContact.h"

namespace zorvan {

// What the reader of other programs' vCards hands out while it reads.
struct SForeignReadHooks {
  // One contact per card, in the file's order.
  std::function<void(SForeignContact&&)> onContact;
  // Now and then, the byte offset of the file reached so far.
  std::function<void(std::size_t bytesDone)> onProgress;
  // When set, a card that holds nothing at all (no name, no value, no remark: BEGIN and END
  // with at most housekeeping between) comes here instead of to onContact, in the same order.
  std::function<void()> onEmptyCard;
};

// The most properties read of one card: an address book entry holds a few dozen, a busy one a
// few hundred. The remark of a card with more says how many were left out.
inline constexpr std::size_t kMaxCardProperties = 10000;

// Reads every card of a vCard file (2.1, 3.0 or 4.0 as phones, mail programs, address books and
// groupware write them) onto the 45 fields of a record. bytes is the whole file as read from
// disk: UTF-8 with or without a byte-order mark, UTF-16 in either byte order (with or without a
// mark), or single-byte text; each value that is not well-formed UTF-8 is read in its CHARSET,
// else in the active code page, so every text handed out is well-formed UTF-8. What a card holds
// that has no field of its own ends up in readable lines at the end of the remark ("Phone
// (other): ...", "Categories: ...", "Photo: yes"; pictures, sounds and keys are noted, never
// decoded); housekeeping (VERSION, PRODID, REV, UID, SORT-STRING, CLASS, ...) and vendor
// extensions the reader does not know are left out. The CATEGORIES of a card that has any
// X-TAVORIN- line (one this program wrote) become the contact's group path instead, and its
// X-TAVORIN- values win over what PREF and GENDER say. A card without its END line is still
// handed out. Nothing in the input is an error.
//
// A date without a year (--0517) cannot be a birthday or an anniversary in the record, which
// counts ages and years from the year: it is kept as a remark line ("Birthday: --05-17") and the
// date is left unset.
void ReadForeignVCards(std::string_view bytes, const SForeignReadHooks& hooks);

// True when, after any byte-order mark and in either UTF-16 byte order, a BEGIN:VCARD line (in
// any case) comes among the first few lines that are not blank: some programs put a stray line
// before the first card.
bool LooksLikeVCardFile(std::string_view bytes);

}  // namespace zorvan

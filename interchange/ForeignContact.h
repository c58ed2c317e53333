#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "store/TreeItem.h"

namespace zorvan {

// The most levels of a group path: a card this program writes names at most so many groups
// above its contact, and an import recreates at most so many below its own group (a contact
// that lay deeper goes into the deepest of them), so that a database made by an import always
// opens again.
inline constexpr std::size_t kMaxGroupPathLevels = 64;
// The most bytes of the group labels written into one card's CATEGORIES (the first label is
// always written whole).
inline constexpr std::size_t kMaxCategoriesBytes = 16384;

// One contact read from a file another program wrote (a vCard or a row of delimited text),
// before it joins a database. Whatever the file held that has no field of its own is already
// in the record's remark, in readable lines.
struct SForeignContact {
  std::unique_ptr<CTreeItem> pRecord;
  // The labels of the groups the contact lay in, outermost first, when the file was written by
  // this program (its cards carry X-TAVORIN- lines, and CATEGORIES names the group path); the
  // import recreates those groups. Empty for every other file: there categories are only
  // words, and they went to the remark.
  std::vector<std::string> groupPath;
};

}  // namespace zorvan

#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "interchange/ForeignContact.h"

namespace zorvan {

// TEMPORARY stand-in: reads FN and EMAIL lines only.
struct SOtherReadHooks {
  std::function<void(SForeignContact&&)> onContact;
  std::function<void(std::size_t bytesDone)> onProgress;
};

void ReadOtherVCards(std::string_view bytes, const SOtherReadHooks& hooks);
bool LooksLikeVCardFile(std::string_view bytes);

}  // namespace zorvan

#pragma once

#include <string_view>

namespace zorvan {

// Opens a web page or starts an e-mail in the user's programs. A target that is not a web or
// mail target is refused with a beep, as is one no program could take; true when opened.
bool OpenTarget(std::string_view target);

}  // namespace zorvan

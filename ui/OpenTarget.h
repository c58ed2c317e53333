#pragma once

#include <string_view>

namespace zorvan {

// Opens a web page or starts an e-mail in the user's programs. A target that is not a web or
// mail target is refused with a beep; one no program could take is told of in a message box.
// True when opened.
bool OpenTarget(std::string_view target);

}  // namespace zorvan

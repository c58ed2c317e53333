#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorvan {

enum class EBase64 { ok, invalid, tooLarge };
// Base64 of RFC 4648 as vCards carry pictures in it: blanks and line breaks between the
// characters are skipped, the padding may be missing. Invalid for any other character or for
// padding inside the text, too large when the bytes would pass most; out is then left empty.
// The size is checked before anything is allocated.
EBase64 DecodeBase64(std::string_view in, std::string& out, size_t most);
// The bytes in base64, padded, in one line.
void AppendBase64(std::string& out, std::string_view bytes);

}  // namespace zorvan

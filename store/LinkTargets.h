#pragma once

#include <string>
#include <string_view>

namespace zorvan {

// What the program hands to the mail program or the browser. Only web pages and e-mail leave
// the program: a target is safe when it starts with "http://", "https://" or "mailto:" (in any
// letter case), so an address typed into a record can never start a program or open a file.
bool IsSafeTarget(std::string_view target);

// "mailto:" and the address, percent-encoded: an address cannot add a subject, further
// recipients or attachments. The address is taken as the user typed it, even when it already
// starts with "mailto:".
std::string MailTarget(std::string_view address);

// A "mailto:" target of the string table whose "%s" stands for the subject, with the subject
// put in percent-encoded.
std::string MailTargetWithSubject(std::string_view format, std::string_view subject);

// A web address as a target, the blanks around it dropped: an address starting with "http://" or
// "https://" (any letter case) is taken as it is; one of another scheme ("mailto:", "file:")
// gives an empty target; any other gets "http://" put in front.
std::string WebTarget(std::string_view address);

}  // namespace zorvan

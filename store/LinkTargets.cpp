#include "store/LinkTargets.h"

#include "store/TextUtil.h"

namespace zorvan {
namespace {

// True when text starts with a scheme of its own ("mailto:", "file:", "javascript:"): letters,
// digits, "+", "-" and "." from a letter up to a colon. A colon followed by a digit is a host's
// port ("www.example.cz:8080"), not a scheme.
bool HasScheme(std::string_view text) {
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (text.empty() || !letter(text.front())) return false;
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ':') return i + 1 == text.size() || !digit(text[i + 1]);
    if (!letter(c) && !digit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

// The characters an address keeps as they are; every other byte (of UTF-8 too) is encoded.
bool KeptInAddress(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("@.-_~+!*'$").find(c) != std::string_view::npos;
}

// Appends text with every byte an address does not keep as it is percent-encoded.
void AppendEncoded(std::string& target, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char c : text) {
    if (KeptInAddress(c)) {
      target += c;
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    target += '%';
    target += kHex[byte >> 4];
    target += kHex[byte & 0x0F];
  }
}

}  // namespace

bool IsSafeTarget(std::string_view target) {
  return StartsWithIgnoringAsciiCase(target, "http://") ||
         StartsWithIgnoringAsciiCase(target, "https://") ||
         StartsWithIgnoringAsciiCase(target, "mailto:");
}

std::string MailTarget(std::string_view address) {
  std::string target = "mailto:";
  AppendEncoded(target, address);
  return target;
}

std::string MailTargetWithSubject(std::string_view format, std::string_view subject) {
  const size_t at = format.find("%s");
  if (at == std::string_view::npos) return std::string(format);
  std::string target(format.substr(0, at));
  AppendEncoded(target, subject);
  target += format.substr(at + 2);
  return target;
}

std::string WebTarget(std::string_view address) {
  const std::string_view web = Trim(address, kSpaceTabAndLineBreaks);
  if (StartsWithIgnoringAsciiCase(web, "http://") || StartsWithIgnoringAsciiCase(web, "https://"))
    return std::string(web);
  // Only web pages leave through a web field: a value of another scheme opens nothing.
  if (HasScheme(web)) return std::string();
  return "http://" + std::string(web);
}

}  // namespace zorvan

#include "store/LinkTargets.h"

#include <algorithm>
#include <array>

namespace zorvan {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(),
                                                    [](char p, char t) { return p == Lower(t); });
}

bool ContainsNoCase(std::string_view text, std::string_view lowerNeedle) {
  for (size_t i = 0; i + lowerNeedle.size() <= text.size(); ++i)
    if (StartsWithNoCase(text.substr(i), lowerNeedle)) return true;
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
  return StartsWithNoCase(target, "http://") || StartsWithNoCase(target, "https://") ||
         StartsWithNoCase(target, "mailto:");
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
  if (ContainsNoCase(address, "http://") || StartsWithNoCase(address, "https://"))
    return std::string(address);
  return "http://" + std::string(address);
}

}  // namespace zorvan

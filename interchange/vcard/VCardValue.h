#pragma once

#include <iconv.h>

#include <string>
#include <string_view>
#include <vector>

#include "interchange/vcard/VCardCharset.h"
#include "interchange/vcard/VCardLines.h"
#include "interchange/vcard/VCardProperty.h"
#include "store/TextUtil.h"

namespace zorvan {

// Converts the bytes of a value from a named character set through iconv, one open converter
// kept for the last charset seen.
class CCharsetConverter {
 public:
  CCharsetConverter() = default;
  CCharsetConverter(const CCharsetConverter&) = delete;
  CCharsetConverter& operator=(const CCharsetConverter&) = delete;
  ~CCharsetConverter() { Close(); }

  bool Convert(std::string_view charset, std::string_view in, std::string& out);

 private:
  void Close();

  std::string m_strCharset;
  iconv_t m_cd = reinterpret_cast<iconv_t>(-1);
};

// The value of the property being read, decoded to UTF-8 and split into components on demand.
// Its texts stay valid until the next call that changes it; the scratch space is kept from
// value to value.
class CVCardValue {
 public:
  // Quoted-printable decoded, then kept when it is UTF-8, else read in its CHARSET, else in
  // the one undeclared tells (when given), else in the code page.
  std::string_view Decode(const SProperty& p, const SParams& params);
  // The whole value unescaped and trimmed.
  std::string_view Whole() {
    return TrimValue(m_bPlain ? m_value : Unescape(m_value, m_unescaped));
  }
  // The whole value decoded to UTF-8 but still escaped, as a content line carries it.
  std::string_view Escaped() const { return m_value; }
  // The whole value unescaped, untrimmed.
  std::string_view Unescaped() { return Unescape(m_value, m_unescaped); }
  // Splits the value at the separators that are not escaped.
  void Split(char separator) { SplitUnescaped(m_value, separator, m_components); }
  size_t ComponentCount() const { return m_components.size(); }
  // Component i of the value split last, unescaped and trimmed.
  std::string_view Component(size_t i) {
    if (i >= m_components.size()) return {};
    return TrimValue(m_bPlain ? m_components[i] : Unescape(m_components[i], m_unescaped));
  }
  // The non-empty components from first on, joined by separator.
  void JoinComponents(size_t first, std::string_view separator, std::string& out);

  // Backslash escapes of a component: \n and \N a line break (CR LF in the record), \, \; \\ \:
  // and the \" some webmail writes the character itself; any other backslash is kept. A bare
  // line break becomes CR LF too. Returns in itself when it holds nothing to change, else out.
  static std::string_view Unescape(std::string_view in, std::string& out);
  static void SplitUnescaped(std::string_view value, char separator,
                             std::vector<std::string_view>& out);
  void SetUndeclared(CUndeclaredCharset* undeclared) { m_pUndeclared = undeclared; }

 private:
  std::string m_qp, m_converted, m_unescaped;
  std::string_view m_value;
  bool m_bPlain = false;  // m_value is UTF-8 without escapes or line breaks
  std::vector<std::string_view> m_components;
  CCharsetConverter m_iconv;
  CUndeclaredCharset* m_pUndeclared = nullptr;
};

int HexDigit(char c);
// Quoted-printable (the soft line breaks were joined already): =XX is a byte, any other '='
// stays as it is.
void DecodeQuotedPrintable(std::string_view in, std::string& out);
// A value in a one-line remark entry: its line breaks become ", ".
void AppendOneLine(std::string& out, std::string_view s);
std::string OneLine(std::string_view s);
// Labels come from parameters and group labels as the file has them, and a nested card's name
// is not decoded either: whatever is not UTF-8 is read in the code page.
void AppendUtf8Text(std::string& out, std::string_view s);
// %20 and the like of a URI.
std::string PercentDecoded(std::string_view s);
// urn:uuid:..., mailto:..., http://...: a scheme of letters before a colon.
bool LooksLikeUri(std::string_view s);
// "AssistantPhone" -> "assistant phone", "GRAND_CENTRAL" -> "grand central": a label in the
// remark reads as words.
std::string Words(std::string_view label);

}  // namespace zorvan

#include "interchange/CodePageGuess.h"

#include <iconv.h>
#include <uchardet/uchardet.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "res/CodePage.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

// Code pages that hold the same script's letters at different bytes, which the detector tells
// apart poorly on short text: the one it names is checked against the others. Western answers
// are the detector's "some Latin text"; for them the active code page comes first.
constexpr std::string_view kLatin[] = {"WINDOWS-1250", "ISO-8859-2", "ISO-8859-13", "WINDOWS-1257",
                                       "ISO-8859-16"};
constexpr std::string_view kWestern[] = {"WINDOWS-1252", "ISO-8859-1", "ISO-8859-15"};
constexpr std::string_view kGreek[] = {"ISO-8859-7", "WINDOWS-1253"};
constexpr std::string_view kTurkish[] = {"WINDOWS-1254", "ISO-8859-9"};
constexpr std::string_view kCyrillic[] = {"WINDOWS-1251", "KOI8-R", "KOI8-U",
                                          "ISO-8859-5",   "IBM866", "MAC-CYRILLIC"};
constexpr std::string_view kHebrew[] = {"WINDOWS-1255", "ISO-8859-8"};

template <size_t N>
bool In(const std::string_view (&family)[N], std::string_view name) {
  return std::find(std::begin(family), std::end(family), name) != std::end(family);
}

template <size_t N>
void AddFamily(const std::string_view (&family)[N], std::vector<std::string>& out) {
  for (std::string_view name : family)
    if (std::find(out.begin(), out.end(), name) == out.end()) out.emplace_back(name);
}

std::string_view ActiveName() {
  return ActiveCodePage() == ECodePage::Windows1250 ? "WINDOWS-1250" : "WINDOWS-1252";
}

// The detector's name as iconv spells it; empty for what is no 8-bit code page.
std::string IconvName(std::string_view detected) {
  std::string name;
  for (char c : detected) name.push_back(AsciiUpper(c));
  if (name == "X-MAC-CYRILLIC") return "MAC-CYRILLIC";
  if (name.empty() || name == "ASCII" || name.starts_with("UTF-") || name.starts_with("X-ISO"))
    return {};
  return name;
}

// The candidates for a detector's answer, its own first.
std::vector<std::string> Candidates(const std::string& detected) {
  std::vector<std::string> out;
  if (In(kWestern, detected)) {
    out.emplace_back(ActiveName());
    AddFamily(kWestern, out);
    return out;
  }
  out.push_back(detected);
  if (In(kLatin, detected)) AddFamily(kLatin, out);
  if (In(kGreek, detected)) AddFamily(kGreek, out);
  if (In(kTurkish, detected)) AddFamily(kTurkish, out);
  if (In(kCyrillic, detected)) AddFamily(kCyrillic, out);
  if (In(kHebrew, detected)) AddFamily(kHebrew, out);
  // Last, so that it wins only where all the others read worse: a wild answer (a multi-byte
  // code page for a few accented names) leaves the text as it was read before.
  const std::string_view active[] = {ActiveName()};
  AddFamily(active, out);
  return out;
}

bool IsLetter(char32_t c) {
  if (c < 0x80) return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
  if (c < 0xC0) return false;  // C1 controls, Latin-1 signs
  if (c <= 0x24F) return c != 0xD7 && c != 0xF7;
  if (c >= 0x2B0 && c < 0x370) return false;  // modifier letters and accents alone
  if (c < 0x400) return c != 0x375 && c != 0x37E && c != 0x384 && c != 0x385 && c != 0x387;
  if (c >= 0x2000 && c < 0x2C00) return false;  // punctuation, currency, symbols
  return c != 0xFFFD;
}

// How implausible a decoding is: a C1 control or a byte with no character counts most, a sign
// inside a word (a "±" or "¤" between letters, where the other code page has a letter) less.
long Implausibility(std::string_view utf8, long unknownBytes) {
  long score = 4 * unknownBytes;
  size_t pos = 0;
  bool prevLetter = false, pendingSign = false;
  while (pos < utf8.size()) {
    const char32_t c = DecodeUtf8(utf8, pos);
    const bool letter = IsLetter(c);
    if (c >= 0x80 && c < 0xA0) score += 4;
    if (pendingSign && letter) ++score;
    const bool sign = c >= 0x80 && !letter;
    pendingSign = sign && !prevLetter;
    if (sign && prevLetter) ++score;
    prevLetter = letter;
  }
  return score;
}

std::string Detect(std::string_view sample) {
  uchardet_t detector = uchardet_new();
  if (!detector) return {};
  std::string name;
  if (uchardet_handle_data(detector, sample.data(), sample.size()) == 0) {
    uchardet_data_end(detector);
    name = uchardet_get_charset(detector);
  }
  uchardet_delete(detector);
  return name;
}

}  // namespace

void CCodePageSample::Add(std::string_view text) {
  if (Full()) return;
  // Only as much as there is room for is looked at, cut where a UTF-8 character would start.
  const size_t room = kCodePageSampleBytes - m_text.size();
  if (text.size() > room) {
    size_t cut = room;
    for (int back = 0; back < 3 && cut > 0 && IsUtf8Continuation(text[cut]); ++back) --cut;
    text = text.substr(0, cut);
  }
  if (IsAscii(text) || IsWellFormedUtf8(text)) return;
  if (!m_text.empty()) m_text.push_back('\n');
  m_text.append(text);
}

void CCodePageSample::AddLines(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && !Full()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    Add(text.substr(pos, end - pos));
    pos = end + 1;
  }
}

std::string GuessCodePage(std::string_view sample) {
  if (sample.empty()) return {};
  const std::string detected = IconvName(Detect(sample));
  if (detected.empty()) return {};
  std::string best, decoded;
  long bestScore = -1;
  for (const std::string& name : Candidates(detected)) {
    decoded.clear();
    const long unknown = ConvertCodePage(name, sample, decoded);
    if (unknown < 0) continue;
    const long score = Implausibility(decoded, unknown);
    if (bestScore < 0 || score < bestScore) {
      bestScore = score;
      best = name;
    }
  }
  return best == ActiveName() ? std::string() : best;
}

long ConvertCodePage(std::string_view charset, std::string_view in, std::string& out) {
  const std::string name(charset);
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return -1;
  long unknown = 0;
  const size_t start = out.size();
  out.resize(start + in.size() * 4 + 8);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data() + start;
  size_t dstLeft = out.size() - start;
  while (srcLeft > 0) {
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      const size_t used = static_cast<size_t>(dst - out.data());
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dstLeft = out.size() - used;
      continue;
    }
    // A byte without a character (or a multi-byte character cut at the end).
    if (dstLeft < 3) {
      const size_t used = static_cast<size_t>(dst - out.data());
      out.resize(out.size() + 64);
      dst = out.data() + used;
      dstLeft = out.size() - used;
    }
    std::copy_n("\xEF\xBF\xBD", 3, dst);
    dst += 3;
    dstLeft -= 3;
    ++src;
    --srcLeft;
    ++unknown;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  iconv_close(cd);
  return unknown;
}

std::string DecodeCodePage(std::string_view charset, std::string_view text) {
  if (charset == "WINDOWS-1250") return AnsiToUtf8(text, ECodePage::Windows1250);
  if (charset == "WINDOWS-1252") return AnsiToUtf8(text, ECodePage::Windows1252);
  std::string out;
  if (charset.empty() || ConvertCodePage(charset, text, out) < 0) return AnsiToUtf8(text);
  return out;
}

std::string DecodeUndeclared(std::string_view text) {
  CCodePageSample sample;
  sample.AddLines(text);
  return DecodeCodePage(GuessCodePage(sample.Text()), text);
}

}  // namespace zorvan

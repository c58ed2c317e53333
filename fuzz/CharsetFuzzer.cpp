// The code pages of text that names none, and the vCard reader's charset path, on arbitrary
// bytes. The first byte chooses the active code page and what the rest is: undeclared text
// (sampled, its code page guessed, converted by the guess and by a code page named by the
// bytes themselves), or the values of a card, once with a CHARSET parameter (a known name or
// the bytes' own) on some lines and once with none, read by the reader of other programs'
// vCards. Whatever comes out must be well-formed UTF-8, and a sample stays within its bound.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "interchange/CodePageGuess.h"
#include "interchange/vcard/ForeignVCardFile.h"
#include "res/CodePage.h"
#include "store/RecordFields.h"

using namespace zorvan;

namespace {

constexpr std::string_view kCharsets[] = {"WINDOWS-1250", "ISO-8859-2", "KOI8-R", "UTF-8",
                                          "SHIFT_JIS",    "BIG5",       "CP437",  "x-unknown"};

void CheckText(std::string_view text) {
  if (!IsWellFormedUtf8(text)) std::abort();
}

void CheckUndeclared(std::string_view bytes) {
  CCodePageSample sample;
  sample.AddLines(bytes);
  sample.Add(bytes);
  if (sample.Text().size() > kCodePageSampleBytes + bytes.size()) std::abort();
  const std::string guess = GuessCodePage(sample.Empty() ? bytes : sample.Text());
  CheckText(DecodeCodePage(guess, bytes));
  CheckText(DecodeUndeclared(bytes));
  // A name of the bytes' own: iconv refuses what it does not know.
  const std::string_view name = bytes.substr(0, bytes.find('\n')).substr(0, 20);
  std::string out;
  if (ConvertCodePage(name, bytes, out) >= 0) CheckText(out);
  CheckText(DecodeCodePage(name, bytes));
}

// A card of version 2.1 whose name, note and label are the bytes, with CHARSET on the note and
// the label when charset is not empty.
std::string Card(std::string_view bytes, std::string_view charset) {
  const std::string parameter = charset.empty() ? "" : ";CHARSET=" + std::string(charset);
  const std::string value(bytes.substr(0, bytes.find_first_of("\r\n")));
  return "BEGIN:VCARD\r\nVERSION:2.1\r\nN:" + value + ";" + value + "\r\nNOTE" + parameter + ":" +
         value + "\r\nLABEL" + parameter + ";ENCODING=QUOTED-PRINTABLE:" + value +
         "\r\nORG:" + std::string(bytes) + "\r\nEND:VCARD\r\n";
}

void CheckCard(const std::string& card) {
  SForeignReadHooks hooks;
  size_t contacts = 0;
  hooks.onContact = [&](SForeignContact&& c) {
    if (!c.pRecord) std::abort();
    ++contacts;
    for (const SRecordField& f : kRecordFields)
      if (f.type == EFieldType::text) CheckText((*c.pRecord.*f.pText).view());
  };
  ReadForeignVCards(card, hooks);
  if (contacts > 1 + card.size() / 11) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  SetActiveCodePage(mode & 1 ? ECodePage::Windows1250 : ECodePage::Windows1252);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  if (mode & 2) {
    CheckUndeclared(bytes);
    return 0;
  }
  const std::string_view own = bytes.substr(0, bytes.find(':')).substr(0, 24);
  const std::string_view charset = mode & 4 ? own : kCharsets[(mode >> 3) % std::size(kCharsets)];
  CheckCard(Card(bytes, charset));
  CheckCard(Card(bytes, ""));
  return 0;
}

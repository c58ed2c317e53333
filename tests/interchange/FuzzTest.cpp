#include <gtest/gtest.h>

#include <random>

#include "InterchangeTestSupport.h"
#include "interchange/FieldList.h"
#include "interchange/StringLineInput.h"
#include "interchange/TextExport.h"
#include "interchange/TextImport.h"
#include "interchange/VCardReader.h"
#include "res/CodePage.h"
#include "store/DateParse.h"

using namespace zorvan;
using namespace zorvan::testing;

// Random and broken input must never crash a reader, and what it yields must stay sound: one
// record per data line of a text file, at most one per BEGIN line of a vCard file, and only
// well-formed UTF-8 in every text field.

namespace {

void ExpectSoundTexts(const CTreeItem& r) {
  for (const SFieldInfo& f : FieldList()) {
    if (f.kind == EFieldKind::text) {
      ASSERT_TRUE(IsWellFormedUtf8((r.*f.pText).view()))
          << f.header << ::testing::PrintToString((r.*f.pText).str());
    }
  }
}

int CountOccurrences(std::string_view s, std::string_view what) {
  int n = 0;
  for (size_t at = s.find(what); at != std::string_view::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

void ReadAsVCards(const std::string& bytes) {
  SCollected c;
  CStringLineInput in(bytes);
  ASSERT_TRUE(ReadVCards(in, c.Hooks(), EDateOrder::monthDayYear));
  ASSERT_LE(static_cast<int>(c.records.size()), CountOccurrences(bytes, "BEGIN:VCARD"));
  for (const auto& r : c.records) ExpectSoundTexts(*r);
}

void ReadAsText(const std::string& bytes, std::string_view delimiter) {
  CStringLineInput counter(bytes);
  const std::int64_t lines = CountLines(counter);
  CStringLineInput in(bytes);
  std::string first;
  ReadFirstLine(in, first);
  STextFormat format;
  format.layout = RecogniseHeader(first);
  format.strDelimiter = delimiter;
  format.bindings = MakeColumnBindings(first, delimiter);
  ASSERT_GE(format.bindings.size(), 1u);
  for (size_t i = 0; i < format.bindings.size(); ++i)
    format.bindings[i].m_nTarget = static_cast<int>(i * 7 % 48) - 1;
  SCollected c;
  ASSERT_TRUE(ReadTextRows(in, format, c.Hooks(), EDateOrder::dayMonthYear));
  ASSERT_EQ(static_cast<std::int64_t>(c.records.size()), lines > 0 ? lines - 1 : 0);
  for (const auto& r : c.records) ExpectSoundTexts(*r);
  // The bound reading of the same file, whatever its header.
  format.layout = ETextLayout::bound;
  CStringLineInput again(bytes);
  ReadFirstLine(again, first);
  ASSERT_TRUE(ReadTextRows(again, format, SImportHooks{}, EDateOrder::dayMonthYear));
}

// Bytes drawn mostly from what the formats care about.
std::string RandomInput(std::mt19937& rng, size_t maxLen) {
  static const std::vector<std::string> pieces = {"BEGIN:VCARD",
                                                  "END:VCARD",
                                                  "N:",
                                                  "ADR;WORK:",
                                                  "BDAY:",
                                                  "X-TAVORIN-GROUP:",
                                                  "NOTE:",
                                                  "=0D=0A",
                                                  "\"",
                                                  "\"\"",
                                                  ";",
                                                  ",",
                                                  ", ",
                                                  "\t",
                                                  "\r\n",
                                                  "\n",
                                                  "\r",
                                                  ".0.",
                                                  "17.5.1990",
                                                  "1990-05-17s",
                                                  "-",
                                                  "9",
                                                  "\xC8",
                                                  "\xFF",
                                                  std::string(1, '\0'),
                                                  std::string(TextExportHeader())};
  // Half the inputs begin with a UTF-8 byte-order mark and are read as UTF-8.
  std::string s = rng() % 2 ? "\xEF\xBB\xBF" : "";
  const size_t len = std::uniform_int_distribution<size_t>(0, maxLen)(rng);
  while (s.size() < len) {
    if (rng() % 3 == 0)
      s += pieces[rng() % pieces.size()];
    else
      s += static_cast<char>(rng() % 256);
  }
  return s;
}

std::string Mutate(std::string s, std::mt19937& rng) {
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits && !s.empty(); ++e) {
    const size_t at = rng() % s.size();
    switch (rng() % 4) {
      case 0:
        s[at] = static_cast<char>(rng() % 256);
        break;
      case 1:
        s.erase(at, 1 + rng() % 16);
        break;
      case 2:
        s.insert(at, 1, "\";,\r\n=\t"[rng() % 7]);
        break;
      default:
        s.insert(at, s.substr(rng() % s.size(), rng() % 40));
        break;
    }
  }
  return s;
}

const std::vector<std::string_view> kDelimiters = {",", ";", "\t", " ", ", ", "::", "Tab", ""};

}  // namespace

TEST(Fuzz, shouldSurviveRandomBytes) {
  std::mt19937 rng(20240601);
  for (int i = 0; i < 2000; ++i) {
    const std::string bytes = RandomInput(rng, 3000);
    ReadAsVCards(bytes);
    ReadAsText(bytes, kDelimiters[i % kDelimiters.size()]);
    if (HasFatalFailure()) return;
  }
}

TEST(Fuzz, shouldSurviveMutatedAndTruncatedFixtures) {
  std::mt19937 rng(7);
  for (const char* name : {"business-card.vcf", "export.csv"}) {
    const std::string fixture = ReadBytes(TestDataPath(name));
    ASSERT_FALSE(fixture.empty()) << name;
    for (size_t cut = 0; cut <= fixture.size(); cut += 3) {
      ReadAsVCards(fixture.substr(0, cut));
      ReadAsText(fixture.substr(0, cut), ",");
    }
    for (int i = 0; i < 1000; ++i) {
      const std::string bytes = Mutate(fixture, rng);
      ReadAsVCards(bytes);
      ReadAsText(bytes, kDelimiters[i % kDelimiters.size()]);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(Fuzz, shouldParseAnyDateTextToAValidOrAnInvalidDate) {
  std::mt19937 rng(99);
  const std::string alphabet = "0123456789.-/:TZsz +\t";
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    const size_t len = rng() % 24;
    for (size_t k = 0; k < len; ++k) text += alphabet[rng() % alphabet.size()];
    CDateTime dt(5.5);
    if (ParseDateValue(text, dt, i % 2 ? EDateOrder::dayMonthYear : EDateOrder::monthDayYear)) {
      ASSERT_TRUE(dt.IsUsable()) << text;
      ASSERT_EQ(dt.m_dt, static_cast<double>(static_cast<long>(dt.m_dt))) << text;
    } else {
      ASSERT_EQ(dt, CDateTime(0.0, CDateTime::invalid)) << text;
    }
  }
}

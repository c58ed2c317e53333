#include <gtest/gtest.h>

#include <tuple>

#include "interchange/ValueCodec.h"

using namespace zorvan;

namespace {

using V = std::vector<std::string>;

// The first count values of a line, taken one after another as the readers do.
V Split(std::string_view line, std::string_view delimiter, int count) {
  V values;
  size_t pos = 0;
  for (int i = 0; i < count; ++i) values.push_back(NextToken(line, pos, delimiter));
  return values;
}

}  // namespace

TEST(QuoteValue, shouldQuoteOnlyWhereNeededAndEncodeEveryLineBreak) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain text", "plain text"},
      {"", ""},
      {"a=b Žluťoučký", "a=b Žluťoučký"},  // equals signs and letters above 127 pass
      {"Tavorin, a.s.", "\"Tavorin, a.s.\""},
      {"x;y", "\"x;y\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"a\r\nb", "a=0D=0Ab"},
      {"a\rb\nc", "a=0D=0Ab=0D=0Ac"},
      {"a\n\rb", "a=0D=0A=0D=0Ab"},
      {"trailing\r", "trailing=0D=0A"},
      {"x;y\r\nz", "\"x;y=0D=0Az\""},  // quoted first, encoded inside the quotes
  };
  for (const auto& [value, written] : cases) EXPECT_EQ(QuoteValue(value), written) << value;
}

TEST(NextToken, shouldSplitValuesAsTheReadersNeed) {
  EXPECT_EQ(Split("a;b;c", ";", 5), (V{"a", "b", "c", "", ""}));
  EXPECT_EQ(Split(";;", ";", 4), (V{"", "", "", ""}));
  EXPECT_EQ(Split(" a , b ", ",", 2), (V{" a ", " b "}));  // nothing is trimmed
  EXPECT_EQ(Split("\"x;y\";z", ";", 2), (V{"x;y", "z"}));
  EXPECT_EQ(Split("\"a\tb,c\"\td", "\t", 2), (V{"a\tb,c", "d"}));
  // A quote in the middle of a value has no meaning; an unclosed one runs to the end.
  EXPECT_EQ(Split("ab\"c;d", ";", 2), (V{"ab\"c", "d"}));
  EXPECT_EQ(Split("\"open;still", ";", 2), (V{"open;still", ""}));
  // A doubled quote inside quotes is one quote.
  EXPECT_EQ(Split("\"say \"\"hi\"\"\",next", ",", 2), (V{"say \"hi\"", "next"}));
  EXPECT_EQ(Split("\"\"\"\",\"\",x", ",", 3), (V{"\"", "", "x"}));
  // After a closing quote one character is skipped, whatever it is, even a whole letter.
  EXPECT_EQ(Split("\"a\"xb,c", ",", 2), (V{"a", "b"}));
  EXPECT_EQ(Split("\"a\"Žb,c", ",", 2), (V{"a", "b"}));
  // A longer delimiter is skipped whole; an empty one never splits.
  EXPECT_EQ(Split("one, two, \"x, y\", ", ", ", 4), (V{"one", "two", "x, y", ""}));
  EXPECT_EQ(Split("a,b;c", "", 2), (V{"a,b;c", ""}));
}

TEST(NextToken, shouldReportWhereTheValueEnded) {
  std::string value;
  size_t pos = 0;
  EXPECT_EQ(NextToken("ab,cd", pos, ",", value), 2u);
  EXPECT_EQ(pos, 3u);
  EXPECT_EQ(NextToken("ab,cd", pos, ",", value), 5u);
  pos = 0;
  EXPECT_EQ(NextToken("\"a,b\",c", pos, ",", value), 4u);  // the closing quote
  EXPECT_EQ(pos, 6u);
}

TEST(DecodeLineBreaks, shouldTurnOnlyEncodedBreaksBackIntoCrLf) {
  std::string v = "a=0D=0Ab=0D=0A=0D=0A";
  DecodeLineBreaks(v);
  EXPECT_EQ(v, "a\r\nb\r\n\r\n");
  // The LABEL lines' "=0D0A" and lone halves are no line breaks.
  std::string label = "x=0D0Ay=0Dz=0A=0D=0";
  DecodeLineBreaks(label);
  EXPECT_EQ(label, "x=0D0Ay=0Dz=0A=0D=0");
}

TEST(AppendZeroPadded, shouldPadToTheWidthAndWriteNegativeAsZero) {
  const std::tuple<int, int, const char*> cases[] = {
      {7, 4, "Žofie 0007"},
      {2026, 4, "Žofie 2026"},
      {12345, 4, "Žofie 12345"},
      {0, 2, "Žofie 00"},
      {-5, 2, "Žofie 00"},
      {9, 0, "Žofie 9"},
      {2147483647, 2, "Žofie 2147483647"},
  };
  for (const auto& [value, width, expected] : cases) {
    std::string out = "Žofie ";
    AppendZeroPadded(out, value, width);
    EXPECT_EQ(out, expected) << value << " in " << width;
  }
}

#include <gtest/gtest.h>

#include <climits>

#include "interchange/ValueCodec.h"

using namespace zorvan;

namespace {

// All values of a line, taken one after another as the readers do.
std::vector<std::string> Split(std::string_view line, std::string_view delimiter, int count) {
  std::vector<std::string> values;
  size_t pos = 0;
  for (int i = 0; i < count; ++i) values.push_back(NextToken(line, pos, delimiter));
  return values;
}

using V = std::vector<std::string>;

}  // namespace

TEST(QuoteValue, shouldQuoteOnlyValuesWithCommaSemicolonOrQuote) {
  EXPECT_EQ(QuoteValue("plain text"), "plain text");
  EXPECT_EQ(QuoteValue(""), "");
  EXPECT_EQ(QuoteValue("Tavorin, a.s."), "\"Tavorin, a.s.\"");
  EXPECT_EQ(QuoteValue("x;y"), "\"x;y\"");
  // Equals signs and letters above 127 pass unchanged.
  EXPECT_EQ(QuoteValue("a=b Žluťoučký"), "a=b Žluťoučký");
}

TEST(QuoteValue, shouldDoubleInnerQuotesSoTheValueSurvivesReading) {
  EXPECT_EQ(QuoteValue("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(QuoteValue("\""), "\"\"\"\"");
}

TEST(QuoteValue, shouldEncodeEveryKindOfLineBreak) {
  EXPECT_EQ(QuoteValue("a\r\nb"), "a=0D=0Ab");
  EXPECT_EQ(QuoteValue("a\rb\nc"), "a=0D=0Ab=0D=0Ac");
  EXPECT_EQ(QuoteValue("\r\n\r\n"), "=0D=0A=0D=0A");
  EXPECT_EQ(QuoteValue("a\n\rb"), "a=0D=0A=0D=0Ab");
  // Quoting comes first, the line-break encoding is applied inside the quotes.
  EXPECT_EQ(QuoteValue("x;y\r\nz"), "\"x;y=0D=0Az\"");
  EXPECT_EQ(QuoteValue("trailing\r"), "trailing=0D=0A");
}

TEST(NextToken, shouldSplitAtTheDelimiterAndGiveEmptyValuesBeyondTheEnd) {
  EXPECT_EQ(Split("a;b;c", ";", 5), (V{"a", "b", "c", "", ""}));
  EXPECT_EQ(Split(";;", ";", 4), (V{"", "", "", ""}));
  EXPECT_EQ(Split("", ",", 2), (V{"", ""}));
  // Nothing is trimmed.
  EXPECT_EQ(Split(" a , b ", ",", 2), (V{" a ", " b "}));
}

TEST(NextToken, shouldKeepDelimitersInsideQuotesAndDropTheQuotes) {
  EXPECT_EQ(Split("\"x;y\";z", ";", 2), (V{"x;y", "z"}));
  EXPECT_EQ(Split("\"a\tb,c\"\td", "\t", 2), (V{"a\tb,c", "d"}));
  // A quote in the middle of a value has no meaning.
  EXPECT_EQ(Split("ab\"c;d", ";", 2), (V{"ab\"c", "d"}));
  // Without a closing quote the value runs to the end of the line.
  EXPECT_EQ(Split("\"open;still", ";", 2), (V{"open;still", ""}));
}

TEST(NextToken, shouldReadADoubledQuoteAsOneQuote) {
  EXPECT_EQ(Split("\"say \"\"hi\"\"\",next", ",", 2), (V{"say \"hi\"", "next"}));
  EXPECT_EQ(Split("\"\"\"\"", ",", 1), (V{"\""}));
  EXPECT_EQ(Split("\"\",x", ",", 2), (V{"", "x"}));
}

TEST(NextToken, shouldSkipOneCharacterAfterAClosingQuoteWhateverItIs) {
  EXPECT_EQ(Split("\"a\"xb,c", ",", 2), (V{"a", "b"}));
}

TEST(NextToken, shouldSkipAWholeLongerDelimiter) {
  EXPECT_EQ(Split("one, two, three", ", ", 3), (V{"one", "two", "three"}));
  EXPECT_EQ(Split("\"a, b\", c", ", ", 2), (V{"a, b", "c"}));
  EXPECT_EQ(Split("a::b::", "::", 3), (V{"a", "b", ""}));
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

TEST(NextToken, shouldNeverSplitWithAnEmptyDelimiter) {
  EXPECT_EQ(Split("a,b;c", "", 2), (V{"a,b;c", ""}));
}

TEST(DecodeLineBreaks, shouldTurnEncodedBreaksBackIntoCrLf) {
  std::string v = "a=0D=0Ab=0D=0A=0D=0A";
  DecodeLineBreaks(v);
  EXPECT_EQ(v, "a\r\nb\r\n\r\n");
  // The LABEL lines' "=0D0A" and lone halves are no line breaks.
  std::string label = "x=0D0Ay=0Dz=0A=0D=0";
  DecodeLineBreaks(label);
  EXPECT_EQ(label, "x=0D0Ay=0Dz=0A=0D=0");
}

TEST(ParseInteger, shouldReadLikeTheCRuntimeAndClamp) {
  EXPECT_EQ(ParseInteger("42"), 42);
  EXPECT_EQ(ParseInteger("  -1"), -1);
  EXPECT_EQ(ParseInteger("+7x"), 7);
  EXPECT_EQ(ParseInteger("\t12 34"), 12);
  EXPECT_EQ(ParseInteger(""), 0);
  EXPECT_EQ(ParseInteger("abc"), 0);
  EXPECT_EQ(ParseInteger("-"), 0);
  EXPECT_EQ(ParseInteger("1.9"), 1);
  EXPECT_EQ(ParseInteger("99999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseInteger("-99999999999999999999"), INT_MIN);
}

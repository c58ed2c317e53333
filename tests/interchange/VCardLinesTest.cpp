// How a vCard line is cut into its group, name, parameters and value, and what of a line the
// reader looks for a word at a time: the delimiters, the group dot and the encodings.
#include <gtest/gtest.h>

#include <string>

#include "interchange/vcard/VCardLines.h"
#include "interchange/vcard/VCardProperty.h"

using namespace zorvan;

TEST(SplitLine, shouldCutAtTheFirstColonOutsideQuotedParameters) {
  struct SCase {
    const char* line;
    bool split;
    const char* group;
    const char* name;
    const char* params;
    const char* value;
  };
  const SCase cases[] = {
      {"FN:Łukasz Dvořák", true, "", "FN", "", "Łukasz Dvořák"},
      {"item1.EMAIL;TYPE=INTERNET:ola@przykład.pl", true, "item1", "EMAIL", "TYPE=INTERNET",
       "ola@przykład.pl"},
      {"TEL;TYPE=\"CELL,X-A:B\",PREF:+420 602 111 222", true, "", "TEL", "TYPE=\"CELL,X-A:B\",PREF",
       "+420 602 111 222"},
      // Quotes count in the parameters alone: before the name ends they are letters.
      {"X-\"Ω\":Σοφία", true, "", "X-\"Ω\"", "", "Σοφία"},
      {"NOTE;X-A=\"a:b\";X-B=\"c:d\":Müller: Straße", true, "", "NOTE", "X-A=\"a:b\";X-B=\"c:d\"",
       "Müller: Straße"},
      {"NOTE;X-LONG-PARAMETER-NAME=abcdefgh;X-B=c:v", true, "", "NOTE",
       "X-LONG-PARAMETER-NAME=abcdefgh;X-B=c", "v"},
      {"NOTE;X-A=\"never closed:Zoë", false, "", "", "", ""},
      {"NOTE;X-A=\"a\"", false, "", "", "", ""},
      {"no colon at all, not even later on", false, "", "", "", ""},
      {"N:", true, "", "N", "", ""},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.line);
    SProperty p;
    ASSERT_EQ(SplitLine(c.line, p), c.split);
    if (!c.split) continue;
    EXPECT_EQ(p.group, c.group);
    EXPECT_EQ(p.name, c.name);
    EXPECT_EQ(p.params, c.params);
    EXPECT_EQ(p.value, c.value);
  }
}

TEST(VCardLineBytes, shouldFindDelimitersGroupsAndEncodingsAnywhereInALine) {
  // Past the eight bytes of a word and in its tail, caseless or not.
  const std::string s = "ABCDEFGHIJKLMNOpQrstuvwxyzžluťoučký";
  EXPECT_EQ(FindEitherByte(s.data(), s.size(), 'p', 'q'), 15u);
  EXPECT_EQ(FindEitherByte(s.data(), s.size(), 'q', 'z'), 25u);  // the capital Q is no q
  EXPECT_EQ(FindEitherByte(s.data(), s.size(), 'z', 'q', true), 16u);
  EXPECT_EQ(FindEitherByte(s.data(), s.size(), 'q', 'b', true), 1u);
  EXPECT_EQ(FindEitherByte(s.data(), 15, 'p', 'q'), 15u);
  EXPECT_EQ(FindEitherByte(s.data() + 16, 10, 'q', 'z', true), 0u);

  EXPECT_TRUE(HasGroup("item12.X-ABLABEL:Ωμέγα"));
  EXPECT_FALSE(HasGroup("EMAIL:jan.novak@seznam.cz"));
  EXPECT_FALSE(HasGroup("ADR;LABEL=\"ul. Długa 5\":;;Długa 5"));

  // The encoding of a line decides what its continuation lines are.
  struct SCase {
    const char* card;
    const char* joined;
  };
  const SCase cases[] = {
      {"NOTE;ENCODING=QUOTED-PRINTABLE:Dvo=C5=99=\r\n=C3=A1k\r\n",
       "NOTE;ENCODING=QUOTED-PRINTABLE:Dvo=C5=99=C3=A1k"},
      {"NOTE;encoding=quoted-printable:a=\r\nb\r\n", "NOTE;encoding=quoted-printable:ab"},
      {"X-DATA;ENCODING=b:QUJD\r\nREVG\r\n", "X-DATA;ENCODING=b:QUJDREVG"},
      {"X-DATA;BASE64:QUJD\r\nREVG\r\n", "X-DATA;BASE64:QUJDREVG"},
      {"X-BOB;X-QUIET=BQ:a=\r\nb:c\r\n", "X-BOB;X-QUIET=BQ:a="},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.card);
    CVCardLines lines(c.card);
    std::string_view first;
    ASSERT_TRUE(lines.Next(first));
    std::string arena;
    const SRawLine raw = lines.TakeProperty(first, first.substr(0, first.find(':')), false, arena);
    const std::string_view joined = raw.inArena
                                        ? std::string_view(arena).substr(raw.offset, raw.length)
                                        : std::string_view(c.card).substr(raw.offset, raw.length);
    EXPECT_EQ(joined, c.joined);
  }
}

TEST(ReadParams, shouldReadEveryParameterOutsideQuotesWhateverItsCase) {
  struct SCase {
    const char* params;
    std::uint32_t flags;
    const char* custom;
    const char* charset;
  };
  const SCase cases[] = {
      {"TYPE=WORK,VOICE", kWork | kVoice, "", ""},
      {"type=\"cell,x-a:b\",pref", kCell | kPref, "x-a:b", ""},
      {"HOME;FAX;CHARSET=WINDOWS-1250", kHome | kFax, "", "WINDOWS-1250"},
      {"TYPE=Oddělení;X-NOTE=\"a;b\";TYPE=quoted-printable", kQuotedPrintable, "Oddělení", ""},
      {"ENCODING=b;TYPE=INTERNET,,", kBase64 | kInternet, "", ""},
      {"TYPE=X-Ζώνη;TYPE=\"PARCEL;HOME", 0, "X-Ζώνη", ""},
      {";;TYPE=ISDN;;", kIsdn, "", ""},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.params);
    const SParams p = ReadParams(c.params);
    EXPECT_EQ(p.flags, c.flags);
    EXPECT_EQ(p.custom, c.custom);
    EXPECT_EQ(p.charset, c.charset);
  }
}

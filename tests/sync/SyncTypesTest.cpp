#include "sync/SyncTypes.h"

#include <gtest/gtest.h>

namespace zorvan::sync {
namespace {

// The spellings of one tag that servers use in headers and in getetag properties.
TEST(SyncTypesTest, EtagsCompareAcrossSpellingsAndQuoteForIfMatch) {
  struct SCase {
    const char* input;
    const char* normalized;
    const char* quoted;
  };
  const SCase cases[] = {
      {"\"abc\"", "abc", "\"abc\""},
      {"abc", "abc", "\"abc\""},
      {"W/\"abc\"", "W/abc", "W/\"abc\""},
      {"W/abc", "W/abc", "W/\"abc\""},
      {" \"1-čtvrtek\" \r\n", "1-čtvrtek", "\"1-čtvrtek\""},
      {"\"\"", "", "\"\""},
      {"\"a\"b\"", "a\"b", "\"a\"b\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizeEtag(c.input), c.normalized) << c.input;
    EXPECT_EQ(QuotedEtag(c.input), c.quoted) << c.input;
    EXPECT_EQ(NormalizeEtag(QuotedEtag(c.input)), c.normalized) << c.input;
  }
}

}  // namespace
}  // namespace zorvan::sync

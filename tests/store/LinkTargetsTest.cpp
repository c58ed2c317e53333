#include "store/LinkTargets.h"

#include <gtest/gtest.h>

using namespace zorvan;

TEST(LinkTargets, shouldLetOnlyWebPagesAndMailLeaveTheProgram) {
  EXPECT_TRUE(IsSafeTarget("http://www.example.org"));
  EXPECT_TRUE(IsSafeTarget("HTTPS://example.org/č"));
  EXPECT_TRUE(IsSafeTarget("MailTo:jiri@example.org"));
  EXPECT_FALSE(IsSafeTarget("file:///etc/passwd"));
  EXPECT_FALSE(IsSafeTarget("/usr/bin/xterm"));
  EXPECT_FALSE(IsSafeTarget("javascript:alert('http://')"));
  EXPECT_FALSE(IsSafeTarget(" http://example.org"));
  EXPECT_FALSE(IsSafeTarget("smb://server/http://share"));
  EXPECT_FALSE(IsSafeTarget(""));
}

TEST(LinkTargets, shouldOpenAWebAddressWithOrWithoutItsScheme) {
  EXPECT_EQ(WebTarget("www.dvořák.example"), "http://www.dvořák.example");
  EXPECT_EQ(WebTarget("HTTP://Example.org"), "HTTP://Example.org");
  EXPECT_EQ(WebTarget("https://example.org"), "https://example.org");
  EXPECT_EQ(WebTarget("  https://örtlich.example/ \r\n"), "https://örtlich.example/");
  EXPECT_EQ(WebTarget("www.example.cz:8080/ceník"), "http://www.example.cz:8080/ceník");
  // A value that only mentions the scheme somewhere inside stays a web address.
  EXPECT_EQ(WebTarget("see http://example.org"), "http://see http://example.org");
  EXPECT_EQ(WebTarget(""), "http://");
}

TEST(LinkTargets, shouldNeverTurnAWebFieldIntoAnotherScheme) {
  for (const char* field : {
           "mailto:boss@corp.example?subject=Hi&attach=/root/.ssh/id_rsa&body=see http://x",
           " MAILTO:šéf@firma.example?attach=/etc/shadow",
           "file:///tmp/x?http://",
           "javascript:alert('https://')",
           "smb://server/http://share",
           "x-scheme-handler+foo.bar:Ωmega",
       }) {
    EXPECT_EQ(WebTarget(field), "") << field;
  }
}

TEST(LinkTargets, shouldEncodeTheAddressSoThatItCannotAddHeadersOrRecipients) {
  EXPECT_EQ(MailTarget("jan.novak@example.org"), "mailto:jan.novak@example.org");
  EXPECT_EQ(MailTarget("a@example.org?attach=/etc/passwd&cc=b@example.org"),
            "mailto:a@example.org%3Fattach%3D%2Fetc%2Fpasswd%26cc%3Db@example.org");
  EXPECT_EQ(MailTarget("x@example.org,y@example.org"), "mailto:x@example.org%2Cy@example.org");
  EXPECT_EQ(MailTarget("łukasz@example.pl"), "mailto:%C5%82ukasz@example.pl");
  EXPECT_EQ(MailTarget("a@b\r\nBcc: c@d"), "mailto:a@b%0D%0ABcc%3A%20c@d");
  // The scheme is put in front even when the address carries it already.
  EXPECT_EQ(MailTarget("mailto:a@b"), "mailto:mailto%3Aa@b");
}

TEST(LinkTargets, shouldPutAnEncodedSubjectIntoAMailTargetOfTheStringTable) {
  EXPECT_EQ(MailTargetWithSubject("mailto:author@example.com?subject=%s", "Zorvan 2.1.3"),
            "mailto:author@example.com?subject=Zorvan%202.1.3");
  // A subject cannot add recipients or a body.
  EXPECT_EQ(MailTargetWithSubject("mailto:a@b?subject=%s", "Dotaz&cc=x@y?body=Čau"),
            "mailto:a@b?subject=Dotaz%26cc%3Dx@y%3Fbody%3D%C4%8Cau");
  EXPECT_EQ(MailTargetWithSubject("mailto:a@b", "Zorvan"), "mailto:a@b");
}

#include "platform/text.h"

#include <gtest/gtest.h>

#include <random>

namespace platform {
namespace {

TEST(Text, UpperCaseFollowsWindows1252) {
  EXPECT_EQ("ABC_1Z", upperCase("abc_1z"));
  EXPECT_EQ("\xC0\xC9\xDE\x8A\x8C\x8E\x9F", upperCase("\xE0\xE9\xFE\x9A\x9C\x9E\xFF"));
  // The division sign, sharp s and micro sign have no capital and stay.
  EXPECT_EQ("\xF7\xDF\xB5", upperCase("\xF7\xDF\xB5"));
}

TEST(Text, CodePageMapsEveryAssignedByteBothWays) {
  EXPECT_EQ(U'\u20AC', windows1252CodePoint(0x80));
  EXPECT_EQ(U'\u0178', windows1252CodePoint(0x9F));
  EXPECT_EQ(0u, static_cast<unsigned>(windows1252CodePoint(0x81)));  // unassigned
  for (int byte = 0; byte < 256; ++byte) {
    const char32_t code = windows1252CodePoint(static_cast<unsigned char>(byte));
    if (code != 0 || byte == 0) {
      EXPECT_EQ(byte, windows1252Byte(code)) << byte;
    }
  }
  EXPECT_EQ(-1, windows1252Byte(U'\u2192'));  // an arrow has no byte
  EXPECT_EQ(-1, windows1252Byte(0x81));       // nor has an unassigned C1 control
}

TEST(Text, TrimRemovesEveryControlByteAndBlank) {
  EXPECT_EQ("a b", trim("\t\r\n \x01"
                        "a b\x1F "));
  EXPECT_EQ("", trim(" \t "));
  EXPECT_EQ("\xA0x", trim("\xA0x"));  // a non-breaking space is text, not blank
  const std::string_view padded = "  view\t";
  EXPECT_EQ(padded.data() + 2, trimmedView(padded).data());  // no copy
  EXPECT_EQ("view", trimmedView(padded));
}

TEST(Text, CompareIgnoresCaseAndOrdersByUpperCasedBytes) {
  EXPECT_TRUE(sameText("Hello", "hELLO"));
  EXPECT_FALSE(sameText("Hello", "Hell"));
  EXPECT_LT(compareText("abc", "ABD"), 0);
  EXPECT_LT(compareText("ab", "ABC"), 0);
  // '_' (95) sorts after the capitals (65..90) because lower case letters are
  // compared in their upper-cased form.
  EXPECT_TRUE(lessText("zed", "_a"));
}

TEST(Text, LongTextsCompareAsByteByByteIgnoringCase) {
  // Texts that share long prefixes, differ in case or in a byte above 127
  // anywhere, compare as the upper-cased bytes do one by one.
  const auto reference = [](std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      const int ua = upperChar(static_cast<unsigned char>(a[i]));
      const int ub = upperChar(static_cast<unsigned char>(b[i]));
      if (ua != ub) return ua < ub ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  };
  const auto sign = [](int value) { return (value > 0) - (value < 0); };
  std::mt19937 random(8);
  const std::string bytes = "aAzZ_9\xE4\xC4\xFF";
  for (int round = 0; round < 20000; ++round) {
    std::string a(random() % 24, 'x');
    for (char& c : a) c = bytes[random() % bytes.size()];
    std::string b = a.substr(0, random() % (a.size() + 1));
    while (b.size() < a.size() + random() % 3) b += bytes[random() % bytes.size()];
    if (!b.empty() && random() % 2 == 0) b[random() % b.size()] = bytes[random() % bytes.size()];
    ASSERT_EQ(sign(compareText(a, b)), reference(a, b)) << a << " / " << b;
    ASSERT_EQ(sameText(a, b), reference(a, b) == 0) << a << " / " << b;
  }
}

TEST(Text, SplitLinesAcceptsEveryLineEnd) {
  const std::vector<std::string> expected{"a", "b", "", "c", "d"};
  EXPECT_EQ(expected, splitLines("a\r\nb\n\rc\rd"));
  EXPECT_EQ(std::vector<std::string>({"x", ""}), splitLines("x\r\n\r\n"));
  EXPECT_TRUE(splitLines("").empty());
  EXPECT_EQ("a\r\nb\r\n", joinLinesCrLf({"a", "b"}));
}

}  // namespace
TEST(Text, UrlSchemesAreTellingLinksThatLeaveASite) {
  for (const char* link :
       {"https://example.org", "mailto:a@b", "ms-its:x.chm::/a.html", "a+b.c:"}) {
    EXPECT_TRUE(hasUrlScheme(link)) << link;
  }
  for (const char* link : {"", "page.html", ":x", "1http://x", "Unit_A:B.html", "a b:c", "#top"}) {
    EXPECT_FALSE(hasUrlScheme(link)) << link;
  }
}

}  // namespace platform

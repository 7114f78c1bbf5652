#include "templates/tag_signature.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/text.h"

namespace templates {
namespace {

bool holds(std::string_view line, std::string_view tag, bool caseSensitive) {
  if (caseSensitive) return line.find(tag) != std::string_view::npos;
  return platform::upperCase(line).find(platform::upperCase(tag)) != std::string::npos;
}

TEST(TagSignature, NeverRulesOutATagTheLineHolds) {
  // Lines and tags from a small alphabet, so tags occur often, overlap and
  // touch each other and stray marks.
  std::mt19937 random(20261209);
  const std::string alphabet = "##aAbB_\xE9\xC9 ";
  const auto text = [&](size_t length) {
    std::string result;
    for (size_t i = 0; i < length; ++i) result += alphabet[random() % alphabet.size()];
    return result;
  };
  int occurrences = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string line = text(random() % 40);
    const std::string tag = "##" + text(random() % 4) + "##";
    // Half of the lines get the tag planted, a third of those in other
    // capitals.
    if (random() % 2 == 0) {
      const std::string planted = random() % 3 == 0 ? platform::upperCase(tag) : tag;
      line.insert(random() % (line.size() + 1), planted);
    }
    const std::uint64_t bit = tagBit(tag);
    for (const bool caseSensitive : {true, false}) {
      if (!holds(line, tag, caseSensitive)) continue;
      ++occurrences;
      // A tag with a mark inside its name has no bit: every line is searched.
      if (bit != 0) {
        EXPECT_NE(0u, tagSignature(line) & bit) << line << " / " << tag;
      }
    }
  }
  EXPECT_GT(occurrences, 1000);
}

TEST(TagSignature, OnlyTagsOfTheNameFormHaveABit) {
  EXPECT_NE(0u, tagBit("##UnitName##"));
  EXPECT_NE(0u, tagBit("####"));
  EXPECT_EQ(0u, tagBit("UnitName"));
  EXPECT_EQ(0u, tagBit("##Unit#Name##"));
  EXPECT_EQ(0u, tagBit("##A#"));
  EXPECT_EQ(0u, tagBit(""));
  EXPECT_EQ(0u, tagSignature("no tags at all # here"));
  EXPECT_EQ(tagBit("##UnitName##"), tagSignature("x ##unitNAME## y"));
}

}  // namespace
}  // namespace templates

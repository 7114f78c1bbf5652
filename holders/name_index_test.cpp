#include "holders/name_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace holders {
namespace {

// Values are numbered from 1; 0 stands for "not found".
int holder(int n) {
  return n + 1;
}

// What a scan from the first entry finds: the reference the index must match.
int scan(const std::vector<std::pair<std::string, int>>& entries, std::string_view name,
         bool caseSensitive) {
  for (const auto& [entryName, item] : entries) {
    if (caseSensitive ? entryName == name : platform::sameText(entryName, name)) return item;
  }
  return 0;
}

TEST(NameIndex, FindsWhatAScanFromTheFirstEntryFinds) {
  // Few letters, so names repeat in several spellings; enough entries to
  // make the slot array grow several times.
  std::mt19937 random(7);
  const std::string letters = "aAbB\xe9\xc9_1";
  auto randomName = [&] {
    // Mostly short, so that names repeat; some past the eight bytes the
    // hash takes at a time.
    std::string name(1 + random() % (random() % 8 == 0 ? 12 : 4), ' ');
    for (char& c : name) c = letters[random() % letters.size()];
    return name;
  };
  // Once growing as entries come, once sized beforehand, the second time
  // with entries already in.
  for (const bool sized : {false, true}) {
    NameIndex<int, true> index;
    std::vector<std::pair<std::string, int>> entries;
    for (int n = 0; n < 3000; ++n) {
      if (sized && n % 1000 == 0) index.reserve(1000, 4000);
      entries.emplace_back(randomName(), holder(n));
      index.add(entries.back().first, entries.back().second);
    }
    EXPECT_EQ(index.size(), entries.size());
    for (int probe = 0; probe < 3000; ++probe) {
      const std::string name = randomName();
      for (const bool caseSensitive : {false, true}) {
        SCOPED_TRACE(name + (caseSensitive ? " (case-sensitive)" : ""));
        EXPECT_EQ(index.find(name, caseSensitive).value_or(0), scan(entries, name, caseSensitive));
      }
      if (scan(entries, name, false) != 0) {
        EXPECT_TRUE(index.mayHold(name)) << name;
      }
    }
  }
}

// Names equal ignoring case hash alike, whatever their length (the hash
// takes eight bytes at a time, ASCII ones upper-cased arithmetically) and
// whichever Windows-1252 letters they hold.
TEST(NameIndex, NamesEqualIgnoringCaseHashAlike) {
  std::mt19937 random(9);
  const std::string bytes = "azAZ`@{[_09\x9a\x8a\xe9\xc9\xff\x9f\x7f";
  for (int run = 0; run < 20000; ++run) {
    std::string name(random() % 41, ' ');
    for (char& c : name) c = bytes[random() % bytes.size()];
    std::string other = name;
    for (char& c : other) {
      const std::string single(1, c);
      if (random() % 2 == 0) c = platform::upperCase(single)[0];
    }
    ASSERT_TRUE(platform::sameText(name, other));
    ASSERT_EQ(hashIgnoringCase(name), hashIgnoringCase(other)) << name << " / " << other;
    ASSERT_EQ(hashIgnoringCase(name), hashIgnoringCase(platform::upperCase(name)));
  }
}

TEST(NameIndex, EmptyAndClearedIndexesFindNothing) {
  NameIndex<int, true> index;
  EXPECT_EQ(index.find("TFoo", false).value_or(0), 0);
  index.add("TFoo", holder(1));
  EXPECT_EQ(index.find("tfoo", false).value_or(0), holder(1));
  EXPECT_EQ(index.find("tfoo", true).value_or(0), 0);
  EXPECT_EQ(index.find("", false).value_or(0), 0);
  index.clear();
  EXPECT_EQ(index.find("TFoo", false).value_or(0), 0);
  EXPECT_FALSE(index.mayHold("TFoo"));
  index.add("", holder(2));
  EXPECT_EQ(index.find("", true).value_or(0), holder(2));
}

TEST(NameIndex, MayHoldOnlyNamesBeginningAsOneOfItsOwn) {
  NameIndex<int, true> index;
  EXPECT_FALSE(index.mayHold("TFoo"));
  EXPECT_FALSE(index.mayHold(""));
  index.add("TFoo", holder(1));
  index.add("\xe9t\xe9", holder(2));  // Windows-1252 e acute
  EXPECT_TRUE(index.mayHold("tbar"));
  EXPECT_TRUE(index.mayHold("\xc9T"));  // its capital
  EXPECT_FALSE(index.mayHold("$0001"));
  EXPECT_FALSE(index.mayHold("1"));
  EXPECT_FALSE(index.mayHold(""));
  index.add("", holder(3));
  EXPECT_TRUE(index.mayHold(""));
  index.release();
  EXPECT_FALSE(index.mayHold("TFoo"));
}

}  // namespace
}  // namespace holders

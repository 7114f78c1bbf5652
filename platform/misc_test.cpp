#include "platform/misc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace platform {
namespace {

using testing_support::TempDir;

TEST(Misc, AddAndStripBackslashTreatBothSeparatorsAlike) {
  struct Row {
    const char* path;
    const char* added;
    const char* stripped;
  } rows[] = {
      {"", "", ""},  // empty stays empty both ways
      {"dir", "dir/", "dir"},
      {"dir/", "dir/", "dir"},
      {"C:\\Src\\", "C:\\Src\\", "C:\\Src"},
      {"dir//", "dir//", "dir/"},  // only one separator goes
      {"a\\\\", "a\\\\", "a\\"},
      {"/", "/", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(row.added, AddBackslash(row.path));
    EXPECT_EQ(row.stripped, StripBackslash(row.path));
  }
}

TEST(Misc, BoolTextAndFlags) {
  EXPECT_EQ("TRUE", BoolText(true));
  EXPECT_EQ("FALSE", BoolText(false));
  EXPECT_TRUE(FlagsSet(0b101, 0b111));
  EXPECT_FALSE(FlagsSet(0b101, 0b100));
  EXPECT_TRUE(FlagsSet(0, 0));
  int value = 0b001;
  SetFlags(0b110, value, true);
  EXPECT_EQ(0b111, value);
  SetFlags(0b011, value, false);
  EXPECT_EQ(0b100, value);
}

TEST(Misc, EnvironmentValueUsesTheUpperCasedNameAndCapsTheLength) {
  ::setenv("KORVEX_TEST_VALUE", "found", 1);
  EXPECT_EQ("found", EnvironmentValue("korvex_Test_value"));
  ::setenv("KORVEX_TEST_VALUE", std::string(600, 'v').c_str(), 1);
  EXPECT_EQ(std::string(512, 'v'), EnvironmentValue("KORVEX_TEST_VALUE"));
  ::unsetenv("KORVEX_TEST_VALUE");
  EXPECT_EQ("", EnvironmentValue("KORVEX_TEST_VALUE"));
  // Only the upper-cased name is looked up.
  ::setenv("korvex_lower_only", "x", 1);
  EXPECT_EQ("", EnvironmentValue("korvex_lower_only"));
  ::unsetenv("korvex_lower_only");
}

TEST(Misc, FindFilesListsMatchingFilesOnly) {
  TempDir dir;
  dir.write("Langs/b.lnf", "");
  dir.write("Langs/A.LNF", "");
  dir.write("Langs/notes.txt", "");
  dir.write("Langs/sub.lnf/inner.lnf", "");  // a directory that matches the mask
  std::vector<std::string> list{"stale entry"};
  FindFiles(dir.path() + "/Langs", "*.lnf", list);
  EXPECT_EQ(std::vector<std::string>({dir.path() + "/Langs/A.LNF", dir.path() + "/Langs/b.lnf"}),
            list);

  // The directory is found ignoring case; entries start with it as given.
  FindFiles(dir.path() + "\\LANGS\\", "*.TXT", list);
  EXPECT_EQ(std::vector<std::string>{dir.path() + "\\LANGS\\notes.txt"}, list);

  FindFiles(dir.path() + "/missing", "*", list);
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace platform

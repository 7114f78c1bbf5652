#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace platform {
namespace {

using testing_support::readBytes;
using testing_support::TempDir;

// Written as the configuration utility and hand editing leave such files:
// LF and CR LF mixed, comments, odd spacing.
constexpr std::string_view kSample =
    "; project settings\r\n"
    "orphan=before any section\n"
    "[Options]\r\n"
    "  FirstLineStart = ! \r\n"
    "Quoted=\" padded \"\r\n"
    "Single='x'\r\n"
    "Mismatched=\"x'\r\n"
    "Lonely=\"\r\n"
    "Equals=a=b\r\n"
    "Empty=\r\n"
    "; Commented=1\r\n"
    "no equals sign here\r\n"
    "Twice=first\r\n"
    "twice=second\r\n"
    "\r\n"
    "[Files]\r"
    "C:\\Src\\My Unit.pas=\r"
    "../lib/other.pas=\r"
    "\r\n"
    "[options]\r\n"
    "Hidden=duplicate section\r\n";

TEST(Profile, ReadsValuesWithWindowsRules) {
  const Profile profile = Profile::fromText(kSample);
  struct Row {
    const char* section;
    const char* key;
    const char* expected;
    const char* why;
  } rows[] = {
      {"Options", "FirstLineStart", "!", "key and value are trimmed"},
      {"OPTIONS", "firstlinestart", "!", "section and key ignore case"},
      {" Options ", " FirstLineStart ", "!", "names asked for are trimmed too"},
      {"Options", "Quoted", " padded ", "one pair of quotes goes, blanks inside stay"},
      {"Options", "Single", "x", "single quotes are removed as well"},
      {"Options", "Mismatched", "\"x'", "quotes that do not match stay"},
      {"Options", "Lonely", "\"", "a lone quote is not a pair"},
      {"Options", "Equals", "a=b", "the value starts after the first '='"},
      {"Options", "Empty", "", "a present empty value is not the default"},
      {"Options", "; Commented", "default", "a comment is never a key"},
      {"Options", "no equals sign here", "default", "a line without '=' is not a key"},
      {"Options", "Twice", "first", "the first of two equal keys counts"},
      {"Options", "Hidden", "default", "the first of two equal sections counts"},
      {"Options", "Missing", "default", "a missing key gives the default"},
      {"Nowhere", "Empty", "default", "a missing section gives the default"},
      {"", "orphan", "default", "lines before any section belong to none"},
      {"Files", "c:\\src\\my unit.PAS", "", "a path with '\\', ':' and blanks is a key"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.expected, profile.ReadString(row.section, row.key, "default"));
  }
}

TEST(Profile, IntegersAndBooleansNeedAWholeNumber) {
  struct Row {
    const char* value;
    int integer;   // ReadInteger with default 99
    bool boolean;  // ReadBool with default true
    const char* why;
  } rows[] = {
      {"12", 12, true, "plain number"},
      {"0", 0, false, "zero is false"},
      {"-3", -3, true, "negative numbers are whole numbers, and true"},
      {"+4", 4, true, "a plus sign is allowed"},
      {" 7 ", 7, true, "the value is trimmed first"},
      {"'5'", 5, true, "quotes are removed first"},
      {"2147483647", 2147483647, true, "largest int"},
      {"-2147483648", -2147483647 - 1, true, "smallest int"},
      {"2147483648", 99, true, "out of range gives the default"},
      {"1.5", 99, true, "a fraction is not a whole number"},
      {"12abc", 99, true, "trailing text makes it no number"},
      {"0x10", 99, true, "hexadecimal is not read"},
      {"+-1", 99, true, "two signs"},
      {"-", 99, true, "a sign alone"},
      {"", 99, true, "empty value"},
      {"yes", 99, true, "words are not numbers"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const Profile profile = Profile::fromText(std::string("[S]\nk=") + row.value + "\n");
    EXPECT_EQ(row.integer, profile.ReadInteger("S", "k", 99));
    EXPECT_EQ(row.boolean, profile.ReadBool("S", "k", true));
  }
  const Profile profile = Profile::fromText("[S]\nk=no\n");
  EXPECT_FALSE(profile.ReadBool("S", "k", false));
  EXPECT_FALSE(profile.ReadBool("S", "missing", false));
}

TEST(Profile, ReadSectionListsKeysInFileOrder) {
  const Profile profile = Profile::fromText(kSample);
  EXPECT_EQ(std::vector<std::string>({"C:\\Src\\My Unit.pas", "../lib/other.pas"}),
            profile.ReadSection("files"));
  EXPECT_EQ(std::vector<std::string>({"FirstLineStart", "Quoted", "Single", "Mismatched", "Lonely",
                                      "Equals", "Empty", "Twice", "twice"}),
            profile.ReadSection("Options"));
  EXPECT_TRUE(profile.ReadSection("Missing").empty());
  EXPECT_TRUE(profile.SectionExists("FILES"));
  EXPECT_TRUE(Profile::fromText("[Empty]\n").SectionExists("empty"));
  EXPECT_FALSE(profile.SectionExists("Missing"));
}

TEST(Profile, WritingKeepsEverythingElseByteForByte) {
  Profile profile = Profile::fromText(
      "; keep me\r\n"
      "[Options]\r\n"
      "Unknown = stays  \r\n"
      "  LINKSEARCHINRECORDS=0\r\n"
      "stray text\r\n"
      "\r\n"
      "; about files\r\n"
      "[Files]\r\n"
      "a.pas=\r\n");
  profile.WriteBool("options", "LinkSearchInRecords", true);  // replaced in place
  profile.WriteInteger("Options", "KorvexProjectScope", 3);   // appended after the last key
  profile.WriteString("Options", " Language ", "Deutsch");    // key name trimmed
  profile.WriteBool("Options", "ShowMethodExtra", false);
  profile.WriteString("New", "C:\\x y\\z.pas", "");  // new section at the end
  EXPECT_EQ(
      "; keep me\r\n"
      "[Options]\r\n"
      "Unknown = stays  \r\n"
      "LINKSEARCHINRECORDS=1\r\n"
      "KorvexProjectScope=3\r\n"
      "Language=Deutsch\r\n"
      "ShowMethodExtra=0\r\n"
      "stray text\r\n"
      "\r\n"
      "; about files\r\n"
      "[Files]\r\n"
      "a.pas=\r\n"
      "[New]\r\n"
      "C:\\x y\\z.pas=\r\n",
      profile.text());
  EXPECT_EQ(3, profile.ReadInteger("OPTIONS", "korvexprojectscope", 0));
  EXPECT_TRUE(profile.ReadBool("Options", "LinkSearchInRecords", false));

  Profile noKeys = Profile::fromText("[Files]\r\n; the units\r\n\r\n[Next]\r\n");
  noKeys.WriteString("Files", "a.pas", "");
  EXPECT_EQ("[Files]\r\n; the units\r\na.pas=\r\n\r\n[Next]\r\n", noKeys.text());
  EXPECT_TRUE(profile.ReadBool("Options", "LinkSearchInRecords", false));
}

TEST(Profile, EraseSectionThenRewriteAppendsTheSection) {
  // The configuration utility erases [Files] and writes the list anew.
  Profile profile = Profile::fromText(
      "[Files]\r\nold.pas=\r\n[Options]\r\nLanguage=English\r\n[files]\r\nolder.pas=\r\n");
  profile.EraseSection("FILES");
  EXPECT_FALSE(profile.SectionExists("Files"));
  profile.WriteString("Files", "new1.pas", "");
  profile.WriteString("Files", "new2.pas", "");
  EXPECT_EQ("[Options]\r\nLanguage=English\r\n[Files]\r\nnew1.pas=\r\nnew2.pas=\r\n",
            profile.text());
  profile.EraseSection("Missing");  // nothing to do
  EXPECT_EQ(std::vector<std::string>({"new1.pas", "new2.pas"}), profile.ReadSection("Files"));
}

TEST(Profile, DeleteKeyRemovesOnlyThatLine) {
  Profile profile = Profile::fromText("[S]\na=1\nb=2\nc=3\n[T]\nb=4\n");
  profile.DeleteKey("s", "B");
  profile.DeleteKey("S", "missing");
  profile.DeleteKey("Missing", "a");
  EXPECT_EQ("[S]\r\na=1\r\nc=3\r\n[T]\r\nb=4\r\n", profile.text());
  EXPECT_EQ("3", profile.ReadString("S", "c", ""));  // the index follows the shift
  profile.WriteString("S", "c", "5");
  EXPECT_EQ("[S]\r\na=1\r\nc=5\r\n[T]\r\nb=4\r\n", profile.text());
}

TEST(Profile, DeleteKeyRemovesARepeatedKeyWhole) {
  // Found by fuzzing: the second "b" was read once the first was deleted.
  Profile profile = Profile::fromText("[S]\nb=1\nB = 2\nc=3\n[S]\nb=4\n");
  profile.DeleteKey("S", "b");
  EXPECT_EQ("none", profile.ReadString("S", "b", "none"));
  EXPECT_EQ("[S]\r\nc=3\r\n[S]\r\nb=4\r\n", profile.text()) << "only the section read";
}

TEST(Profile, LineBreaksCannotInjectLines) {
  Profile profile = Profile::fromText("");
  profile.WriteString("S", "key\nname", "value\r\n[Injected]\r\nx=1");
  const Profile reread = Profile::fromText(profile.text());
  EXPECT_FALSE(reread.SectionExists("Injected"));
  EXPECT_EQ("value  [Injected]  x=1", reread.ReadString("S", "key name", ""));
}

TEST(Profile, ManyKeysStayFast) {
  // Thousands of files in [Files]: each write must not rescan the section.
  Profile profile = Profile::fromText("");
  std::vector<std::string> expected;
  for (int i = 0; i < 20000; ++i) {
    expected.push_back("unit" + std::to_string(i) + ".pas");
    profile.WriteString("Files", expected.back(), "");
  }
  const Profile reread = Profile::fromText(profile.text());
  EXPECT_EQ(expected, reread.ReadSection("Files"));
}

TEST(ProfileFile, MissingFileReadsEmptyAndUpdateFileCreatesIt) {
  TempDir dir;
  Profile profile(dir.file("new.ini"));
  EXPECT_EQ("d", profile.ReadString("S", "k", "d"));
  EXPECT_FALSE(profile.SectionExists("S"));
  profile.WriteString("S", "k", "v");
  profile.UpdateFile();
  EXPECT_EQ("[S]\r\nk=v\r\n", readBytes(dir.file("new.ini")));
}

TEST(ProfileFile, FileIsFoundIgnoringCaseAndWrittenBackInPlace) {
  TempDir dir;
  dir.write("Conf/korvex.ini", "[Options]\nLanguage=English\n");
  Profile profile(dir.path() + "\\CONF\\KORVEX.INI");
  EXPECT_EQ("English", profile.ReadString("Options", "Language", ""));
  profile.WriteString("Options", "Language", "Deutsch");
  profile.UpdateFile();
  EXPECT_EQ("[Options]\r\nLanguage=Deutsch\r\n", readBytes(dir.file("Conf/korvex.ini")));
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.file("Conf")),
                             std::filesystem::directory_iterator()));
}

}  // namespace
}  // namespace platform

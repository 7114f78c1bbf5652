#include "templates/document_template.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <random>

#include "platform/files.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

namespace templates {
namespace {

using Lines = std::vector<std::string>;
using testing_support::TempDir;

struct ReplaceCase {
  Lines page;
  std::string tag;
  std::string value;
  bool caseSensitive;
  Lines expected;
  int count;
  const char* why;
};

TEST(DocumentTemplate, ReplaceTagFollowsTheSubstitutionRules) {
  const ReplaceCase cases[] = {
      {{"##UnitName##-##UnitName##"},
       "##UnitName##",
       "Main",
       true,
       {"Main-Main"},
       2,
       "two occurrences on one line, both replaced"},
      {{"a ##T##", "b", "##T## c"},
       "##T##",
       "x",
       true,
       {"a x", "b", "x c"},
       2,
       "occurrences on several lines"},
      {{"##Unit", "Name##"},
       "##UnitName##",
       "Main",
       true,
       {"##Unit", "Name##"},
       0,
       "a tag broken over two lines is never found"},
      {{"[##T##]"}, "##T##", "", true, {"[]"}, 1, "an empty value deletes the tag and counts"},
      {{"##unitname##"},
       "##UnitName##",
       "Main",
       false,
       {"Main"},
       1,
       "case-insensitive mode finds other capitals"},
      {{"##unitname##"},
       "##UnitName##",
       "Main",
       true,
       {"##unitname##"},
       0,
       "case-sensitive mode needs the exact spelling"},
      {{"x##unitNAME##y"},
       "##UnitName##",
       "m",
       false,
       {"xmy"},
       1,
       "the value replaces the original characters, not the upper-cased copy"},
      {{"\xE9##\xE9t\xE9##"},
       "##\xC9T\xC9##",
       "v",
       false,
       {"\xE9v"},
       1,
       "accented letters match their capitals in case-insensitive mode"},
      {{"##T## ##T##"},
       "##T##",
       "<##T##>",
       true,
       {"<##T##> <##T##>"},
       2,
       "a value holding its own tag is inserted once per occurrence and ends"},
      {{"##T##"},
       "##T##",
       "##T####T##",
       false,
       {"##T####T##"},
       1,
       "the same in case-insensitive mode"},
      {{"no tags here"}, "##T##", "x", true, {"no tags here"}, 0, "nothing to replace"},
      {{"##T##"}, "", "x", true, {"##T##"}, 0, "an empty tag matches nothing"},
      {{"####T####"}, "##T##", "x", true, {"##x##"}, 1, "surrounding number signs are plain text"},
      {{"##A##"},
       "##A##",
       "line1\r\nline2",
       true,
       {"line1\r\nline2"},
       1,
       "a multi-line value stays inside one line"},
  };
  for (const ReplaceCase& row : cases) {
    SCOPED_TRACE(row.why);
    TDocumentTemplate page;
    page.SetTemplate(row.page);
    EXPECT_EQ(row.count, page.ReplaceTag(row.tag, row.value, row.caseSensitive));
    EXPECT_EQ(row.expected, page.Document());
    EXPECT_EQ(row.page, page.Template());
  }
}

TEST(DocumentTemplate, AValueIsSubstitutedByLaterCalls) {
  TDocumentTemplate page;
  page.SetTemplate({"{##TypeBanner##}"});
  page.ReplaceTag("##TypeBanner##", "see ##UnitName##", true);
  page.ReplaceTag("##UnitName##", "Main", true);
  EXPECT_EQ(Lines{"{see Main}"}, page.Document());
}

TEST(DocumentTemplate, TagsFormedAcrossAReplacedTagAreFound) {
  TDocumentTemplate page;
  page.SetTemplate({"##a###T###", "x####U####y"});
  // An empty value joins "##a#" and "#" into "##a##".
  EXPECT_EQ(1, page.ReplaceTag("##T##", "", true));
  EXPECT_EQ(1, page.ReplaceTag("##a##", "A", true));
  // A value between two pairs of marks makes a tag of its own.
  EXPECT_EQ(1, page.ReplaceTag("##U##", "v", true));
  EXPECT_EQ(1, page.ReplaceTag("##v##", "V", true));
  EXPECT_EQ((Lines{"A", "xVy"}), page.Document());
}

TEST(DocumentTemplate, AnyRunOfReplacementsMatchesTheSimplestSearch) {
  // The page keeps where its tags are to spare searches; whatever the text,
  // it must replace exactly what searching each line afresh replaces.
  // Pages, tags and values come from a small alphabet rich in marks, so
  // tags overlap, touch, and form anew from a value and its neighbours.
  std::mt19937 random(20261209);
  const std::string alphabet = "###aAbB_\xE9\xC9";
  const auto text = [&](size_t length) {
    std::string result;
    for (size_t i = 0; i < length; ++i) result += alphabet[random() % alphabet.size()];
    return result;
  };
  const auto replaceSimply = [](std::string& line, const std::string& tag, const std::string& value,
                                bool caseSensitive) {
    int count = 0;
    size_t at = 0;
    for (;;) {
      const std::string haystack = caseSensitive ? line : platform::upperCase(line);
      at = haystack.find(caseSensitive ? tag : platform::upperCase(tag), at);
      if (at == std::string::npos) return count;
      line.replace(at, tag.size(), value);
      at += value.size();
      ++count;
    }
  };
  for (int round = 0; round < 10000; ++round) {
    Lines expected;
    for (size_t i = random() % 4; i > 0; --i) expected.push_back(text(random() % 30));
    TDocumentTemplate page;
    page.SetTemplate(expected);
    for (int call = 0; call < 8; ++call) {
      const std::string tag =
          random() % 8 == 0 ? text(1 + random() % 4) : "##" + text(random() % 3) + "##";
      // Values without marks, empty ones most of all, are the ones that
      // leave the rest of the line's keys in place.
      std::string value = random() % 3 == 0 ? std::string() : text(random() % 6);
      if (random() % 2 == 0) std::erase(value, '#');
      const bool caseSensitive = random() % 3 != 0;
      int count = 0;
      for (std::string& line : expected) count += replaceSimply(line, tag, value, caseSensitive);
      // Filling the page's copy at the places found beforehand gives the
      // text that the replacement leaves.
      std::string filled = "before";
      page.AppendFilled(page.FindTagPlaces(tag, caseSensitive), value, filled);
      ASSERT_EQ(count, page.ReplaceTag(tag, value, caseSensitive)) << tag << " -> " << value;
      ASSERT_EQ(expected, page.Document()) << tag << " -> " << value;
      ASSERT_EQ("before" + page.Text(), filled) << tag << " -> " << value;
    }
  }
}

TEST(DocumentTemplate, TextEndsEveryLineWithCrLf) {
  TDocumentTemplate page;
  EXPECT_EQ("", page.Text());
  page.SetTemplate({"a", "", "b"});
  EXPECT_EQ("a\r\n\r\nb\r\n", page.Text());
}

class DocumentTemplateFiles : public ::testing::Test {
 protected:
  TempDir dir_;
  TemplateCache cache_;
};

TEST_F(DocumentTemplateFiles, LoadFromFileAcceptsEveryLineEnd) {
  const Lines expected{"{\\rtf1", "##UnitName##", "}"};
  for (const char* bytes : {"{\\rtf1\r\n##UnitName##\r\n}\r\n", "{\\rtf1\n##UnitName##\n}",
                            "{\\rtf1\r##UnitName##\r}\r"}) {
    SCOPED_TRACE(bytes);
    const std::string path = dir_.write(std::to_string(std::hash<std::string>{}(bytes)), bytes);
    TDocumentTemplate page(cache_);
    page.LoadFromFile(path);
    EXPECT_EQ(expected, page.Document());
    EXPECT_EQ(expected, page.Template());
  }
}

TEST_F(DocumentTemplateFiles, AMissingPageIsEmpty) {
  TDocumentTemplate page(cache_);
  page.SetTemplate({"left over"});
  page.LoadFromFile(dir_.file("Absent.TPF"));
  EXPECT_TRUE(page.Document().empty());
  EXPECT_TRUE(page.Template().empty());
  EXPECT_EQ(0, page.ReplaceTag("##UnitName##", "Main", true));
  EXPECT_EQ("", page.Text());
  EXPECT_TRUE(
      TDocumentTemplate::CreateFromFile(dir_.file("Absent.TPF"), cache_).Document().empty());
}

TEST_F(DocumentTemplateFiles, ReloadingDiscardsEarlierReplacements) {
  const std::string path = dir_.write("UnitJump.TPF", "[##UnitName##]\r\n");
  TDocumentTemplate page(cache_);
  page.LoadFromFile(path);
  page.ReplaceTag("##UnitName##", "First", true);
  page.LoadFromFile(path);
  EXPECT_EQ(Lines{"[##UnitName##]"}, page.Document());
}

TEST_F(DocumentTemplateFiles, TemplateFileKeepsThePreviousPageWhenTheFileIsMissing) {
  const std::string path = dir_.write("Page.TPF", "page\r\n");
  TDocumentTemplate page(cache_);
  page.SetTemplateFile(path);
  EXPECT_EQ(path, page.TemplateFile());
  EXPECT_EQ(Lines{"page"}, page.Document());
  page.SetTemplateFile(dir_.file("Missing.TPF"));
  EXPECT_EQ(dir_.file("Missing.TPF"), page.TemplateFile());
  EXPECT_EQ(Lines{"page"}, page.Document());
  EXPECT_EQ(Lines{"page"}, page.Template());
}

TEST_F(DocumentTemplateFiles, LoadFromFileLeavesTemplateFileAlone) {
  const std::string path = dir_.write("Page.TPF", "page\r\n");
  TDocumentTemplate page = TDocumentTemplate::CreateFromFile(path, cache_);
  EXPECT_EQ(Lines{"page"}, page.Document());
  page.LoadFromFile(path);
  EXPECT_EQ("", page.TemplateFile());
}

TEST_F(DocumentTemplateFiles, ASecondLoadDoesNotReadTheDisk) {
  const std::string path = dir_.write("Header.TPF", "{\\rtf1\r\n");
  TDocumentTemplate::CreateFromFile(path, cache_);
  std::filesystem::remove(path);
  TDocumentTemplate page(cache_);
  page.LoadFromFile(path);
  EXPECT_EQ(Lines{"{\\rtf1"}, page.Document());
}

TEST_F(DocumentTemplateFiles, AMissingFileIsRememberedAsMissing) {
  const std::string path = dir_.file("Late.TPF");
  TDocumentTemplate page(cache_);
  page.LoadFromFile(path);
  dir_.write("Late.TPF", "late\r\n");
  page.LoadFromFile(path);
  EXPECT_TRUE(page.Document().empty());
  cache_.clear();
  page.LoadFromFile(path);
  EXPECT_EQ(Lines{"late"}, page.Document());
}

TEST_F(DocumentTemplateFiles, SpellingsOfOneFileShareTheCachedCopy) {
  const std::string path = dir_.write("Template/UnitPage.TPF", "unit\r\n");
  TDocumentTemplate::CreateFromFile(path, cache_);
  dir_.write("Template/UnitPage.TPF", "changed\r\n");
  TDocumentTemplate page(cache_);
  page.LoadFromFile(dir_.path() + "\\TEMPLATE\\UNITPAGE.TPF");
  EXPECT_EQ(Lines{"unit"}, page.Document());
}

TEST_F(DocumentTemplateFiles, AnUnreadablePageRaisesAFileError) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = dir_.write("Locked.TPF", "x\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  TDocumentTemplate page(cache_);
  EXPECT_THROW(page.LoadFromFile(path), platform::FileError);
}

TEST(DocumentTemplateProcessCache, PagesWithoutACacheShareTheProcessCache) {
  TempDir dir;
  const std::string path = dir.write("Shared.TPF", "shared\r\n");
  TDocumentTemplate::CreateFromFile(path);
  std::filesystem::remove(path);
  TDocumentTemplate page;
  page.LoadFromFile(path);
  EXPECT_EQ(Lines{"shared"}, page.Document());
}

}  // namespace
}  // namespace templates

#include "lang/language_center.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/text.h"
#include "tests/support/test_support.h"

namespace lang {
namespace {

// Everything observable about a center, to prove that an operation changed
// nothing.
struct Snapshot {
  std::vector<std::string> ids, descriptions, langIDs, names;
  std::vector<std::vector<std::string>> texts;
  int current = -1;
  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const TCustomLanguageCenter& center) {
  Snapshot s;
  for (int i = 0; i < center.StringCount(); ++i) {
    s.ids.push_back(center.StringIDs(i));
    s.descriptions.push_back(center.StringDescriptions(i));
  }
  for (int l = 0; l < center.LanguageCount(); ++l) {
    s.langIDs.push_back(center.Languages(l).LangID());
    s.names.push_back(center.Languages(l).LanguageName);
    s.texts.push_back(center.Languages(l).Strings());
  }
  s.current = center.indexOfLanguageSet(center.CurrentLanguage());
  return s;
}

// ENG (current, first) and DEU, strings A and B.
void fillTwoLanguages(TCustomLanguageCenter& center) {
  center.AddLanguage("ENG", "English");
  center.AddLanguage("deu", "Deutsch");
  center.AddString("A", "first", "Alpha");
  center.AddString("B", "second", "Beta");
  center.SetText(1, 0, "Alpha-de");
}

TEST(LanguageCenter, StartsEmptyWithTheDefaultSignature) {
  TCustomLanguageCenter center;
  EXPECT_EQ(0, center.StringCount());
  EXPECT_EQ(0, center.LanguageCount());
  EXPECT_EQ(nullptr, center.CurrentLanguage());
  EXPECT_EQ("TCustomLanguageCenter File", center.Signature);
  EXPECT_EQ("", center.MissingStr);
  EXPECT_EQ("", center.UntranslatedStr);
}

TEST(LanguageCenter, CleanIdentifierKeepsAsciiLettersDigitsAndUnderscore) {
  const struct {
    std::string in, out, why;
  } rows[] = {
      {"my Word-List.x", "myWordListx", "blanks and punctuation dropped"},
      {" 9x-y ", "9xy", "a digit may come first"},
      {"--", "", "only punctuation"},
      {"A_b_1", "A_b_1", "already clean"},
      {"\xC4pfel", "pfel", "accented letters are not ASCII"},
  };
  TCustomLanguageCenter center;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.out, center.CleanIdentifier(row.in));
  }
}

TEST(LanguageCenter, AddStringCleansTheIdAndRefusesEmptyOrDuplicateIds) {
  TCustomLanguageCenter center;
  EXPECT_EQ(0, center.AddString(" 9x-y ", "d", "t"));
  EXPECT_EQ("9xy", center.StringIDs(0));
  EXPECT_EQ("d", center.StringDescriptions(0));
  EXPECT_EQ(1, center.AddString("ABC", "", ""));
  EXPECT_THROW_MSG(center.AddString("--", "", ""), ELanguageError, "No StringID specified");
  EXPECT_THROW_MSG(center.AddString("Abc", "", ""), ELanguageError,
                   "The StringID, Abc, already exists");
  EXPECT_THROW_MSG(center.AddString("A b-c", "", ""), ELanguageError,
                   "The StringID, Abc, already exists");
  EXPECT_EQ(1, center.IndexOfString("abc"));
  EXPECT_EQ(-1, center.IndexOfString("a b c")) << "the argument is not cleaned";
}

TEST(LanguageCenter, AddStringGivesTheTextToTheFirstLanguageAndMarksTheOthers) {
  TCustomLanguageCenter center;
  center.UntranslatedStr = "*";
  center.AddLanguage("ENG", "English");
  TLanguageSet& deu = center.AddLanguage("DEU", "Deutsch");
  center.SetCurrentLanguage(&deu);  // position 0 decides, not the current language
  center.AddString("X", "", "Hello");
  EXPECT_EQ("Hello", center.GetText(0, 0));
  EXPECT_EQ("*Hello", center.GetText(1, 0));
}

TEST(LanguageCenter, AddLanguageSeedsFromTheCurrentLanguage) {
  TCustomLanguageCenter center;
  center.UntranslatedStr = "*";
  for (const char* id : {"A", "B"}) center.AddString(id, "", "ignored");
  TLanguageSet& eng = center.AddLanguage("eng", "English");
  SCOPED_TRACE("with no current language the texts are empty and the language becomes current");
  EXPECT_EQ((std::vector<std::string>{"", ""}), eng.Strings());
  EXPECT_EQ(&eng, center.CurrentLanguage());
  EXPECT_EQ("ENG", eng.LangID());
  eng.SetString(0, "a");
  TLanguageSet& deu = center.AddLanguage("DEU", "Deutsch");
  EXPECT_EQ((std::vector<std::string>{"*a", ""}), deu.Strings());
  EXPECT_EQ(&eng, center.CurrentLanguage());
  EXPECT_EQ("Deutsch", deu.LanguageName);
  EXPECT_EQ("", deu.FileName);
}

TEST(LanguageCenter, LanguageIdsAreUniqueIgnoringCase) {
  TCustomLanguageCenter center;
  center.AddLanguage("ENG", "English");
  EXPECT_THROW_MSG(center.AddLanguage("eng", "Other"), ELanguageError,
                   "The LangID, eng, is not unique");
  EXPECT_EQ(0, center.IndexOfLanguage("Eng"));
  EXPECT_EQ(-1, center.IndexOfLanguage("DEU"));
  EXPECT_EQ("English", center.LanguageByID("eng").LanguageName);
}

TEST(LanguageCenter, MissingStringsReadAsMissingStr) {
  TCustomLanguageCenter center;
  fillTwoLanguages(center);
  EXPECT_EQ("", center.Texts(0, center.StringCount()));
  center.MissingStr = "??";
  EXPECT_EQ("??", center.Texts(0, center.StringCount()));
  EXPECT_EQ("??", center.Texts(0, -1));
  EXPECT_EQ("??", center.TextsByID(0, "NoSuchID"));
  EXPECT_EQ("Alpha-de", center.TextsByID(1, "a"));
  EXPECT_EQ("Alpha", center.currentText(0));
  EXPECT_EQ("??", center.currentText(2));
}

TEST(LanguageCenter, IndexErrorsAreTheListsOwn) {
  TCustomLanguageCenter center;
  fillTwoLanguages(center);
  const std::vector<std::pair<std::string, std::function<void()>>> rows = {
      {"language index", [&] { center.Languages(2); }},
      {"negative language index", [&] { center.Languages(-1); }},
      {"unknown language ID", [&] { center.LanguageByID("FRA"); }},
      {"text of a valid string in a missing language", [&] { center.GetText(5, 0); }},
      {"write past the table", [&] { center.SetText(0, 2, "x"); }},
      {"write by unknown ID", [&] { center.SetTextByID(0, "Nope", "x"); }},
      {"string info index", [&] { center.StringIDs(2); }},
      {"replace ID index", [&] { center.ReplaceStringID(-1, "x"); }},
      {"language string index", [&] { center.Languages(0).GetString(9); }},
  };
  for (const auto& [why, action] : rows) {
    SCOPED_TRACE(why);
    const Snapshot before = snapshot(center);
    EXPECT_THROW(action(), std::out_of_range);
    EXPECT_EQ(before, snapshot(center));
  }
}

TEST(LanguageCenter, FailedOperationsChangeNothing) {
  TCustomLanguageCenter center;
  fillTwoLanguages(center);
  const struct {
    std::string why, message;
    std::function<void()> action;
  } rows[] = {
      {"duplicate language", "The LangID, Eng, is not unique",
       [&] { center.AddLanguage("Eng", "x"); }},
      {"empty string ID", "No StringID specified", [&] { center.AddString("+", "d", "t"); }},
      {"duplicate string ID", "The StringID, b, already exists",
       [&] { center.AddString("b", "d", "t"); }},
      {"deleting an unknown string", "The StringID, C d, does not exist",
       [&] { center.DeleteString("C d"); }},
      {"renaming onto another string", "The ID, B, is not unique",
       [&] { center.SetStringInfo(0, 1, " B "); }},
      {"copying to a duplicate ID", "The LangID, DEU, is not unique",
       [&] { center.CopyLanguage("DEU", "x", &center.Languages(0)); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    const Snapshot before = snapshot(center);
    EXPECT_THROW_MSG(row.action(), ELanguageError, row.message);
    EXPECT_EQ(before, snapshot(center));
  }
}

TEST(LanguageCenter, SetStringInfoRenamesWithCleaningAndUniqueness) {
  TCustomLanguageCenter center;
  fillTwoLanguages(center);
  center.SetStringIDs(0, "Other Name");
  EXPECT_EQ("OtherName", center.StringIDs(0));
  EXPECT_EQ(0, center.IndexOfString("OTHERNAME"));
  EXPECT_EQ(-1, center.IndexOfString("A"));
  center.SetStringIDs(0, "othername");  // its own ID in another case
  EXPECT_EQ("othername", center.StringIDs(0));
  center.SetStringDescriptions(1, "new description");
  EXPECT_EQ("new description", center.StringDescriptions(1));
  center.SetStringInfo(1, 7, "ignored");
  EXPECT_EQ("", center.GetStringInfo(1, 7));
  EXPECT_EQ("B", center.StringIDs(1));
}

// The hashed lookup must give what a scan of the upper-cased IDs gives, also
// after renames that create duplicates and deletions that shift positions.
TEST(LanguageCenter, IndexOfStringMatchesTheFirstInTableOrder) {
  TCustomLanguageCenter center;
  center.AddLanguage("ENG", "English");
  for (const char* id : {"a", "b", "c", "d", "e"}) center.AddString(id, "", id);
  auto scan = [&](std::string_view id) {
    for (int i = 0; i < center.StringCount(); ++i) {
      if (platform::upperCase(center.StringIDs(i)) == platform::upperCase(id)) return i;
    }
    return -1;
  };
  auto expectScan = [&](const char* step) {
    SCOPED_TRACE(step);
    for (const char* id : {"a", "B", "c", "d", "E", "x y", "zz"}) {
      EXPECT_EQ(scan(id), center.IndexOfString(id)) << id;
    }
  };
  center.ReplaceStringID(3, "B");
  expectScan("a later duplicate does not hide the first");
  center.ReplaceStringID(1, "x y");
  expectScan("renaming the first reveals the duplicate");
  center.DeleteString("a");
  expectScan("deleting shifts every position");
  center.AddString("zz", "", "");
  expectScan("adding after a rebuild");
  EXPECT_EQ(4, center.IndexOfString("zz"));
}

TEST(LanguageCenter, DeleteStringRemovesItFromEveryLanguage) {
  TCustomLanguageCenter center;
  fillTwoLanguages(center);
  center.DeleteString("a");
  EXPECT_EQ(1, center.StringCount());
  EXPECT_EQ("B", center.StringIDs(0));
  EXPECT_EQ("second", center.StringDescriptions(0));
  EXPECT_EQ((std::vector<std::string>{"Beta"}), center.Languages(0).Strings());
  EXPECT_EQ((std::vector<std::string>{"Beta"}), center.Languages(1).Strings());
}

TEST(LanguageCenter, ClearAllLeavesNothing) {
  TCustomLanguageCenter center;
  fillTwoLanguages(center);
  center.ClearAll();
  EXPECT_EQ(0, center.StringCount());
  EXPECT_EQ(0, center.LanguageCount());
  EXPECT_EQ(nullptr, center.CurrentLanguage());
  EXPECT_EQ(-1, center.IndexOfString("A"));
  TLanguageSet& next = center.AddLanguage("FRA", "Francais");
  EXPECT_EQ(&next, center.CurrentLanguage());
}

TEST(LanguageCenter, RemovingTheCurrentLanguageClearsTheCenter) {
  TCustomLanguageCenter center;
  fillTwoLanguages(center);
  center.RemoveLanguage(center.Languages(1));
  EXPECT_EQ(1, center.LanguageCount());
  EXPECT_EQ(2, center.StringCount());
  center.RemoveLanguage(*center.CurrentLanguage());
  EXPECT_EQ(0, center.LanguageCount());
  EXPECT_EQ(0, center.StringCount());
  EXPECT_EQ(nullptr, center.CurrentLanguage());
}

TEST(LanguageCenter, ForeignLanguagesAreRefused) {
  TCustomLanguageCenter center, other;
  TLanguageSet& foreign = other.AddLanguage("ENG", "English");
  EXPECT_THROW(center.SetCurrentLanguage(&foreign), std::invalid_argument);
  EXPECT_THROW(center.RemoveLanguage(foreign), std::invalid_argument);
  EXPECT_EQ(-1, center.indexOfLanguageSet(&foreign));
}

TEST(LanguageCenter, CopyLanguageTakesEveryTextOfTheSource) {
  TCustomLanguageCenter center;
  center.UntranslatedStr = "*";
  fillTwoLanguages(center);
  TLanguageSet& copy = center.CopyLanguage("xx", "Copy", &center.Languages(1));
  EXPECT_EQ((std::vector<std::string>{"Alpha-de", "*Beta"}), copy.Strings());
  TLanguageSet& seeded = center.CopyLanguage("yy", "Seeded", nullptr);
  EXPECT_EQ((std::vector<std::string>{"*Alpha", "*Beta"}), seeded.Strings());

  TCustomLanguageCenter shorter;
  TLanguageSet& tooShort = shorter.AddLanguage("ENG", "English");
  const Snapshot before = snapshot(center);
  EXPECT_THROW(center.CopyLanguage("ZZ", "z", &tooShort), std::out_of_range);
  EXPECT_EQ(before, snapshot(center));
}

TEST(LanguageCenter, LoadedFiresOnLoadedWithTheCenter) {
  TCustomLanguageCenter center;
  center.Loaded();  // no handler: nothing happens
  TCustomLanguageCenter* sender = nullptr;
  center.OnLoaded = [&](TCustomLanguageCenter& c) { sender = &c; };
  center.Loaded();
  EXPECT_EQ(&center, sender);
}

}  // namespace
}  // namespace lang

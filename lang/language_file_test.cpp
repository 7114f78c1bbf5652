#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <functional>

#include "lang/language_center.h"
#include "tests/support/test_support.h"

namespace lang {
namespace {

using testing_support::TempDir;

// Lowers the process's file size limit for its lifetime, so that writes past
// it fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*savedHandler_)(int) = nullptr;
};

const char* const kNotValid = "The file is not a valid language file";

std::string int32(int32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
  return bytes;
}

std::string str(std::string_view text) {
  return int32(static_cast<int32_t>(text.size())) + std::string(text);
}

std::string header(std::string_view langID = "DEU", std::string_view name = "Deutsch",
                   int32_t flags = 7) {
  return str("TCustomLanguageCenter File") + str(langID) + str(name) + int32(flags);
}

// Everything observable about a center, to prove that a load changed nothing.
std::vector<std::string> dump(const TCustomLanguageCenter& center) {
  std::vector<std::string> out;
  for (int i = 0; i < center.StringCount(); ++i) {
    out.push_back("id " + center.StringIDs(i) + "|" + center.StringDescriptions(i));
  }
  for (int l = 0; l < center.LanguageCount(); ++l) {
    const TLanguageSet& language = center.Languages(l);
    out.push_back("lang " + language.LangID() + "|" + language.LanguageName + "|" +
                  language.FileName + (&language == center.CurrentLanguage() ? "|current" : ""));
    for (const std::string& text : language.Strings()) out.push_back("  " + text);
  }
  return out;
}

// ENG with three strings.
void fillEnglish(TCustomLanguageCenter& center) {
  center.AddLanguage("ENG", "English");
  center.AddString("One", "first", "one");
  center.AddString("Two", "second", "two");
  center.AddString("Three", "third", "three");
}

TEST(LanguageFile, SaveWritesTheDocumentedLayout) {
  TempDir dir;
  TCustomLanguageCenter center;
  TLanguageSet& deu = center.AddLanguage("deu", "Deutsch");
  center.AddString("A", "d", "Hallo");
  const std::string path = dir.file("de.lnf");
  center.SaveToFile(&deu, path, 15);                   // bits above the three parts are dropped
  EXPECT_EQ(str("TCustomLanguageCenter File")          // signature
                + str("DEU")                           // LangID, upper-case
                + str("Deutsch")                       // LanguageName
                + int32(7)                             // LanguageFlags
                + str("Hallo") + str("A") + str("d"),  // text, ID, description
            testing_support::readBytes(path));

  center.SaveToFile(&deu, path, TCustomLanguageCenter::kPartID);
  EXPECT_EQ(header("DEU", "Deutsch", 2) + str("A"), testing_support::readBytes(path));
}

TEST(LanguageFile, RoundTripRestoresTheWholeLanguage) {
  TempDir dir;
  TCustomLanguageCenter source;
  fillEnglish(source);
  source.SetText(0, 1, "with 'quote' and \r\n line break");
  const std::string path = dir.file("sub/English.lnf");
  dir.write("sub/placeholder", "");
  source.SaveToFile(source.CurrentLanguage(), path, 7);

  TCustomLanguageCenter target;
  target.AddLanguage("XX", "Other");
  target.AddString("Gone", "", "");
  TLanguageSet& loaded = target.LoadFromFile(path, true);
  EXPECT_EQ("English.lnf", loaded.FileName);
  loaded.FileName.clear();
  EXPECT_EQ(dump(source), dump(target));
}

TEST(LanguageFile, StringsAreMatchedByIdInAnyOrder) {
  TempDir dir;
  const std::string path =
      dir.write("de.lnf", header() + str("drei") + str("THREE") + str("") +  // matched by ID
                              str("eins") + str("one") + str(""));
  TCustomLanguageCenter center;
  center.UntranslatedStr = "*";
  fillEnglish(center);
  TLanguageSet& deu = center.LoadFromFile(path, false);
  EXPECT_EQ((std::vector<std::string>{"eins", "*two", "drei"}), deu.Strings());
  EXPECT_EQ(3, center.StringCount());
  EXPECT_EQ("first", center.StringDescriptions(0)) << "descriptions are not taken";
}

TEST(LanguageFile, WithoutIdsStringsAreMatchedByPosition) {
  TempDir dir;
  TCustomLanguageCenter center;
  fillEnglish(center);
  const std::string path = dir.file("en.lnf");
  center.SaveToFile(center.CurrentLanguage(), path, TCustomLanguageCenter::kPartText);
  center.SetText(0, 0, "changed");
  center.SetText(0, 2, "changed");
  center.LoadFromFile(path, false);
  EXPECT_EQ((std::vector<std::string>{"one", "two", "three"}), center.Languages(0).Strings());
}

TEST(LanguageFile, UnknownStringsAreDroppedOrPlacedByPositionUnlessMerged) {
  TempDir dir;
  // Record 0 has an unknown ID and lands at position 0; record 3 is past the
  // end of the table and is dropped.
  const std::string path =
      dir.write("de.lnf", header() + str("neu0") + str("New0") + str("d0") + str("zwei") +
                              str("Two") + str("") + str("x") + str("Three") + str("") +
                              str("neu3") + str("New3") + str("d3"));
  TCustomLanguageCenter loaded;
  fillEnglish(loaded);
  TLanguageSet& deu = loaded.LoadFromFile(path, false);
  EXPECT_EQ((std::vector<std::string>{"neu0", "zwei", "x"}), deu.Strings());
  EXPECT_EQ(3, loaded.StringCount());

  TCustomLanguageCenter merged;
  merged.UntranslatedStr = "*";
  fillEnglish(merged);
  TLanguageSet& deu2 = merged.MergeFromFile(path);
  ASSERT_EQ(5, merged.StringCount());
  EXPECT_EQ("New0", merged.StringIDs(3));
  EXPECT_EQ("d3", merged.StringDescriptions(4));
  SCOPED_TRACE("new strings go unchanged to the first language, marked to the others");
  EXPECT_EQ((std::vector<std::string>{"one", "two", "three", "neu0", "neu3"}),
            merged.Languages(0).Strings());
  EXPECT_EQ((std::vector<std::string>{"*one", "zwei", "x", "*neu0", "*neu3"}), deu2.Strings());
}

TEST(LanguageFile, AnEmptyCenterLoadsAsIfClearedFirst) {
  TempDir dir;
  const std::string path = dir.write(
      "de.lnf", header() + str("eins") + str("One") + str("") + str("zwei") + str("Two") + str(""));
  TCustomLanguageCenter center;
  TLanguageSet& deu = center.LoadFromFile(path, false);
  EXPECT_EQ(2, center.StringCount());
  EXPECT_EQ(&deu, center.CurrentLanguage());
  EXPECT_EQ((std::vector<std::string>{"eins", "zwei"}), deu.Strings());
}

TEST(LanguageFile, LoadingOneLanguageTwiceUpdatesIt) {
  TempDir dir;
  const std::string first =
      dir.write("a.lnf", header("deu", "Deutsch") + str("eins") + str("One") + str(""));
  const std::string second =
      dir.write("b.lnf", header("DEU", "German") + str("EINS") + str("One") + str(""));
  TCustomLanguageCenter center;
  fillEnglish(center);
  center.LoadFromFile(first, false);
  TLanguageSet& deu = center.LoadFromFile(second, false);
  EXPECT_EQ(2, center.LanguageCount());
  EXPECT_EQ("Deutsch", deu.LanguageName) << "the first name stays";
  EXPECT_EQ("b.lnf", deu.FileName);
  EXPECT_EQ("EINS", deu.GetString(0));
}

TEST(LanguageFile, SignatureAndExistenceAreChecked) {
  TempDir dir;
  const std::string body = str("DEU") + str("Deutsch") + int32(7);
  const std::string wrongCase = dir.write("case.lnf", str("TCustomLanguageCenter FILE") + body);
  const std::string other = dir.write("other.lnf", str("Other") + body);
  const std::string custom = dir.write("custom.lnf", str("My Signature") + body);
  const std::string tiny = dir.write("tiny.lnf", "\x01\x00");

  TCustomLanguageCenter center;
  fillEnglish(center);
  const auto before = dump(center);
  EXPECT_THROW_MSG(center.LoadFromFile(wrongCase, true), ELanguageError,
                   "The language file, " + wrongCase + ", did not have the correct signature");
  EXPECT_THROW_MSG(center.MergeFromFile(other), ELanguageError,
                   "The language file, " + other + ", did not have the correct signature");
  EXPECT_THROW_MSG(center.LoadFromFile(tiny, true), ELanguageError, kNotValid);
  EXPECT_THROW_MSG(center.LoadFromFile(dir.file("none.lnf"), true), ELanguageError,
                   "The language file, " + dir.file("none.lnf") + ", does not exist");
  EXPECT_EQ(before, dump(center));

  center.Signature = "My Signature";
  EXPECT_EQ("DEU", center.LoadFromFile(custom, false).LangID());
}

// Every prefix of a valid file either loads (when it ends on a record
// boundary, or one stray byte after it) or is refused with nothing changed.
TEST(LanguageFile, EveryTruncationLoadsOrIsRefusedUnchanged) {
  TempDir dir;
  const std::string head = header("DEU", "Deutsch", 7);
  const std::vector<std::string> records = {str("eins") + str("One") + str("d"),
                                            str("") + str("Two") + str(""),
                                            str("drei") + str("Three") + str("dd")};
  std::string full = head;
  std::vector<size_t> boundaries = {head.size()};
  for (const std::string& record : records) {
    full += record;
    boundaries.push_back(full.size());
  }
  for (size_t length = 0; length <= full.size(); ++length) {
    SCOPED_TRACE("prefix of " + std::to_string(length) + " bytes");
    const std::string path = dir.write("t.lnf", full.substr(0, length));
    TCustomLanguageCenter center;
    fillEnglish(center);
    const auto before = dump(center);
    bool onBoundary = false;
    for (size_t b : boundaries) onBoundary = onBoundary || length == b || length == b + 1;
    if (onBoundary) {
      EXPECT_NO_THROW(center.MergeFromFile(path));
      EXPECT_EQ(2, center.LanguageCount());
    } else {
      EXPECT_THROW_MSG(center.MergeFromFile(path), ELanguageError, kNotValid);
      EXPECT_EQ(before, dump(center));
    }
  }
}

TEST(LanguageFile, MalformedFilesAreRefusedUnchanged) {
  const struct {
    std::string bytes, message, why;
  } rows[] = {
      {int32(-1), kNotValid, "negative signature length"},
      {str("TCustomLanguageCenter File") + int32(0x7fffffff) + "DEU", kNotValid,
       "LangID longer than the file"},
      {header() + str("eins") + int32(-5) + "xxxxxxxx", kNotValid, "negative ID length"},
      {header() + str("eins") + int32(1000) + "One", kNotValid, "ID runs past the end"},
      {header() + str("eins") + str("One") + str("") + "xy", kNotValid,
       "two bytes after the last record start another record"},
      {header("DEU", "Deutsch", 0) + "xyz", kNotValid, "records without parts cannot hold data"},
      {header("DEU", "Deutsch", 1) + str("text"), "No StringID specified",
       "a record without ID cannot add a string"},
      {header() + str("a") + str("xy") + str("") + str("b") + str("x y") + str(""),
       "The StringID, xy, already exists", "an unknown ID that cleans to a known one"},
  };
  TempDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    const std::string path = dir.write("bad.lnf", row.bytes);
    TCustomLanguageCenter center;
    fillEnglish(center);
    const auto before = dump(center);
    EXPECT_THROW_MSG(center.MergeFromFile(path), ELanguageError, row.message);
    EXPECT_EQ(before, dump(center));
  }
}

TEST(LanguageFile, OddButValidFilesLoad) {
  const struct {
    std::string bytes;
    std::vector<std::string> texts;
    std::string why;
  } rows[] = {
      {header() + str("eins") + str("One") + str("") + "x",
       {"eins", "two", "three"},
       "one stray byte after the last record"},
      {header("DEU", "Deutsch", 0), {"one", "two", "three"}, "no parts and no records"},
      {header("DEU", "Deutsch", 0) + "x", {"one", "two", "three"}, "no parts and one stray byte"},
      {header() + str(std::string("ei\0ns", 5)) + str("One") + str(""),
       {"ei", "two", "three"},
       "a text is cut at a zero byte"},
  };
  TempDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    const std::string path = dir.write("odd.lnf", row.bytes);
    TCustomLanguageCenter center;
    fillEnglish(center);
    EXPECT_EQ(row.texts, center.LoadFromFile(path, false).Strings());
  }
}

TEST(LanguageFile, AFailedSaveKeepsTheOldFile) {
  TempDir dir;
  TCustomLanguageCenter center;
  fillEnglish(center);
  const std::string path = dir.write("keep.lnf", "old contents");
  EXPECT_THROW_MSG(center.SaveToFile(nullptr, path, 7), ELanguageError,
                   "No language specified to save");
  EXPECT_EQ("old contents", testing_support::readBytes(path));

  {
    // Writing fails part-way (also for root) while the old file exists.
    FileSizeLimit limit(16);
    EXPECT_THROW_MSG(center.SaveToFile(center.CurrentLanguage(), path, 7), ELanguageError,
                     "The language file, " + path + ", could not be overrwritten");
  }
  EXPECT_EQ("old contents", testing_support::readBytes(path));

  center.SaveToFile(center.CurrentLanguage(), path, 7);
  EXPECT_NE("old contents", testing_support::readBytes(path));
}

}  // namespace
}  // namespace lang

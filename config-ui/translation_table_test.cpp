// Translation tables: the text form of an interface translation.
#include "config-ui/translation_table.h"

#include <gtest/gtest.h>

#include "lang/language_center.h"
#include "tests/support/test_support.h"

namespace vantro {
namespace {

TEST(TranslationTable, ReadsEntriesAsWindowsText) {
  TranslationTable table = parseTranslationTable(
      "# comment\nLangID=DEU\r\nLanguageName=Deutsch\n\nfrmX_a_Caption=F\xC3\xBC"
      "ge = hinzu \nfrmX_b_Hint=\n");
  EXPECT_EQ("DEU", table.LangID);
  EXPECT_EQ("Deutsch", table.LanguageName);
  ASSERT_EQ(2u, table.rows.size());
  EXPECT_EQ("frmX_a_Caption", table.rows[0].first);
  EXPECT_EQ("F\xFCge = hinzu ", table.rows[0].second) << "text to the line end, blanks kept";
  EXPECT_EQ("", table.rows[1].second);
}

TEST(TranslationTable, RefusesMalformedTables) {
  struct Row {
    const char* text;
    const char* message;
    const char* why;
  } rows[] = {
      {"LangID=DEU\nLanguageName=D\nno equals sign\n", "line 3: expected ID=text", "no '='"},
      {"LangID=DEU\nLanguageName=D\na_b=1\nA_B=2\n", "line 4: repeated ID A_B",
       "IDs compare ignoring case"},
      {"LanguageName=D\na=1\n", "LangID and LanguageName are required", "no LangID"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_THROW_MSG(parseTranslationTable(row.text), ETranslationTable, row.message);
  }
}

TEST(TranslationTable, WritesOnlyKnownIDs) {
  testing_support::TempDir dir;
  TranslationTable table{"DEU", "Deutsch", {{"frmX_a_Caption", "A"}, {"frmX_b_Hint", "B"}}};
  EXPECT_THROW_MSG(writeTranslation(table, {"frmX_a_Caption"}, dir.file("x.lnf")),
                   ETranslationTable, "unknown string ID frmX_b_Hint");
  writeTranslation(table, {"FRMX_A_CAPTION", "frmX_b_Hint"}, dir.file("x.lnf"));
  lang::TCustomLanguageCenter center;
  center.LoadFromFile(dir.file("x.lnf"), true);
  EXPECT_EQ("Deutsch", center.CurrentLanguage()->LanguageName);
  EXPECT_EQ("B", center.TextsByID(0, "frmX_b_Hint"));
}

}  // namespace
}  // namespace vantro

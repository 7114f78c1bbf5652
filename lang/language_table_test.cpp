#include "lang/language_table.h"

#include <gtest/gtest.h>

#include "lang/bldlang.h"
#include "lang/language_center.h"
#include "platform/files.h"
#include "tests/support/test_support.h"

namespace lang {
namespace {

std::string fullTable(std::string_view overview) {
  TCustomLanguageCenter english;
  bldlang::LoadENG(english);
  std::string table = "@LangID=deu\n@LanguageName=German\n";
  for (int i = 0; i < english.StringCount(); ++i) {
    table += english.StringIDs(i) + "=" +
             (i == bldlang::CNT_Overview ? std::string(overview) : "x" + std::to_string(i)) + "\n";
  }
  return table;
}

TEST(LanguageTable, ConvertsUtf8ToWindows1252) {
  EXPECT_EQ(
      "\xDC"
      "bersicht \x80 \x9F",
      utf8ToWindows1252("Übersicht € Ÿ", 1));
  EXPECT_THROW_MSG(utf8ToWindows1252("\xE2\x82", 7), ETableError, "line 7: malformed UTF-8");
  EXPECT_THROW(utf8ToWindows1252("\xE2\x86\x92", 3), ETableError);  // an arrow: not in the page
}

TEST(LanguageTable, LaysTheLanguageOverTheBuiltInPositions) {
  TCustomLanguageCenter center;
  bldlang::LoadENG(center);
  TLanguageSet& german = AddLanguageFromTable(center, fullTable("Übersicht"));
  EXPECT_EQ("DEU", german.LangID());
  EXPECT_EQ("German", german.LanguageName);
  EXPECT_EQ(
      "\xDC"
      "bersicht",
      german.GetString(bldlang::CNT_Overview));
  EXPECT_EQ("x21", german.GetString(bldlang::SMP_Sample));
}

TEST(LanguageTable, RefusesIncompleteOrWrongTables) {
  struct Row {
    std::string table;
    std::string message;
  };
  const std::string full = fullTable("O");
  const Row rows[] = {
      {full + "CNT_Units=again\n", "line 25: string ID CNT_Units repeated"},
      {full + "NoSuchID=x\n", "line 25: unknown string ID NoSuchID"},
      {full.substr(0, full.find("SMP_Sample")), "string ID SMP_Sample is not translated"},
      {full.substr(full.find('\n') + 1), "the table names no @LangID or @LanguageName"},
      {full + "no equals sign\n", "line 25: expected ID=Text"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    TCustomLanguageCenter center;
    bldlang::LoadENG(center);
    EXPECT_THROW_MSG(AddLanguageFromTable(center, row.table), ETableError, row.message);
    EXPECT_EQ(1, center.LanguageCount()) << "nothing added on failure";
  }
}

TEST(LanguageTable, ShippedGermanTableIsComplete) {
  TCustomLanguageCenter center;
  bldlang::LoadENG(center);
  const std::string table =
      platform::readFile(testing_support::sourceDir() + "/lang/tables/German.txt");
  TLanguageSet& german = AddLanguageFromTable(center, table);
  EXPECT_EQ("Abgeleitet von", german.GetString(bldlang::TXT_Derived));
}

}  // namespace
}  // namespace lang

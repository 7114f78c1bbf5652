#include <gtest/gtest.h>

#include <set>

#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "lang/language_center.h"
#include "tests/support/test_support.h"

namespace lang {
namespace {

struct Row {
  int position;
  std::string id;
  std::string text;
};

void expectRows(const TCustomLanguageCenter& center, const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(row.id, center.StringIDs(row.position));
    EXPECT_EQ(row.position, center.IndexOfString(row.id));
    EXPECT_EQ(row.text, center.Texts(0, row.position));
    EXPECT_EQ("", center.StringDescriptions(row.position));
  }
}

TEST(BuiltinTables, HelpTextRowsSitAtTheirPositions) {
  TCustomLanguageCenter center;
  bldlang::LoadENG(center);
  ASSERT_EQ(bldlang::kRowCount, center.StringCount());
  using namespace bldlang;
  expectRows(center, {
                         {CNT_Title, "CNT_Title", "Help File Contents"},
                         {CNT_Contents, "CNT_Contents", "Contents"},
                         {CNT_Overview, "CNT_Overview", "Overview"},
                         {CNT_Units, "CNT_Units", "Units"},
                         {CNT_Types, "CNT_Types", "Types"},
                         {CNT_Methods, "CNT_Methods", "Methods"},
                         {CNT_Variables, "CNT_Variables", "Variables"},
                         {CNT_Constants, "CNT_Constants", "Constants"},
                         {TYPE_Properties, "TYPE_Properties", "Properties"},
                         {TYPE_Methods, "TYPE_Methods", "Methods"},
                         {TYPE_Events, "TYPE_Events", "Events"},
                         {TYPE_Property, "TYPE_Property", "Property"},
                         {TYPE_Method, "TYPE_Method", "Method"},
                         {TYPE_Event, "TYPE_Event", "Event"},
                         {TXT_Unit, "TXT_Unit", "Unit"},
                         {TXT_Declaration, "TXT_Declaration", "Declaration"},
                         {TXT_Description, "TXT_Description", "Description"},
                         {TXT_Units, "TXT_Units", "Units"},
                         {TXT_In, "TXT_In", "In"},
                         {TXT_Derived, "TXT_Derived", "Derived from"},
                         {TXT_Scope, "TXT_Scope", "Scope"},
                         {SMP_Sample, "SMP_Sample", "Sample"},
                     });
  // The constants are positions 0 to 21 in order.
  EXPECT_EQ(0, CNT_Title);
  EXPECT_EQ(21, SMP_Sample);
}

TEST(BuiltinTables, ConsoleRowsSitAtTheirPositions) {
  TCustomLanguageCenter center;
  BaseLang::LoadENG(center);
  ASSERT_EQ(BaseLang::kRowCount, center.StringCount());
  using namespace BaseLang;
  const std::string p = "frmVantro_EXEStrings_Strings_";
  expectRows(
      center,
      {
          {kUsageFirst, p + "0",
           "Command Line: KORVEX /uFileName /sScope /hOutput /dDefine /iConfig /oResults "
           "/lLanguage"},
          {181, p + "1", "FileName: Name of file to parse.  Can be used multiple times."},
          {182, p + "2", "Scope: 0-Private 1-Protected 2-Public 3-Published"},
          {183, p + "3", "Output: RTF and HPF file to build to"},
          {184, p + "4", "Define: Delphi conditional compile define (can be used multiple times)"},
          {185, p + "5", "Config: INI file that contains information about the build"},
          {186, p + "6", "Results: Send all notification messages to this file"},
          {kUsageLast, p + "7", "Language: The template language that should be used"},
          {kUsageNewerVersions, p + "8",
           "Newer versions of KORVEX are published with its source code by its maintainers."},
          {kMsgRecursiveIncludeSkipped, p + "9", "Recursive include file skipped:"},
          {190, p + "10", "(reserved)"},
          {191, p + "11", "(reserved)"},
          {192, p + "12", "(reserved)"},
          {kMsgCriticalError, p + "13", "CRITICAL ERROR:"},
          {kMsgAddingUnit, p + "14", "Adding unit:"},
          {kMsgBuildToFile, p + "15", "Build to file:"},
          {kMsgBuildingUnit, p + "16", "Building unit:"},
          {kMsgBuildingTypeTopic, p + "17", "Building type topic:"},
          {kMsgBuildingEventsList, p + "18", "Building events list:"},
          {kMsgBuildingMethodsList, p + "19", "Building methods list:"},
          {kMsgBuildingPropertiesList, p + "20", "Building properties list:"},
          {kMsgParsingType, p + "21", "Parsing type:"},
          {kMsgParsingComplexType, p + "22", "Parsing complex type:"},
          {kMsgBuildingPropertyTopic, p + "23", "Building property topic:"},
          {kMsgParsingProperty, p + "24", "Parsing property:"},
          {kMsgBuildingMethodTopic, p + "25", "Building method topic:"},
          {kMsgParsingMethod, p + "26", "Parsing method:"},
          {kMsgBuildingVariableTopic, p + "27", "Building variable topic:"},
          {kMsgParsingVariable, p + "28", "Parsing variable:"},
          {kMsgBuildingConstantTopic, p + "29", "Building constant topic:"},
          {kMsgParsingConstant, p + "30", "Parsing constant:"},
          {kMsgAddingIncludeFile, p + "31", "Adding include file:"},
          {kMsgUnableToLocateIncludeFile, p + "32", "Unable to locate include file:"},
          {kMsgUnknownTag, p + "33", "Unknown tag:"},
      });
  EXPECT_EQ(kConsoleLast, kMsgUnknownTag);
}

TEST(BuiltinTables, FormRowsSpotCheck) {
  TCustomLanguageCenter center;
  BaseLang::LoadENG(center);
  const std::string f = "frmVantro_";
  expectRows(center, {
                         {0, f + "stbStatusBar_Hint", "Hint bar where hints will be displayed"},
                         {1, f + "pgcPages_Hint", ""},
                         {15, f + "KorvexProjectName_DialogTitle", "Browse"},
                         {16, f + "KorvexProjectName_Filter", "All files (*.*)|*.*"},
                         {23, f + "grbScope_Items_3", "Published"},
                         {26, f + "Languages_Hint", "Language to use. "},
                         {27, f + "Languages_Text", "English"},
                         {50, f + "CasesensitiveInTypeComment_Caption", "Case sensitive "},
                         {176, f + "gcaCaption_FormCaption", "KORVEX Configure"},
                         {177, f + "diaOpen_DefaultExt", "*.PAS"},
                         {178, f + "diaOpen_Filter", "PAS files (*.PAS)|*.PAS|All Files (*.*)|*.*"},
                         {179, f + "diaOpen_Title", "Add files to Parse"},
                         {214, f + "KorvexProjectName_Text", "KORVEX"},
                         {215, f + "Label11_Caption", "Template Directory"},
                         {216, f + "Label11_Hint", ""},
                         {219, f + "TemplateDirectory_Hint", ""},
                         {220, f + "TemplateDirectory_Text", "{DIR}\\TEMPLATE"},
                     });
  std::set<std::string> ids;
  for (int i = 0; i < center.StringCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(0u, center.StringIDs(i).rfind(f, 0));
    EXPECT_EQ(center.StringIDs(i), center.CleanIdentifier(center.StringIDs(i)));
    ids.insert(center.StringIDs(i));
  }
  EXPECT_EQ(static_cast<size_t>(BaseLang::kRowCount), ids.size());
}

TEST(BuiltinTables, OutputFormatRowsFollowTheFormTexts) {
  TCustomLanguageCenter center;
  BaseLang::LoadENG(center);
  using namespace BaseLang;
  const std::string f = "frmVantro_";
  const std::string h = f + "HTMLStrings_Strings_";
  expectRows(center,
             {
                 {kOutputFormatCaption, f + "grbOutputFormat_Caption", "Output Format"},
                 {kOutputFormatHint, f + "grbOutputFormat_Hint", "Format of the help to build"},
                 {kOutputFormatItemRtf, f + "grbOutputFormat_Items_0", "RTF (Windows Help)"},
                 {kOutputFormatItemHtml, f + "grbOutputFormat_Items_1", "HTML (web pages, CHM)"},
                 {kUsageFormatSwitch, h + "0",
                  "Format: /fRTF (Windows Help project, the default) or /fHTML (web pages and "
                  "HTML Help)"},
                 {kMsgChmCompilerMissing, h + "1",
                  "HTML Help compiler chmcmd not found; to make a CHM, compile:"},
                 {kMsgChmCompilerReport, h + "2", "HTML Help compiler:"},
                 {kMsgChmCompileFailed, h + "3", "HTML Help compiler failed, no CHM written for:"},
             });
  EXPECT_EQ(221, kOutputFormatCaption) << "the rows before stay where they are";
  EXPECT_EQ(kRowCount - 2, kMsgChmCompileFailed);
}

TEST(BuiltinTables, ReaderRowsFollowTheHtmlTexts) {
  TCustomLanguageCenter center;
  BaseLang::LoadENG(center);
  using namespace BaseLang;
  expectRows(center, {{kMsgIncludeTooDeep, "frmVantro_ReaderStrings_Strings_0",
                       "Include file nested too deeply, skipped:"}});
  EXPECT_EQ(kMsgChmCompileFailed + 1, kMsgIncludeTooDeep);
  EXPECT_EQ(kRowCount - 1, kMsgIncludeTooDeep);
}

TEST(BuiltinTables, LoadENGReplacesWhateverTheCenterHeld) {
  for (auto load : {&bldlang::LoadENG, &BaseLang::LoadENG}) {
    TCustomLanguageCenter center;
    center.AddLanguage("DEU", "Deutsch");
    center.AddString("Old", "", "alt");
    load(center);
    const int count = center.StringCount();
    load(center);
    EXPECT_EQ(count, center.StringCount());
    EXPECT_EQ(-1, center.IndexOfString("Old"));
    ASSERT_EQ(1, center.LanguageCount());
    EXPECT_EQ(&center.Languages(0), center.CurrentLanguage());
    EXPECT_EQ("ENG", center.Languages(0).LangID());
    EXPECT_EQ("English", center.Languages(0).LanguageName);
  }
}

TEST(BuiltinTables, ALanguageFileReplacesOnlyTheTextsItCarries) {
  testing_support::TempDir dir;
  TCustomLanguageCenter source;
  source.AddLanguage("DEU", "Deutsch");
  source.AddString("frmVantro_EXEStrings_Strings_14", "", "Lade Unit:");
  source.SaveToFile(source.CurrentLanguage(), dir.file("Deutsch.lnf"), 7);

  TCustomLanguageCenter center;
  BaseLang::LoadENG(center);
  TLanguageSet& deu = center.LoadFromFile(dir.file("Deutsch.lnf"), false);
  center.SetCurrentLanguage(&deu);
  EXPECT_EQ("Lade Unit:", center.currentText(BaseLang::kMsgAddingUnit));
  EXPECT_EQ("Unknown tag:", center.currentText(BaseLang::kMsgUnknownTag));
  EXPECT_EQ(BaseLang::kRowCount, center.StringCount());
}

}  // namespace
}  // namespace lang

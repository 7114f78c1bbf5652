// Vantro's window: its texts against the interface table, its rules, its
// file list and its settings.
#include "config-ui/vantro_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <filesystem>
#include <set>

#include "config-ui/controls.h"
#include "config-ui/dialogs.h"
#include "config-ui/form_language_center.h"
#include "config-ui/non_visual.h"
#include "config-ui/vantro_test_support.h"
#include "lang/base_lang.h"
#include "platform/profile.h"

namespace vantro::testing {
namespace {

using testing_support::readBytes;
using testing_support::TempDir;

constexpr const char* kLinkSearchSuffixes[] = {
    "UnitComment",     "TypeComment",      "Records",       "ClassInheritence",
    "ConstantComment", "ConstantValue",    "MethodComment", "ParameterList",
    "PropertyComment", "StorageMechanism", "ReturnType",    "VariableComment"};

// A help-text language file as the template directory holds them.
void writeHelpLanguage(const std::string& path, const std::string& id, const std::string& name) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  lang::TCustomLanguageCenter center;
  lang::TLanguageSet& language = center.AddLanguage(id, name);
  center.AddString("TXT_Unit", "", "Unit");
  center.SaveToFile(&language, path, 7);
}

TEST(VantroForm, ReadingTheFormGivesTheInterfaceTable) {
  TempDir dir;
  VantroRun run(dir, {}, false);
  TLanguageCenter& center = *run.form->appLang;
  center.ClearAll();
  center.ReadForms();
  lang::TCustomLanguageCenter table;
  lang::BaseLang::LoadENG(table);
  // Texts the table keeps from an older form.
  std::set<std::string> differing = {
      "frmVantro_Languages_Text", "frmVantro_KorvexProjectName_DialogTitle",
      "frmVantro_KorvexProjectName_Filter", "frmVantro_gcaCaption_FormCaption"};
  // The form gives the table's rows up to the console messages, then those
  // of the output format group, HTMLStrings and ReaderStrings; the rows
  // between are not on the form.
  std::vector<int> rows;
  for (int i = 0; i <= lang::BaseLang::kConsoleLast; ++i) rows.push_back(i);
  for (int i = lang::BaseLang::kOutputFormatCaption; i < lang::BaseLang::kRowCount; ++i)
    rows.push_back(i);
  ASSERT_EQ(static_cast<int>(rows.size()), center.StringCount());
  for (int i = 0; i < center.StringCount(); ++i) {
    const int row = rows[static_cast<size_t>(i)];
    SCOPED_TRACE(table.StringIDs(row));
    EXPECT_EQ(table.StringIDs(row), center.StringIDs(i));
    if (differing.count(table.StringIDs(row)) == 0) {
      EXPECT_EQ(table.currentText(row), center.GetText(0, i));
    }
  }
  EXPECT_EQ("frmVantro.EXEStrings.Strings Line #13", center.StringDescriptions(193));
}

TEST(VantroForm, LinkSearchBoxesEnableTheirCaseSensitiveCompanions) {
  TempDir dir;
  VantroRun run(dir);
  for (const char* suffix : kLinkSearchSuffixes) {
    SCOPED_TRACE(suffix);
    TCheckBox* link = run.form->checkBox(std::string("LinkSearchIn") + suffix);
    TCheckBox* companion = run.form->checkBox(std::string("CasesensitiveIn") + suffix);
    link->setChecked(false);
    EXPECT_FALSE(companion->isEnabled());
    EXPECT_TRUE(companion->isChecked()) << "a disabled box keeps its state";
    link->setChecked(true);
    EXPECT_TRUE(companion->isEnabled());
  }
}

TEST(VantroForm, ShowPropertyStorageDecidesBothStorageBoxes) {
  TempDir dir;
  VantroRun run(dir);
  TCheckBox* show = run.form->checkBox("ShowPropertyStorageMechanism");
  TCheckBox* link = run.form->checkBox("LinkSearchInStorageMechanism");
  TCheckBox* cased = run.form->checkBox("CasesensitiveInStorageMechanism");
  ASSERT_FALSE(show->isChecked());
  EXPECT_TRUE(link->isChecked());
  EXPECT_FALSE(link->isEnabled()) << "unchecked show disables even a checked link search";
  EXPECT_FALSE(cased->isEnabled());
  link->setChecked(false);
  show->setChecked(true);
  EXPECT_TRUE(link->isEnabled());
  EXPECT_TRUE(cased->isEnabled()) << "checking show enables both, whatever link search says";
}

TEST(VantroForm, StartsWithTheDefaultsAndClosingWritesEveryKey) {
  TempDir dir;
  VantroRun run(dir);
  TfrmVantro& form = *run.form;
  EXPECT_EQ(dir.path() + "/work/KORVEX.INI", form.ProjectFile());
  EXPECT_EQ(2, form.grbScope->ItemIndex());
  EXPECT_EQ("KORVEX", form.KorvexProjectName->Text().toStdString());
  EXPECT_EQ("#BITMAP:", form.edit("FirstLineBitmap")->text().toStdString());
  EXPECT_EQ("!", form.edit("FirstLineStart")->text().toStdString());
  EXPECT_FALSE(form.checkBox("CommentsRequiredInUnits")->isChecked());
  EXPECT_TRUE(form.checkBox("CasesensitiveInRecords")->isChecked());
  EXPECT_FALSE(form.checkBox("ShowPropertyStorageMechanism")->isChecked());
  EXPECT_EQ(0, form.lsbFileList->count());
  EXPECT_EQ(form.tbsFiles, form.pgcPages->ActivePage());
  ASSERT_TRUE(form.close());
  platform::Profile written(form.ProjectFile());
  EXPECT_EQ(52u, written.ReadSection("Options").size());
  EXPECT_EQ("RTF", written.ReadString("Options", "OutputFormat", ""));
  EXPECT_EQ("2", written.ReadString("Options", "KorvexProjectScope", ""));
  EXPECT_EQ("1", written.ReadString("Options", "LinkSearchInRecords", ""));
  EXPECT_EQ("", written.ReadString("Options", "Language", "unset")) << "no language listed";
  EXPECT_FALSE(written.SectionExists("Files"));
  EXPECT_TRUE(run.prompts->errors.empty());
}

constexpr const char* kProject =
    "; written by hand\r\n"
    "[Options]\r\n"
    "Unknown=keep me\r\n"
    "CommentsRequiredInUnits=1\r\n"
    "LinkSearchInStorageMechanism=0\r\n"
    "FirstLineStart=@\r\n"
    "KorvexProjectScope=3\r\n"
    "Language=Klingon\r\n"
    "[Files]\r\n"
    "b.pas=\r\n"
    "A.pas=\r\n"
    "[Other]\r\n"
    "x=1\r\n";

TEST(VantroForm, ProjectFileRoundTripKeepsWhatItDoesNotKnow) {
  TempDir dir;
  std::string project = dir.write("cfg/my.ini", kProject);
  dir.write("bin/KORVEX.INI", "[Options]\r\nFirstLineEnd=%%\r\n[Files]\r\nz.pas=\r\n");
  writeHelpLanguage(dir.path() + "/bin/Template/English.lnf", "ENG", "English");
  writeHelpLanguage(dir.path() + "/bin/Template/Deutsch.lnf", "DEU", "Deutsch");
  VantroRun run(dir, {project});
  TfrmVantro& form = *run.form;
  EXPECT_EQ((QStringList{"A.pas", "b.pas"}), form.lsbFileList->entries());
  EXPECT_TRUE(form.checkBox("CommentsRequiredInUnits")->isChecked());
  EXPECT_FALSE(form.checkBox("LinkSearchInStorageMechanism")->isChecked());
  EXPECT_EQ("@", form.edit("FirstLineStart")->text().toStdString());
  EXPECT_EQ("!", form.edit("FirstLineEnd")->text().toStdString()) << "the project file decides";
  EXPECT_EQ(3, form.grbScope->ItemIndex());
  EXPECT_EQ((QStringList{"Deutsch", "English"}), form.Languages->entries());
  EXPECT_EQ("English", form.Languages->currentText().toStdString()) << "Klingon is not listed";
  ASSERT_TRUE(form.close());
  std::string text = readBytes(project);
  for (const char* kept : {"; written by hand\r\n", "Unknown=keep me\r\n", "[Other]\r\nx=1\r\n",
                           "[Files]\r\nA.pas=\r\nb.pas=\r\n", "Language=English\r\n"}) {
    SCOPED_TRACE(kept);
    EXPECT_NE(std::string::npos, text.find(kept));
  }
}

TEST(VantroForm, LanguageKeySelectsItsEntry) {
  TempDir dir;
  std::string project = dir.write("work/KORVEX.INI", "[Options]\r\nLanguage=Deutsch\r\n");
  writeHelpLanguage(dir.path() + "/bin/Template/Deutsch.lnf", "DEU", "Deutsch");
  VantroRun run(dir);
  EXPECT_EQ("Deutsch", run.form->Languages->currentText().toStdString());
  ASSERT_NE(-1, run.form->BuildLang->IndexOfLanguage("ENG")) << "English is always known";
}

TEST(VantroForm, OutputFormatKeySelectsItsItemAndIsWrittenBack) {
  struct Row {
    const char* value;
    int item;
    const char* written;
  };
  for (const Row& row : {Row{"HTML", 1, "HTML"}, Row{"html", 1, "HTML"}, Row{"RTF", 0, "RTF"},
                         Row{"PDF", 0, "RTF"}}) {
    SCOPED_TRACE(row.value);
    TempDir dir;
    std::string project = dir.write("work/KORVEX.INI",
                                    std::string("[Options]\r\nOutputFormat=") + row.value + "\r\n");
    VantroRun run(dir);
    EXPECT_EQ(row.item, run.form->grbOutputFormat->ItemIndex());
    ASSERT_TRUE(run.form->close());
    EXPECT_EQ(row.written, platform::Profile(project).ReadString("Options", "OutputFormat", ""));
  }
}

TEST(VantroForm, BrokenTemplateLanguageIsShownAndTheRestGoesOn) {
  TempDir dir;
  writeHelpLanguage(dir.path() + "/bin/Template/English.lnf", "ENG", "English");
  dir.write("bin/Template/Zed.lnf", "no");
  VantroRun run(dir);
  EXPECT_EQ((std::vector<std::string>{"The file is not a valid language file"}),
            run.prompts->errors);
  EXPECT_EQ((QStringList{"English"}), run.form->Languages->entries());
  EXPECT_EQ("English", run.form->Languages->currentText().toStdString());
}

TEST(VantroForm, AddedFilesStayUniqueAndSorted) {
  TempDir dir;
  VantroRun run(dir);
  TfrmVantro& form = *run.form;
  run.prompts->filesToChoose = QStringList{"/src/Unit1.pas", "/src/a.pas"};
  form.btnAdd->click();
  run.prompts->filesToChoose = QStringList{"/SRC/UNIT1.PAS", "/src/B.pas"};
  form.FileAdd->trigger();
  run.prompts->filesToChoose.reset();  // the user cancels
  form.FileAdd->trigger();
  EXPECT_EQ((QStringList{"/src/a.pas", "/src/B.pas", "/src/Unit1.pas"}),
            form.lsbFileList->entries());
  form.btnRemove->click();
  EXPECT_EQ(3, form.lsbFileList->count()) << "nothing selected, nothing removed";
  form.lsbFileList->item(0)->setSelected(true);
  form.lsbFileList->item(2)->setSelected(true);
  form.FileRemove->trigger();
  EXPECT_EQ((QStringList{"/src/B.pas"}), form.lsbFileList->entries());
}

TEST(VantroForm, StatusBarShowsTheHintUnderTheMouse) {
  TempDir dir;
  VantroRun run(dir);
  run.form->show();
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(run.form->btnAdd, &enter);
  EXPECT_EQ("Add files to the list to be parsed",
            run.form->stbStatusBar->currentMessage().toStdString());
  run.form->hide();
}

TEST(VantroForm, MissingProjectFileIsCreatedOnClosing) {
  TempDir dir;
  std::string project = dir.path() + "/work/new.ini";
  VantroRun run(dir, {project});
  run.form->addFiles({"/src/main.pas"});
  ASSERT_TRUE(run.form->close());
  EXPECT_EQ((std::vector<std::string>{"/src/main.pas"}),
            platform::Profile(project).ReadSection("Files"));
}

TEST(VantroForm, UnwritableProjectFileIsReportedNotLost) {
  TempDir dir;
  VantroRun run(dir, {dir.path() + "/no/such/dir/KORVEX.INI"});
  run.form->show();
  run.prompts->writeFailureAnswer = UserPrompts::WriteFailure::KeepOpen;
  EXPECT_FALSE(run.form->close()) << "the window stays open with the settings";
  EXPECT_EQ(1u, run.prompts->writeFailures.size());
  EXPECT_NE(std::string::npos, run.prompts->writeFailures[0].find("KORVEX.INI"));
  run.prompts->writeFailureAnswer = UserPrompts::WriteFailure::Discard;
  EXPECT_TRUE(run.form->close());
  EXPECT_EQ(2u, run.prompts->writeFailures.size());
}

TEST(VantroForm, WindowPositionAndLanguageGoToVantroIni) {
  TempDir dir;
  VantroRun run(dir);
  run.form->show();
  ASSERT_TRUE(waitForStart(*run.form));
  ASSERT_TRUE(run.form->close());
  platform::Profile storage(run.programDir + "Vantro.INI");
  EXPECT_EQ("English", storage.ReadString("Form Storage", "edtDONOTTRANSLATE_Text", ""));
  EXPECT_EQ(std::to_string(TfrmVantro::kWidth), storage.ReadString("Form Storage", "Width", ""));
  EXPECT_NE("", storage.ReadString("Form Storage", "Left", ""));
}

TEST(VantroForm, WindowOpensWhereItWasLeft) {
  TempDir dir;
  dir.write("bin/Vantro.INI", "[Form Storage]\r\nLeft=40\r\nTop=30\r\n");
  VantroRun run(dir);
  run.form->show();
  EXPECT_TRUE(waitUntil([&run] { return run.form->pos() == QPoint(40, 30); }));
  EXPECT_EQ(QPoint(40, 30), run.form->pos());
  run.form->hide();
}

}  // namespace
}  // namespace vantro::testing

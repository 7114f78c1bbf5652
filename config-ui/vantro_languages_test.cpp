// Vantro's interface languages: the list, switching, remembering the choice,
// bad language files and the base files for translators.
#include <gtest/gtest.h>

#include <filesystem>

#include "config-ui/controls.h"
#include "config-ui/dialogs.h"
#include "config-ui/form_language_center.h"
#include "config-ui/non_visual.h"
#include "config-ui/vantro_test_support.h"
#include "lang/base_lang.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace vantro::testing {
namespace {

using testing_support::TempDir;

QString utf8(const char* text) {
  return QString::fromUtf8(text);
}

// The German translation the build puts beside the programs.
void installGerman(const TempDir& dir) {
  std::filesystem::create_directories(dir.path() + "/bin");
  std::filesystem::copy_file(platform::programDirectory() + "German.lnf",
                             dir.path() + "/bin/German.lnf");
}

void writeInterfaceLanguage(const std::string& path, const std::string& id, const std::string& name,
                            const std::vector<std::pair<std::string, std::string>>& texts) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  lang::TCustomLanguageCenter center;
  lang::TLanguageSet& language = center.AddLanguage(id, name);
  for (const auto& [stringID, text] : texts) center.AddString(stringID, "", text);
  center.SaveToFile(&language, path, 7);
}

void pick(TfrmVantro& form, const char* language) {
  int index = form.cmbUILangs->findText(utf8(language));
  ASSERT_GE(index, 0) << language;
  form.cmbUILangs->setCurrentIndex(index);
  emit form.cmbUILangs->activated(index);
}

TEST(InterfaceLanguages, WithoutLanguageFilesOnlyEnglishIsListed) {
  TempDir dir;
  VantroRun run(dir);
  ASSERT_TRUE(waitForStart(*run.form));
  EXPECT_EQ((QStringList{"English"}), run.form->cmbUILangs->entries());
  EXPECT_EQ("English", run.form->cmbUILangs->currentText().toStdString());
  EXPECT_EQ("&Add Files", run.form->btnAdd->Caption().toStdString());
  EXPECT_EQ("English", run.form->edtDONOTTRANSLATE->text().toStdString());
}

TEST(InterfaceLanguages, SwitchingTranslatesTheFormAndKeepsTheSettings) {
  TempDir dir;
  installGerman(dir);
  VantroRun run(dir);
  ASSERT_TRUE(waitForStart(*run.form));
  TfrmVantro& form = *run.form;
  EXPECT_EQ((QStringList{"Deutsch", "English"}), form.cmbUILangs->entries());
  form.edit("FirstLineStart")->setText("@");
  form.KorvexProjectName->setText("Manual");
  form.grbScope->setItemIndex(0);

  pick(form, "Deutsch");
  EXPECT_EQ(utf8("Dateien &hinzufügen"), form.btnAdd->Caption());
  EXPECT_EQ(utf8("Öffentlich"), form.grbScope->Items()->line(2));
  EXPECT_EQ(utf8("Rekursive Include-Datei übersprungen:"), form.EXEStrings->Strings()->line(9));
  EXPECT_EQ("Liste der zu lesenden Dateien", form.lsbFileList->Hint().toStdString());
  EXPECT_EQ("Deutsch", form.edtDONOTTRANSLATE->text().toStdString());
  EXPECT_EQ("Deutsch", form.cmbUILangs->currentText().toStdString());
  EXPECT_EQ("@", form.edit("FirstLineStart")->text().toStdString()) << "settings are no words";
  EXPECT_EQ("Manual", form.KorvexProjectName->Text().toStdString());
  EXPECT_EQ(0, form.grbScope->ItemIndex());
  EXPECT_EQ("KORVEX Konfiguration", form.windowTitle().toStdString());

  pick(form, "Deutsch");  // picking it again changes nothing
  EXPECT_EQ(utf8("Dateien &hinzufügen"), form.btnAdd->Caption());
  pick(form, "English");
  EXPECT_EQ("&Add Files", form.btnAdd->Caption().toStdString());
  EXPECT_EQ("Public", form.grbScope->Items()->line(2).toStdString());
  EXPECT_EQ("@", form.edit("FirstLineStart")->text().toStdString());
  EXPECT_TRUE(run.prompts->errors.empty());
}

TEST(InterfaceLanguages, TheChoiceIsRememberedForTheNextStart) {
  TempDir dir;
  installGerman(dir);
  {
    VantroRun first(dir);
    first.form->show();
    ASSERT_TRUE(waitForStart(*first.form));
    pick(*first.form, "Deutsch");
    ASSERT_TRUE(first.form->close());
  }
  platform::Profile storage(dir.path() + "/bin/Vantro.INI");
  EXPECT_EQ("Deutsch", storage.ReadString("Form Storage", "edtDONOTTRANSLATE_Text", ""));
  VantroRun second(dir);
  second.form->show();
  ASSERT_TRUE(waitForStart(*second.form));
  EXPECT_EQ("Deutsch", second.form->cmbUILangs->currentText().toStdString());
  EXPECT_EQ(utf8("Dateien &hinzufügen"), second.form->btnAdd->Caption());
  second.form->hide();
}

TEST(InterfaceLanguages, ARememberedLanguageWithoutItsFileFallsBackToEnglish) {
  TempDir dir;
  dir.write("bin/Vantro.INI", "[Form Storage]\r\nedtDONOTTRANSLATE_Text=Deutsch\r\n");
  VantroRun run(dir);
  run.form->show();
  ASSERT_TRUE(waitForStart(*run.form));
  EXPECT_EQ("English", run.form->cmbUILangs->currentText().toStdString());
  EXPECT_EQ("English", run.form->edtDONOTTRANSLATE->text().toStdString());
  run.form->hide();
}

TEST(InterfaceLanguages, TwoFilesOfOneLanguageGiveOneEntry) {
  TempDir dir;
  std::string bin = dir.path() + "/bin/";
  // Language names are Windows-1252 text: "Fran\xE7ais" is "Français".
  writeInterfaceLanguage(bin + "a.lnf", "FRA",
                         "Fran\xE7"
                         "ais",
                         {{"frmVantro_btnAdd_Caption", "Ajouter"}});
  writeInterfaceLanguage(bin + "b.lnf", "fra", "French",
                         {{"frmVantro_btnAdd_Caption", "&Ajouter"}});
  VantroRun run(dir);
  ASSERT_TRUE(waitForStart(*run.form));
  EXPECT_EQ((QStringList{"English", "Français"}), run.form->cmbUILangs->entries());
  pick(*run.form, "Français");
  EXPECT_EQ("&Ajouter", run.form->btnAdd->Caption().toStdString()) << "the second file updates";
  EXPECT_EQ("&Remove Files", run.form->btnRemove->Caption().toStdString())
      << "a text the file lacks stays English";
}

TEST(InterfaceLanguages, BadLanguageFilesAreShownAndTheOthersStillLoad) {
  TempDir dir;
  installGerman(dir);
  std::string bin = dir.path() + "/bin/";
  dir.write("bin/Alien.lnf", std::string("\x05\0\0\0Alien", 9));
  writeInterfaceLanguage(
      bin + "Half.lnf", "XYZ", "Half",
      {{"frmVantro_btnAdd_Caption", "half"}, {"frmVantro_btnRemove_Caption", "x"}});
  std::string half = testing_support::readBytes(bin + "Half.lnf");
  testing_support::writeBytes(bin + "Half.lnf", half.substr(0, half.size() - 6));
  VantroRun run(dir);
  ASSERT_TRUE(waitForStart(*run.form));
  ASSERT_EQ(2u, run.prompts->errors.size());
  EXPECT_EQ("The language file, " + bin + "Alien.lnf, did not have the correct signature",
            run.prompts->errors[0]);
  EXPECT_EQ((QStringList{"Deutsch", "English"}), run.form->cmbUILangs->entries())
      << "the language of the file that ends inside a record is dropped";
  EXPECT_EQ("&Add Files", run.form->btnAdd->Caption().toStdString());
}

TEST(InterfaceLanguages, BaseFileBesideTheProgramIsMerged) {
  TempDir dir;
  writeInterfaceLanguage(
      dir.path() + "/bin/Vantro.lnf", "ENG", "English",
      {{"frmVantro_btnAdd_Caption", "&Add Units"}, {"frmVantro_Extra_Caption", "extra"}});
  VantroRun run(dir);
  ASSERT_TRUE(waitForStart(*run.form));
  EXPECT_NE(-1, run.form->appLang->IndexOfString("frmVantro_Extra_Caption"));
  EXPECT_EQ(1, run.form->appLang->LanguageCount());
  EXPECT_EQ("&Add Units", run.form->btnAdd->Caption().toStdString());
}

TEST(InterfaceLanguages, DumpWritesTheBaseFilesAndEnds) {
  TempDir dir;
  VantroRun run(dir, {"dump"});
  ASSERT_TRUE(run.form->dumpMode());
  ASSERT_TRUE(waitForStart(*run.form));
  EXPECT_EQ(0, run.exitCode);
  std::string base = run.programDir + "Vantro.lnf";
  lang::TCustomLanguageCenter dumped;
  dumped.LoadFromFile(base, true);
  lang::TCustomLanguageCenter table;
  lang::BaseLang::LoadENG(table);
  // The form's texts: the table up to the console messages, then the output
  // format group, HTMLStrings and ReaderStrings, which are created last.
  const int formRows = lang::BaseLang::kConsoleLast + 1;
  const int groupRows = lang::BaseLang::kRowCount - lang::BaseLang::kOutputFormatCaption;
  ASSERT_EQ(formRows + groupRows, dumped.StringCount());
  EXPECT_EQ("ENG", dumped.CurrentLanguage()->LangID());
  EXPECT_EQ("English", dumped.CurrentLanguage()->LanguageName);
  EXPECT_EQ("frmVantro.btnAdd.Caption", dumped.StringDescriptions(9));
  for (int i = 0; i < dumped.StringCount(); ++i) {
    const int row = i < formRows ? i : lang::BaseLang::kOutputFormatCaption + i - formRows;
    EXPECT_EQ(table.StringIDs(row), dumped.StringIDs(i));
  }

  // Korvex loads it against its built-in table, by ID.
  table.LoadFromFile(base, false);
  EXPECT_EQ(1, table.LanguageCount());
  EXPECT_EQ("Adding unit:", table.currentText(lang::BaseLang::kMsgAddingUnit));

  platform::Profile project(run.programDir + "Vantro.lpf");
  EXPECT_EQ("Vantro.lnf", project.ReadString("Project", "BaseFile", ""));
  EXPECT_EQ("Vantro.lnf", project.ReadString("Translations", "1", ""));
  EXPECT_TRUE(project.SectionExists("Build"));
  EXPECT_EQ("", project.ReadString("Build", "FileName", "unset"));
  EXPECT_EQ("0", project.ReadString("Build", "CompileLanguages", ""));
  EXPECT_FALSE(platform::fileExists(dir.path() + "/work/KORVEX.INI")) << "settings not written";
}

TEST(InterfaceLanguages, DumpWithASecondParameterStartsNormally) {
  TempDir dir;
  VantroRun run(dir, {"DUMP", "more"});
  EXPECT_FALSE(run.form->dumpMode());
  EXPECT_EQ("DUMP", run.form->ProjectFile());
  ASSERT_TRUE(waitForStart(*run.form));
  EXPECT_EQ(-1, run.exitCode) << "the start event did not end the program";
  EXPECT_FALSE(platform::fileExists(run.programDir + "Vantro.lnf"));
}

}  // namespace
}  // namespace vantro::testing

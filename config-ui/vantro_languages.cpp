// Vantro's interface languages: the base language read from the form, the
// language files beside the program, switching at run time, and the base
// files for translators (DUMP).
#include <QLineEdit>

#include "config-ui/ansi_text.h"
#include "config-ui/controls.h"
#include "config-ui/dialogs.h"
#include "config-ui/form_language_center.h"
#include "config-ui/vantro_form.h"
#include "platform/files.h"
#include "platform/misc.h"
#include "platform/profile.h"

namespace vantro {
namespace {

constexpr const char* kBaseFile = "Vantro.lnf";

// Texts the language walk reaches that are settings, not words: a language
// carries what they held when the form was read, and must not overwrite what
// the user has chosen since.
class SettingsGuard {
 public:
  explicit SettingsGuard(TfrmVantro& form) : languages_(form.Languages) {
    language_ = languages_->currentText();
    for (TEdit* edit : form.findChildren<TEdit*>()) edits_.push_back({edit, edit->text()});
    edits_.push_back({form.KorvexProjectName->edit(), form.KorvexProjectName->Text()});
  }
  ~SettingsGuard() {
    languages_->setText(language_);
    for (auto& [edit, text] : edits_) edit->setText(text);
  }
  SettingsGuard(const SettingsGuard&) = delete;
  SettingsGuard& operator=(const SettingsGuard&) = delete;

 private:
  TDropDownList* languages_;
  QString language_;
  std::vector<std::pair<QLineEdit*, QString>> edits_;
};

}  // namespace

void TfrmVantro::renameBaseLanguage() {
  lang::TLanguageSet* base = appLang->CurrentLanguage();
  base->LanguageName = "English";
  base->SetLangID("ENG");
}

void TfrmVantro::loadInterfaceLanguage(const std::string& fileName, bool merge) {
  int before = appLang->LanguageCount();
  try {
    if (merge) {
      appLang->MergeFromFile(fileName);
    } else {
      appLang->LoadFromFile(fileName, false);
    }
  } catch (const lang::ELanguageError& error) {
    // A half-read language would show a mix of texts: drop it.
    if (appLang->LanguageCount() > before)
      appLang->RemoveLanguage(appLang->Languages(appLang->LanguageCount() - 1));
    reportError(error);
  } catch (const platform::FileError& error) {
    reportError(error);
  }
}

void TfrmVantro::prepareInterfaceLanguages() {
  appLang->ClearAll();
  appLang->ReadForms();
  renameBaseLanguage();
  std::string baseFile = setup_.programDirectory + kBaseFile;
  if (platform::fileExists(baseFile)) loadInterfaceLanguage(baseFile, true);
  std::vector<std::string> files;
  platform::FindFiles(setup_.programDirectory, "*.lnf", files);
  for (const std::string& file : files) loadInterfaceLanguage(file, false);
}

void TfrmVantro::fillLanguageList() {
  cmbUILangs->clear();
  for (int i = 0; i < appLang->LanguageCount(); ++i)
    cmbUILangs->addEntry(fromAnsi(appLang->Languages(i).LanguageName), i);
  int index =
      cmbUILangs->findText(edtDONOTTRANSLATE->text(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0) index = cmbUILangs->findText("English", Qt::MatchExactly | Qt::MatchCaseSensitive);
  cmbUILangs->setCurrentIndex(index);
}

void TfrmVantro::onAppLoaded() {
  if (dumpMode()) {
    ending_ = true;
    int exitCode = 0;
    try {
      writeBaseFiles();
    } catch (const std::exception& error) {
      reportError(error);
      exitCode = 1;
    }
    Terminate(exitCode);
    return;
  }
  fillLanguageList();
  changeInterfaceLanguage();
}

void TfrmVantro::changeInterfaceLanguage() {
  int tag = cmbUILangs->selectedTag();
  if (tag < 0 || tag >= appLang->LanguageCount() || changingLanguage_) return;
  changingLanguage_ = true;
  QString shown = cmbUILangs->currentText();
  try {
    SettingsGuard settings(*this);
    appLang->SetCurrentLanguage(&appLang->Languages(tag));
    appLang->ApplyToForms(appLang->CurrentLanguage());
  } catch (const std::exception& error) {
    reportError(error);
  }
  edtDONOTTRANSLATE->setText(fromAnsi(appLang->CurrentLanguage()->LanguageName));
  cmbUILangs->setText(shown);
  changingLanguage_ = false;
}

void TfrmVantro::writeBaseFiles() {
  appLang->ClearAll();
  appLang->ReadForms();
  renameBaseLanguage();
  std::string baseFile = setup_.programDirectory + kBaseFile;
  appLang->SaveToFile(appLang->CurrentLanguage(), baseFile,
                      lang::TCustomLanguageCenter::kPartText |
                          lang::TCustomLanguageCenter::kPartID |
                          lang::TCustomLanguageCenter::kPartDescription);
  platform::Profile project(platform::changeFileExt(baseFile, ".lpf"));
  project.WriteString("Project", "BaseFile", kBaseFile);
  project.WriteString("Translations", "1", kBaseFile);
  project.WriteString("Build", "FileName", "");
  project.WriteString("Build", "CompileLanguages", "0");
  project.UpdateFile();
}

}  // namespace vantro

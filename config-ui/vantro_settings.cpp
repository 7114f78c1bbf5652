// Start, settings, the file list and the check-box rules of Vantro's window.
#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>

#include "config-ui/ansi_text.h"
#include "config-ui/controls.h"
#include "config-ui/dialogs.h"
#include "config-ui/form_language_center.h"
#include "config-ui/form_storage.h"
#include "config-ui/non_visual.h"
#include "config-ui/vantro_form.h"
#include "platform/files.h"
#include "platform/misc.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace vantro {
namespace {

constexpr std::string_view kOptions = "Options";
constexpr std::string_view kFiles = "Files";

// Keys in the order the configuration file lists them.
constexpr const char* kCaseSensitive[] = {
    "CasesensitiveInClassInheritence", "CasesensitiveInConstantComment",
    "CasesensitiveInConstantValue",    "CasesensitiveInMethodComment",
    "CasesensitiveInParameterList",    "CasesensitiveInPropertyComment",
    "CasesensitiveInRecords",          "CasesensitiveInReturnType",
    "CasesensitiveInStorageMechanism", "CasesensitiveInTypeComment",
    "CasesensitiveInUnitComment",      "CasesensitiveInVariableComment"};
constexpr const char* kCommentsRequired[] = {
    "CommentsRequiredInConstants", "CommentsRequiredInMethods", "CommentsRequiredInProperties",
    "CommentsRequiredInTypes",     "CommentsRequiredInUnits",   "CommentsRequiredInVariables"};
constexpr const char* kFirstLine[][2] = {
    {"FirstLineBitmap", "#BITMAP:"},   {"FirstLineEnd", "!"},
    {"FirstLineEvent", "#EVENT"},      {"FirstLineForceInvisible", "#NV"},
    {"FirstLineForceVisible", "#V"},   {"FirstLineKeepOldComment", "#K"},
    {"FirstLineNewComment", "#C"},     {"FirstLineScopePrivate", "#0"},
    {"FirstLineScopeProtected", "#1"}, {"FirstLineScopePublic", "#2"},
    {"FirstLineScopePublished", "#3"}, {"FirstLineStart", "!"}};
// The suffix X of each LinkSearchInX box, whose CasesensitiveInX it enables.
constexpr const char* kLinkSearch[] = {"ClassInheritence", "ConstantComment", "ConstantValue",
                                       "MethodComment",    "Records",         "ParameterList",
                                       "PropertyComment",  "ReturnType",      "StorageMechanism",
                                       "TypeComment",      "UnitComment",     "VariableComment"};
constexpr struct {
  const char* key;
  bool initial;
} kShow[] = {{"ShowInheritedEvents", true},           {"ShowInheritedMethods", true},
             {"ShowInheritedProperties", true},       {"ShowMethodExtra", true},
             {"ShowPropertyStorageMechanism", false}, {"ShowPropertyExtra", true}};

class MessageBoxPrompts : public UserPrompts {
 public:
  void showError(const QString& message) override {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
  }
  WriteFailure askAfterWriteFailure(const QString& message) override {
    auto answer = QMessageBox::warning(
        QApplication::activeWindow(), QApplication::applicationName(), message,
        QMessageBox::Retry | QMessageBox::Cancel | QMessageBox::Discard, QMessageBox::Retry);
    if (answer == QMessageBox::Retry) return WriteFailure::Retry;
    return answer == QMessageBox::Discard ? WriteFailure::Discard : WriteFailure::KeepOpen;
  }
  std::optional<QStringList> chooseFiles(TOpenDialog& dialog, QWidget* parent) override {
    if (!dialog.Execute(parent)) return std::nullopt;
    return dialog.Files();
  }
};

void syncBool(platform::Profile& profile, TCheckBox* box, const char* key, bool initial,
              bool write) {
  if (write) {
    profile.WriteBool(kOptions, key, box->isChecked());
  } else {
    box->setChecked(profile.ReadBool(kOptions, key, initial));
  }
}

void syncText(platform::Profile& profile, QLineEdit* edit, const char* key, const char* initial,
              bool write) {
  if (write) {
    profile.WriteString(kOptions, key, toAnsi(edit->text()));
  } else {
    edit->setText(fromAnsi(profile.ReadString(kOptions, key, initial)));
  }
}

}  // namespace

std::unique_ptr<UserPrompts> messageBoxPrompts() {
  return std::make_unique<MessageBoxPrompts>();
}

bool TfrmVantro::dumpMode() const {
  return setup_.parameters.size() == 1 && platform::sameText(setup_.parameters[0], "DUMP");
}

void TfrmVantro::FormCreate() {
  projectFile_ = !setup_.parameters.empty() && !setup_.parameters[0].empty()
                     ? setup_.parameters[0]
                     : setup_.currentDirectory + "/KORVEX.INI";
  listHelpLanguages();
  readSettings(setup_.programDirectory + "KORVEX.INI");
  readSettings(projectFile_);
  frmStorage->IniFileName = setup_.programDirectory + "Vantro.INI";
  pgcPages->setActivePage(tbsFiles);
  prepareInterfaceLanguages();
}

void TfrmVantro::reportError(const std::exception& error) {
  prompts_->showError(fromAnsi(error.what()));
}

TCheckBox* TfrmVantro::checkBox(const std::string& name) const {
  return findChild<TCheckBox*>(QString::fromStdString(name));
}

TEdit* TfrmVantro::edit(const std::string& name) const {
  return findChild<TEdit*>(QString::fromStdString(name));
}

void TfrmVantro::ReadWriteSettings(platform::Profile& profile, bool write) {
  for (const char* key : kCaseSensitive) syncBool(profile, checkBox(key), key, true, write);
  for (const char* key : kCommentsRequired) syncBool(profile, checkBox(key), key, false, write);
  for (const auto& [key, initial] : kFirstLine) syncText(profile, edit(key), key, initial, write);
  syncText(profile, KorvexProjectName->edit(), "KorvexProjectName", "KORVEX", write);
  if (write) {
    profile.WriteInteger(kOptions, "KorvexProjectScope", grbScope->ItemIndex());
    profile.EraseSection(kFiles);
    for (const QString& file : lsbFileList->entries())
      profile.WriteString(kFiles, toAnsi(file), "");
  } else {
    grbScope->setItemIndex(profile.ReadInteger(kOptions, "KorvexProjectScope", 2));
    lsbFileList->clear();
    for (const std::string& file : profile.ReadSection(kFiles)) addFiles({fromAnsi(file)});
  }
  for (const char* suffix : kLinkSearch) {
    std::string key = std::string("LinkSearchIn") + suffix;
    syncBool(profile, checkBox(key), key.c_str(), true, write);
  }
  for (const auto& [key, initial] : kShow) syncBool(profile, checkBox(key), key, initial, write);
  if (write) {
    profile.WriteString(kOptions, "Language", toAnsi(Languages->currentText()));
    profile.WriteString(kOptions, "OutputFormat",
                        grbOutputFormat->ItemIndex() == 1 ? "HTML" : "RTF");
  } else {
    QString language = fromAnsi(profile.ReadString(kOptions, "Language", "English"));
    if (Languages->findText(language, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
      language = QStringLiteral("English");
    Languages->setText(language);
    // Anything but HTML is the default, RTF, as korvex reads it.
    const bool html =
        platform::sameText(profile.ReadString(kOptions, "OutputFormat", "RTF"), "HTML");
    grbOutputFormat->setItemIndex(html ? 1 : 0);
  }
  applyStorageRule();
}

void TfrmVantro::readSettings(const std::string& fileName) {
  try {
    platform::Profile profile(fileName);
    ReadWriteSettings(profile, false);
  } catch (const platform::FileError& error) {
    // Shown, then the defaults: the file cannot be edited, but the window can.
    reportError(error);
    platform::Profile empty = platform::Profile::fromText("", fileName);
    ReadWriteSettings(empty, false);
  }
}

void TfrmVantro::writeSettings() {
  platform::Profile profile(projectFile_);
  ReadWriteSettings(profile, true);
  profile.UpdateFile();
}

void TfrmVantro::listHelpLanguages() {
  Languages->clear();
  try {
    std::vector<std::string> files;
    platform::FindFiles(setup_.programDirectory + "Template", "*.lnf", files);
    for (size_t i = 0; i < files.size(); ++i) {
      lang::TLanguageSet& language = BuildLang->LoadFromFile(files[i], i == 0);
      QString name = fromAnsi(language.LanguageName);
      if (Languages->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        Languages->addEntry(name);
    }
  } catch (const lang::ELanguageError& error) {
    reportError(error);
  } catch (const platform::FileError& error) {
    reportError(error);
  }
  if (BuildLang->IndexOfLanguage("ENG") == -1) BuildLang->AddLanguage("ENG", "English");
}

void TfrmVantro::addFiles(const QStringList& files) {
  for (const QString& file : files) {
    if (!lsbFileList->containsIgnoringCase(file)) lsbFileList->addEntry(file);
  }
}

void TfrmVantro::removeSelectedFiles() {
  lsbFileList->deleteSelected();
}

void TfrmVantro::runFileAdd() {
  if (std::optional<QStringList> files = prompts_->chooseFiles(*diaOpen, this)) addFiles(*files);
}

void TfrmVantro::connectRules() {
  for (const char* suffix : kLinkSearch) {
    TCheckBox* companion = checkBox(std::string("CasesensitiveIn") + suffix);
    connect(checkBox(std::string("LinkSearchIn") + suffix), &QCheckBox::toggled, companion,
            &QWidget::setEnabled);
  }
  connect(checkBox("ShowPropertyStorageMechanism"), &QCheckBox::toggled, this,
          [this] { applyStorageRule(); });
  connect(FileAdd, &QAction::triggered, this, [this] { runFileAdd(); });
  connect(FileRemove, &QAction::triggered, this, [this] { removeSelectedFiles(); });
  appEvents->OnHint = [this](const QString& hint) { stbStatusBar->showMessage(hint); };
  appLang->OnAppLoaded = [this](TLanguageCenter&) { onAppLoaded(); };
  connect(cmbUILangs, &QComboBox::activated, this, [this] { changeInterfaceLanguage(); });
  applyStorageRule();
}

void TfrmVantro::applyStorageRule() {
  bool on = checkBox("ShowPropertyStorageMechanism")->isChecked();
  checkBox("LinkSearchInStorageMechanism")->setEnabled(on);
  checkBox("CasesensitiveInStorageMechanism")->setEnabled(on);
}

void TfrmVantro::showEvent(QShowEvent* event) {
  TForm::showEvent(event);
  if (shown_) return;
  shown_ = true;
  if (!frmStorage->IniFileName.empty()) frmStorage->RestoreFormPlacement(*this);
}

void TfrmVantro::closeEvent(QCloseEvent* event) {
  if (ending_ || projectFile_.empty()) return TForm::closeEvent(event);
  for (;;) {
    try {
      writeSettings();
      break;
    } catch (const platform::FileError& error) {
      auto choice = prompts_->askAfterWriteFailure(fromAnsi(error.what()));
      if (choice == UserPrompts::WriteFailure::Discard) break;
      if (choice == UserPrompts::WriteFailure::KeepOpen) return event->ignore();
    }
  }
  try {
    frmStorage->SaveFormPlacement(*this);
  } catch (const platform::FileError& error) {
    reportError(error);
  }
  TForm::closeEvent(event);
}

}  // namespace vantro

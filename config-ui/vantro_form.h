// Vantro's window: the editor of a Korvex project configuration file.
//
// The form owns every control; the controls hold the settings while the
// window is open (there is no other copy). It reads "KORVEX.INI" beside the
// program and then the project file at start, and writes the project file
// when it closes. Its interface language is chosen through the form-bound
// language center appLang; the console program's messages ride along in
// EXEStrings so that they are translated with the form.
//
// Everything that would stop and ask the user goes through UserPrompts, so
// tests can answer instead of a person.
#pragma once

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config-ui/component_model.h"

namespace platform {
class Profile;
}

namespace vantro {

class TAction;
class TAppEvents;
class TButton;
class TCheckBox;
class TDropDownList;
class TEdit;
class TFilenameEdit;
class TFormStorage;
class TGradientCaption;
class TGroupBox;
class TLabel;
class TLanguageCenter;
class TLanguageStrings;
class TListBox;
class TOpenDialog;
class TPageControl;
class TRadioGroup;
class TStatusBar;
class TTabSheet;

// Where the program runs and what it was given.
struct VantroSetup {
  std::string programDirectory;  // ends with '/'
  std::string currentDirectory;
  std::vector<std::string> parameters;
};

class UserPrompts {
 public:
  enum class WriteFailure { Retry, KeepOpen, Discard };

  virtual ~UserPrompts() = default;
  virtual void showError(const QString& message) = 0;
  // The project file could not be written on closing: what now?
  virtual WriteFailure askAfterWriteFailure(const QString& message) = 0;
  // Shows the open dialog; the chosen files, or nothing when cancelled.
  virtual std::optional<QStringList> chooseFiles(TOpenDialog& dialog, QWidget* parent) = 0;
};

// Message boxes and the real open dialog.
std::unique_ptr<UserPrompts> messageBoxPrompts();

class TfrmVantro : public TForm {
  Q_OBJECT

 public:
  static constexpr int kWidth = 617;
  static constexpr int kHeight = 450;

  // Builds the window with every control as designed; nothing is read yet.
  TfrmVantro(VantroSetup setup, std::unique_ptr<UserPrompts> prompts);
  ~TfrmVantro() override;

  // The start steps: project file, help-text languages, settings, form
  // storage, interface languages. Problems are shown, never thrown.
  void FormCreate();

  const VantroSetup& setup() const { return setup_; }
  const std::string& ProjectFile() const { return projectFile_; }
  bool dumpMode() const;
  // Ends the application with an exit code (QCoreApplication::exit unless a
  // test replaces it).
  std::function<void(int exitCode)> Terminate;

  // Settings: one routine for both directions (the keys, their order and
  // their defaults are the same).
  void ReadWriteSettings(platform::Profile& profile, bool write);
  // A missing file reads as empty; an unreadable one is reported and read
  // as empty.
  void readSettings(const std::string& fileName);
  // Throws platform::FileError.
  void writeSettings();
  void listHelpLanguages();

  void addFiles(const QStringList& files);
  void removeSelectedFiles();
  TCheckBox* checkBox(const std::string& name) const;
  TEdit* edit(const std::string& name) const;

  // Interface languages.
  void prepareInterfaceLanguages();
  void onAppLoaded();
  void changeInterfaceLanguage();
  // Writes Vantro.lnf and Vantro.lpf; throws on failure.
  void writeBaseFiles();

  // The components, as the form owns them.
  TStatusBar* stbStatusBar;
  TPageControl* pgcPages;
  TTabSheet* tbsFiles;
  TLabel* Label12;
  TGroupBox* grbFiles;
  TListBox* lsbFileList;
  TButton* btnAdd;
  TButton* btnRemove;
  TFilenameEdit* KorvexProjectName;
  TRadioGroup* grbScope;
  TGroupBox* grbLanguages;
  TDropDownList* Languages;
  TGroupBox* grbUILang;
  TDropDownList* cmbUILangs;
  TEdit* edtDONOTTRANSLATE;
  TTabSheet* tbsGeneral;
  TTabSheet* tbsFirstLine;
  TGradientCaption* gcaCaption;
  TOpenDialog* diaOpen;
  TLanguageStrings* EXEStrings;
  TAction* FileAdd;
  TAction* FileRemove;
  TAppEvents* appEvents;
  TLanguageCenter* appLang;
  TLanguageCenter* BuildLang;
  TFormStorage* frmStorage;
  // Created after the components above, so their texts follow in the
  // interface table; the group sits on the General page.
  TRadioGroup* grbOutputFormat;
  TLanguageStrings* HTMLStrings;
  TLanguageStrings* ReaderStrings;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildFilesPage();
  void buildGeneralPage();
  void buildFirstLinePage();
  void buildHiddenComponents();
  void buildOutputFormatGroup();
  void connectRules();
  void applyStorageRule();
  void runFileAdd();
  void reportError(const std::exception& error);
  void loadInterfaceLanguage(const std::string& fileName, bool merge);
  void renameBaseLanguage();
  void fillLanguageList();

  VantroSetup setup_;
  std::unique_ptr<UserPrompts> prompts_;
  std::string projectFile_;
  bool shown_ = false;
  bool changingLanguage_ = false;
  bool ending_ = false;
};

}  // namespace vantro

// The window as designed: every control with its texts, defaults and place.
// Components are created in the order the interface table lists them, which
// is the order the language center walks them in.
#include "config-ui/vantro_form.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QVBoxLayout>

#include "config-ui/controls.h"
#include "config-ui/dialogs.h"
#include "config-ui/form_language_center.h"
#include "config-ui/form_storage.h"
#include "config-ui/non_visual.h"
#include "lang/base_lang.h"
#include "lang/language_center.h"

namespace vantro {
namespace {

// Tight spacing: nine groups of check boxes share one page of a small window.
QGridLayout* groupLayout(TGroupBox* group) {
  auto* layout = new QGridLayout(group);  // owned by the group box
  layout->setContentsMargins(6, 2, 6, 4);
  layout->setVerticalSpacing(0);
  layout->setHorizontalSpacing(0);
  layout->setColumnMinimumWidth(0, 18);
  return layout;
}

// Console messages (rows first to last) as the built-in interface table holds
// them.
QStringList consoleMessages(int first, int last) {
  lang::TCustomLanguageCenter table;
  lang::BaseLang::LoadENG(table);
  QStringList lines;
  for (int i = first; i <= last; ++i) lines.append(QString::fromStdString(table.currentText(i)));
  return lines;
}

struct CheckBoxDesign {
  const char* name;
  const char* caption;
  const char* hint;
  bool checked;
  int row;
  bool indented;
};

}  // namespace

TfrmVantro::TfrmVantro(VantroSetup setup, std::unique_ptr<UserPrompts> prompts)
    : setup_(std::move(setup)), prompts_(std::move(prompts)) {
  setObjectName(QStringLiteral("frmVantro"));
  Terminate = [](int code) { QCoreApplication::exit(code); };
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kWidth, kHeight);

  auto* layout = new QVBoxLayout(this);  // owned by the form
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  stbStatusBar = create<TStatusBar>("stbStatusBar", this);
  stbStatusBar->setHint(QStringLiteral("Hint bar where hints will be displayed"));
  stbStatusBar->setSizeGripEnabled(false);
  pgcPages = create<TPageControl>("pgcPages", this);
  buildFilesPage();
  buildGeneralPage();
  buildFirstLinePage();
  buildHiddenComponents();
  buildOutputFormatGroup();

  auto* pages = new QWidget(this);  // owned by the form; frames the page control
  auto* pagesLayout = new QVBoxLayout(pages);
  pagesLayout->setContentsMargins(4, 4, 4, 2);
  pagesLayout->addWidget(pgcPages);
  layout->addWidget(gcaCaption);
  layout->addWidget(pages, 1);
  layout->addWidget(stbStatusBar);
  pgcPages->setActivePage(tbsFiles);
  connectRules();
}

TfrmVantro::~TfrmVantro() = default;

void TfrmVantro::buildFilesPage() {
  tbsFiles = create<TTabSheet>("tbsFiles", pgcPages);
  tbsFiles->setCaption(QStringLiteral("Files"));
  Label12 = create<TLabel>("Label12", tbsFiles);
  Label12->setCaption(QStringLiteral("Project File Name"));
  grbFiles = create<TGroupBox>("grbFiles", tbsFiles);
  grbFiles->setCaption(QStringLiteral("Files to Parse"));
  lsbFileList = create<TListBox>("lsbFileList", grbFiles);
  lsbFileList->setHint(QStringLiteral("List of files to be parsed"));
  lsbFileList->setSorted(true);
  btnAdd = create<TButton>("btnAdd", grbFiles);
  btnRemove = create<TButton>("btnRemove", grbFiles);
  KorvexProjectName = create<TFilenameEdit>("KorvexProjectName", tbsFiles);
  KorvexProjectName->setDialogTitle(QStringLiteral("Browse"));
  KorvexProjectName->setFilter(QStringLiteral("All files (*.*)|*.*"));
  KorvexProjectName->setHint(QStringLiteral("Name of the RTF and HPJ file to build"));
  grbScope = create<TRadioGroup>("grbScope", tbsFiles);
  grbScope->setCaption(QStringLiteral("Project Scope"));
  grbScope->setHint(QStringLiteral("Scope of the project to build"));
  grbScope->Items()->setLines({"Private", "Protected", "Public", "Published"});
  grbScope->setItemIndex(2);
  grbLanguages = create<TGroupBox>("grbLanguages", tbsFiles);
  grbLanguages->setCaption(QStringLiteral("&Language"));
  Languages = create<TDropDownList>("Languages", grbLanguages);
  Languages->setHint(QStringLiteral("Language to use. "));
  Languages->setSorted(true);
  grbUILang = create<TGroupBox>("grbUILang", tbsFiles);
  grbUILang->setCaption(QStringLiteral("User Interface Language"));
  cmbUILangs = create<TDropDownList>("cmbUILangs", grbUILang);
  cmbUILangs->setSorted(true);
  edtDONOTTRANSLATE = create<TEdit>("edtDONOTTRANSLATE", grbUILang);
  edtDONOTTRANSLATE->setVisible(false);

  auto* files = new QVBoxLayout(grbFiles);  // owned by the group box
  files->addWidget(lsbFileList, 1);
  auto* buttons = new QHBoxLayout();  // owned by the layout it is added to
  buttons->addWidget(btnAdd);
  buttons->addWidget(btnRemove);
  buttons->addStretch(1);
  files->addLayout(buttons);
  (new QVBoxLayout(grbLanguages))->addWidget(Languages);
  auto* uiLang = new QVBoxLayout(grbUILang);
  uiLang->addWidget(cmbUILangs);
  uiLang->addWidget(edtDONOTTRANSLATE);

  auto* page = new QGridLayout(tbsFiles);  // owned by the page
  page->setContentsMargins(8, 8, 8, 8);
  page->addWidget(Label12, 0, 0);
  page->addWidget(KorvexProjectName, 0, 1, 1, 2);
  page->addWidget(grbFiles, 1, 0, 4, 2);
  page->addWidget(grbScope, 1, 2);
  page->addWidget(grbLanguages, 2, 2);
  page->addWidget(grbUILang, 3, 2);
  page->setRowStretch(4, 1);
  page->setColumnStretch(1, 1);
  page->setColumnMinimumWidth(2, 190);
}

void TfrmVantro::buildGeneralPage() {
  tbsGeneral = create<TTabSheet>("tbsGeneral", pgcPages);
  tbsGeneral->setCaption(QStringLiteral("General Settings"));
  // Nine groups share this page: a slightly smaller font leaves room for
  // longer translations.
  QFont font = tbsGeneral->font();
  font.setPointSizeF(font.pointSizeF() * 0.9);
  tbsGeneral->setFont(font);
  auto* columns = new QHBoxLayout(tbsGeneral);  // owned by the page
  columns->setContentsMargins(6, 6, 6, 6);
  QVBoxLayout* column = nullptr;
  auto group = [&](const char* name, const char* caption,
                   std::initializer_list<CheckBoxDesign> boxes, bool newColumn) {
    if (newColumn) {
      if (column != nullptr) column->addStretch(1);
      column = new QVBoxLayout();  // owned by the page's layout
      column->setSpacing(4);
      columns->addLayout(column, 1);
    }
    TGroupBox* box = create<TGroupBox>(name, tbsGeneral);
    box->setCaption(QString::fromLatin1(caption));
    QGridLayout* grid = groupLayout(box);
    for (const CheckBoxDesign& design : boxes) {
      TCheckBox* check = create<TCheckBox>(design.name, box);
      check->setCaption(QString::fromLatin1(design.caption));
      check->setHint(QString::fromLatin1(design.hint));
      check->setChecked(design.checked);
      grid->addWidget(check, design.row, design.indented ? 1 : 0, 1, design.indented ? 1 : 2);
    }
    column->addWidget(box);
  };
  group("grbUnit", "&Units",
        {{"CasesensitiveInUnitComment", "Case sensitive",
          "Link searches in the unit comments will be case sensitive", true, 2, true},
         {"CommentsRequiredInUnits", "Comments required",
          "If enabled - units must have comments to be visible", false, 0, false},
         {"LinkSearchInUnitComment", "Link Seach in comments",
          "Performs link searchs in the unit comments", true, 1, false}},
        true);
  group("grbClasses", "&Classes/Types/Records",
        {{"CommentsRequiredInTypes", "Comments required", "", false, 0, false},
         {"LinkSearchInTypeComment", "Link Seach in comments", "", true, 1, false},
         {"CasesensitiveInTypeComment", "Case sensitive ", "", true, 2, true},
         {"LinkSearchInRecords", "Link Search record fields", "", true, 3, false},
         {"CasesensitiveInRecords", "Case sensitive", "", true, 4, true},
         {"ShowInheritedProperties", "Show inherited properties", "", true, 5, false},
         {"ShowInheritedMethods", "Show inherited methods", "", true, 6, false},
         {"ShowInheritedEvents", "Show inherited events", "", true, 7, false}},
        false);
  group("grbInheritence", "Class/Type &Inheritence",
        {{"LinkSearchInClassInheritence", "Link Search", "", true, 0, false},
         {"CasesensitiveInClassInheritence", "Case sensitive ", "", true, 1, true}},
        false);
  group("grbConstants", "C&onstants",
        {{"CommentsRequiredInConstants", "Comments required", "", false, 0, false},
         {"LinkSearchInConstantComment", "Link Search in comments", "", true, 1, false},
         {"CasesensitiveInConstantComment", "Case sensitive", "", true, 2, true},
         {"LinkSearchInConstantValue", "Link Search in value", "", true, 3, false},
         {"CasesensitiveInConstantValue", "Case sensitive", "", true, 4, true}},
        true);
  group("grbMethods", "&Methods (procedures/functions)",
        {{"CommentsRequiredInMethods", "Comments required", "", false, 0, false},
         {"LinkSearchInMethodComment", "Link Search in comments", "", true, 1, false},
         {"CasesensitiveInMethodComment", "Case sensitive", "", true, 2, true},
         {"ShowMethodExtra", "Show extra declaration", "", true, 3, false}},
        false);
  group("grbParameterLists", "P&arameter Lists",
        {{"LinkSearchInParameterList", "Link Search in lists", "", true, 0, false},
         {"CasesensitiveInParameterList", "Case sensitive", "", true, 1, true}},
        false);
  group("grbProperties", "&Properties",
        {{"CommentsRequiredInProperties", "Comment required", "", false, 0, false},
         {"LinkSearchInPropertyComment", "Link Search in comments", "", true, 1, false},
         {"CasesensitiveInPropertyComment", "Case sensitive", "", true, 2, true},
         {"LinkSearchInStorageMechanism", "Link Search storage", "", true, 4, false},
         {"CasesensitiveInStorageMechanism", "Case sensitive", "", true, 5, true},
         {"ShowPropertyStorageMechanism", "Show property storage", "", false, 3, false},
         {"ShowPropertyExtra", "Show extra declaration", "", true, 6, false}},
        true);
  group("grbReturnType", "&Return Types",
        {{"LinkSearchInReturnType", "Link Search return types", "", true, 0, false},
         {"CasesensitiveInReturnType", "Case sensitive", "", true, 1, true}},
        false);
  group("grbVariable", "&Variables",
        {{"CommentsRequiredInVariables", "Comments required", "", false, 0, false},
         {"LinkSearchInVariableComment", "Link Search in comments", "", true, 1, false},
         {"CasesensitiveInVariableComment", "Case sensitive", "", true, 2, true}},
        false);
  column->addStretch(1);
}

void TfrmVantro::buildFirstLinePage() {
  static constexpr const char* kLabels[][2] = {{"Label1", "Start"},
                                               {"Label2", "End"},
                                               {"Label3", "Event"},
                                               {"Label4", "Force Invisible"},
                                               {"Label5", "Force Visible"},
                                               {"Label6", "Keep Old Comment"},
                                               {"Label7", "Scope Private"},
                                               {"Label8", "Scope Protected"},
                                               {"Label9", "Scope Public"},
                                               {"Label10", "Scope Published"},
                                               {"lblBitmap", "Component Bitmap"},
                                               {"lblFirstLineNewComment", "New Comment"}};
  static constexpr const char* kEdits[] = {"FirstLineStart",        "FirstLineEnd",
                                           "FirstLineEvent",        "FirstLineForceInvisible",
                                           "FirstLineForceVisible", "FirstLineKeepOldComment",
                                           "FirstLineScopePrivate", "FirstLineScopeProtected",
                                           "FirstLineScopePublic",  "FirstLineScopePublished",
                                           "FirstLineBitmap",       "FirstLineNewComment"};
  tbsFirstLine = create<TTabSheet>("tbsFirstLine", pgcPages);
  tbsFirstLine->setCaption(QStringLiteral("First Line Commands"));
  std::vector<TLabel*> labels;
  for (const auto& label : kLabels) {
    labels.push_back(create<TLabel>(label[0], tbsFirstLine));
    labels.back()->setCaption(QString::fromLatin1(label[1]));
  }
  auto* grid = new QGridLayout(tbsFirstLine);  // owned by the page
  grid->setContentsMargins(12, 12, 12, 12);
  grid->setHorizontalSpacing(8);
  grid->setColumnMinimumWidth(2, 24);
  for (size_t i = 0; i < std::size(kEdits); ++i) {
    TEdit* field = create<TEdit>(kEdits[i], tbsFirstLine);
    labels[i]->setBuddy(field);
    int row = static_cast<int>(i % 6);
    int column = i < 6 ? 0 : 3;
    grid->addWidget(labels[i], row, column);
    grid->addWidget(field, row, column + 1);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(6, 1);
}

void TfrmVantro::buildHiddenComponents() {
  gcaCaption = create<TGradientCaption>("gcaCaption", this);
  gcaCaption->setFormCaption(QStringLiteral("KORVEX Configure"));
  diaOpen = create<TOpenDialog>("diaOpen", this);
  diaOpen->setDefaultExt(QStringLiteral("*.PAS"));
  diaOpen->setFilter(QStringLiteral("PAS files (*.PAS)|*.PAS|All Files (*.*)|*.*"));
  diaOpen->setTitle(QStringLiteral("Add files to Parse"));
  diaOpen->MultiSelect = true;
  EXEStrings = create<TLanguageStrings>("EXEStrings", this);
  EXEStrings->Strings()->setLines(
      consoleMessages(lang::BaseLang::kConsoleFirst, lang::BaseLang::kConsoleLast));

  FileAdd = create<TAction>("FileAdd", this);
  FileAdd->setCaption(QStringLiteral("&Add Files"));
  FileAdd->setHint(QStringLiteral("Add files to the list to be parsed"));
  btnAdd->setAction(FileAdd);
  FileRemove = create<TAction>("FileRemove", this);
  FileRemove->setCaption(QStringLiteral("&Remove Files"));
  FileRemove->setHint(QStringLiteral("Remove files to be parsed"));
  btnRemove->setAction(FileRemove);
  appEvents = create<TAppEvents>("appEvents", this);
  appLang = create<TLanguageCenter>("appLang", this);
  appLang->setIgnoreProps({"EditMask", "FileName", "IMEName", "InitialDir", "SimpleText"});
  appLang->setIgnoreTypeProps({"TComboBox.Items", "TFilenameEdit.Text"});
  appLang->setIgnoreTypes({"TAction", "TActionList", "TAppEvents", "TComboBox", "TFormStorage",
                           "TLanguageCenter", "TPanel"});
  BuildLang = create<TLanguageCenter>("BuildLang", this);
  frmStorage = create<TFormStorage>("frmStorage", this);
  frmStorage->addStoredProperty(edtDONOTTRANSLATE, "Text");
}

void TfrmVantro::buildOutputFormatGroup() {
  grbOutputFormat = create<TRadioGroup>("grbOutputFormat", tbsGeneral);
  grbOutputFormat->setCaption(QStringLiteral("Output Format"));
  grbOutputFormat->setHint(QStringLiteral("Format of the help to build"));
  grbOutputFormat->Items()->setLines({"RTF (Windows Help)", "HTML (web pages, CHM)"});
  grbOutputFormat->setItemIndex(0);
  // As tight as the check box groups around it; below the middle column's
  // groups, before the stretch that ends the column.
  grbOutputFormat->layout()->setContentsMargins(6, 2, 6, 4);
  grbOutputFormat->layout()->setSpacing(0);
  auto* middle = static_cast<QVBoxLayout*>(tbsGeneral->layout()->itemAt(1)->layout());
  middle->insertWidget(middle->count() - 1, grbOutputFormat);
  // Korvex's texts for the format switch and the HTML build, translated with
  // the form like EXEStrings.
  HTMLStrings = create<TLanguageStrings>("HTMLStrings", this);
  HTMLStrings->Strings()->setLines(
      consoleMessages(lang::BaseLang::kUsageFormatSwitch, lang::BaseLang::kMsgChmCompileFailed));
  // Korvex's later messages about reading the sources, after HTMLStrings so
  // that the rows before them keep their places.
  ReaderStrings = create<TLanguageStrings>("ReaderStrings", this);
  ReaderStrings->Strings()->setLines(
      consoleMessages(lang::BaseLang::kMsgIncludeTooDeep, lang::BaseLang::kMsgIncludeTooDeep));
}

}  // namespace vantro

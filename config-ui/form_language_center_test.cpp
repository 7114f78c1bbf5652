// The form-bound language center: what a walk visits, in which order, under
// which IDs, and what applying a language does to the components.
#include "config-ui/form_language_center.h"

#include <gtest/gtest.h>

#include "config-ui/controls.h"
#include "config-ui/non_visual.h"
#include "config-ui/vantro_test_support.h"

namespace vantro {

// A combo box that publishes its items, as the toolkit's own does.
class TComboBox : public QComboBox {
  Q_OBJECT
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(vantro::TStrings* Items READ Items)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TComboBox(QWidget* parent) : QComboBox(parent), items_(new TStrings(this)) {}
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
  TStrings* Items() const { return items_; }

 private:
  TStrings* items_;
};

// A list class that descends from TStrings, and an object property that is
// no list at all.
class TStringList : public TStrings {
  Q_OBJECT

 public:
  explicit TStringList(QObject* parent) : TStrings(parent) {}
};

class TMemo : public QWidget {
  Q_OBJECT
  Q_PROPERTY(vantro::TStrings* Lines READ Lines)
  Q_PROPERTY(QObject* Font READ Font)
  Q_PROPERTY(QString ReadOnlyText READ ReadOnlyText)
  Q_PROPERTY(int Tag MEMBER tag_)

 public:
  explicit TMemo(QWidget* parent)
      : QWidget(parent), lines_(new TStringList(this)), font_(new QObject(this)) {}
  TStrings* Lines() const { return lines_; }
  QObject* Font() const { return font_; }
  QString ReadOnlyText() const { return QStringLiteral("fixed"); }

 private:
  TStrings* lines_;
  QObject* font_;
  int tag_ = 0;
};

namespace {

using testing::processEvents;

// frmTest: a label, an edit, a combo box, a memo and a line list.
struct TestForm {
  TestForm() {
    form.setObjectName("frmTest");
    label = form.create<TLabel>("lblName", &form);
    label->setCaption("Name");
    label->setHint("The name");
    edit = form.create<TEdit>("edtValue", &form);
    edit->setText("42");
    combo = form.create<TComboBox>("cmbKind", &form);
    combo->setHint("Kind");
    combo->Items()->setLines({"Small", "Large"});
    strings = form.create<TLanguageStrings>("Messages", &form);
    strings->Strings()->setLines({"one", "two", "three"});
  }
  std::vector<std::string> ids(const TLanguageCenter& center) const {
    std::vector<std::string> result;
    for (int i = 0; i < center.StringCount(); ++i) result.push_back(center.StringIDs(i));
    return result;
  }

  TForm form;
  TLabel* label;
  TEdit* edit;
  TComboBox* combo;
  TLanguageStrings* strings;
};

TEST(TLanguageCenter, ReadingAFormNamesEveryTextInComponentAndPropertyOrder) {
  TestForm test;
  TLanguageCenter center;
  center.ReadForm(&test.form);
  EXPECT_EQ((std::vector<std::string>{"frmTest_lblName_Caption", "frmTest_lblName_Hint",
                                      "frmTest_edtValue_Hint", "frmTest_edtValue_Text",
                                      "frmTest_cmbKind_Hint", "frmTest_cmbKind_Items_0",
                                      "frmTest_cmbKind_Items_1", "frmTest_Messages_Strings_0",
                                      "frmTest_Messages_Strings_1", "frmTest_Messages_Strings_2"}),
            test.ids(center));
  EXPECT_EQ("frmTest.lblName.Caption", center.StringDescriptions(0));
  EXPECT_EQ("frmTest.cmbKind.Items Line #1", center.StringDescriptions(6));
  ASSERT_NE(nullptr, center.CurrentLanguage());
  EXPECT_EQ("BAS", center.CurrentLanguage()->LangID());
  EXPECT_EQ("Base Language", center.CurrentLanguage()->LanguageName);
  EXPECT_EQ("42", center.GetText(0, 3));
}

TEST(TLanguageCenter, IgnoreListsKeepTextsOutOfTheWalk) {
  struct Row {
    std::vector<std::string> props, typeProps, types, absent;
    const char* why;
  } rows[] = {
      {{},
       {},
       {"tcombobox"},
       {"frmTest_cmbKind_Hint", "frmTest_cmbKind_Items_0", "frmTest_cmbKind_Items_1"},
       "an ignored class contributes nothing"},
      {{"hint"},
       {},
       {},
       {"frmTest_lblName_Hint", "frmTest_edtValue_Hint", "frmTest_cmbKind_Hint"},
       "property names compare ignoring case"},
      {{},
       {"TComboBox.Items"},
       {},
       {"frmTest_cmbKind_Items_0", "frmTest_cmbKind_Items_1"},
       "a class's property, while its other texts stay"},
      {{}, {"TEDIT.text"}, {}, {"frmTest_edtValue_Text"}, "class and property ignore case"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    TestForm test;
    TLanguageCenter center;
    center.setIgnoreProps(row.props);
    center.setIgnoreTypeProps(row.typeProps);
    center.setIgnoreTypes(row.types);
    center.ReadForm(&test.form);
    for (const std::string& id : row.absent) EXPECT_EQ(-1, center.IndexOfString(id)) << id;
    EXPECT_EQ(10 - static_cast<int>(row.absent.size()), center.StringCount());
  }
  TestForm test;
  TLanguageCenter center;
  center.setIgnoreTypeProps({"TComboBox.Items"});
  center.ReadForm(&test.form);
  EXPECT_NE(-1, center.IndexOfString("frmTest_cmbKind_Hint"));
}

TEST(TLanguageCenter, ListsAreFoundByAncestryAndOtherObjectsSkipped) {
  TForm form;
  form.setObjectName("frmMemo");
  TMemo* memo = form.create<TMemo>("Memo1", &form);
  memo->Lines()->setLines({"first"});
  TLanguageCenter center;
  center.ReadForm(&form);
  ASSERT_EQ(2, center.StringCount());
  EXPECT_EQ("frmMemo_Memo1_Lines_0", center.StringIDs(0));
  EXPECT_EQ("frmMemo_Memo1_ReadOnlyText", center.StringIDs(1));
}

TEST(TLanguageCenter, ReadingTwiceOnlyRefreshesTheTexts) {
  TestForm test;
  TLanguageCenter center;
  center.ReadForm(&test.form);
  test.label->setCaption("Full name");
  center.ReadForm(&test.form);
  EXPECT_EQ(10, center.StringCount());
  EXPECT_EQ("Full name", center.GetText(0, 0));
}

// A second language "XX" whose texts are the English ones in upper case,
// for the strings whose IDs are listed.
lang::TLanguageSet& addUpperLanguage(TLanguageCenter& center, const std::vector<int>& strings) {
  lang::TLanguageSet& language = center.AddLanguage("XX", "Upper");
  for (int i = 0; i < center.StringCount(); ++i) language.SetString(i, "");
  for (int i : strings)
    language.SetString(i, QString::fromStdString(center.GetText(0, i)).toUpper().toStdString());
  return language;
}

TEST(TLanguageCenter, ApplyingALanguageChangesTextsHintsAndLines) {
  TestForm test;
  TLanguageCenter center;
  center.ReadForm(&test.form);
  lang::TLanguageSet& upper = addUpperLanguage(center, {0, 1, 3, 5, 6, 7, 8, 9});
  center.ApplyToForm(&test.form, &upper);
  EXPECT_EQ("NAME", test.label->Caption().toStdString());
  EXPECT_EQ("THE NAME", test.label->Hint().toStdString());
  EXPECT_EQ("42", test.edit->text().toStdString());
  EXPECT_EQ((QStringList{"SMALL", "LARGE"}), test.combo->Items()->lines());
  EXPECT_EQ((QStringList{"ONE", "TWO", "THREE"}), test.strings->Strings()->lines());
  EXPECT_EQ("cmbKind", test.combo->objectName().toStdString()) << "Name is never applied";
}

TEST(TLanguageCenter, MissingTextsFollowMissingStr) {
  TestForm test;
  TLanguageCenter center;
  center.ReadForm(&test.form);
  TForm other;
  other.setObjectName("frmOther");
  TLabel* label = other.create<TLabel>("lblName", &other);
  label->setCaption("kept");
  center.ApplyToForm(&other, center.CurrentLanguage());
  EXPECT_EQ("kept", label->Caption().toStdString()) << "empty MissingStr leaves texts alone";
  center.MissingStr = "??";
  center.ApplyToForm(&other, center.CurrentLanguage());
  EXPECT_EQ("??", label->Caption().toStdString());
}

TEST(TLanguageCenter, ALanguageCanMakeAListLonger) {
  TestForm test;
  TLanguageCenter center;
  center.ReadForm(&test.form);
  center.AddString("frmTest_Messages_Strings_3", "", "");
  center.AddString("frmTest_Messages_Strings_4", "", "");
  lang::TLanguageSet& language = center.AddLanguage("XX", "Longer");
  for (int line = 0; line < 5; ++line)
    center.SetTextByID(1, "frmTest_Messages_Strings_" + std::to_string(line),
                       "line " + std::to_string(line));
  center.ApplyToForm(&test.form, &language);
  EXPECT_EQ((QStringList{"line 0", "line 1", "line 2", "line 3", "line 4"}),
            test.strings->Strings()->lines());
}

TEST(TLanguageCenter, AnEmptyLineEndsTheListWalk) {
  TestForm test;
  TLanguageCenter center;
  center.ReadForm(&test.form);
  lang::TLanguageSet& upper = addUpperLanguage(center, {7, 9});
  center.ApplyToForm(&test.form, &upper);
  EXPECT_EQ((QStringList{"ONE", "two", "three"}), test.strings->Strings()->lines())
      << "line 1 came back empty: lines 1 and 2 are neither translated nor removed";
}

TEST(TLanguageCenter, FailuresCarryTheirMessages) {
  TestForm test;
  TLanguageCenter center;
  EXPECT_THROW_MSG(center.ApplyToForm(&test.form, nullptr), lang::ELanguageError,
                   "Must specify a language to use for the form");
  EXPECT_THROW_MSG(center.ReadForm(nullptr), lang::ELanguageError, "No TForm object was specified");
  TForm form;
  form.setObjectName("frmMemo");
  form.create<TMemo>("Memo1", &form);
  center.ReadForm(&form);
  EXPECT_THROW_MSG(center.ApplyToForm(&form, center.CurrentLanguage()), EPropertyError,
                   "Property ReadOnlyText of Memo1 cannot be written");
}

TEST(TLanguageCenter, StartEventFiresOnceAfterTheEventLoopRuns) {
  TLanguageCenter center;
  int fired = 0;
  center.OnAppLoaded = [&](TLanguageCenter& sender) {
    EXPECT_EQ(&center, &sender);
    ++fired;
  };
  EXPECT_EQ(0, fired);
  EXPECT_TRUE(center.startTimerActive());
  ASSERT_TRUE(testing::waitUntil([&fired] { return fired > 0; }));
  processEvents(60);  // a chance to fire again
  EXPECT_EQ(1, fired);
  EXPECT_FALSE(center.startTimerActive());
}

TEST(TLanguageCenter, ReadFormsVisitsEveryFormOfTheApplication) {
  TestForm first;
  TForm second;
  second.setObjectName("frmSecond");
  second.create<TLabel>("lbl", &second)->setCaption("x");
  TLanguageCenter center;
  center.ReadForms();
  EXPECT_EQ(12, center.StringCount());
  EXPECT_EQ("frmSecond_lbl_Caption", center.StringIDs(10));
}

}  // namespace
}  // namespace vantro

#include "form_language_center_test.moc"

// The component model: text conversion, published properties and the
// behaviour of the controls the form relies on.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "config-ui/ansi_text.h"
#include "config-ui/component_model.h"
#include "config-ui/controls.h"
#include "config-ui/dialogs.h"
#include "config-ui/non_visual.h"

namespace vantro {
namespace {

std::vector<std::string> propertyNames(const QObject& component) {
  std::vector<std::string> names;
  for (const PublishedProperty& property : publishedProperties(component))
    names.push_back(property.name);
  return names;
}

TEST(AnsiText, EveryByteSurvivesTheRoundTrip) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  EXPECT_EQ(bytes, toAnsi(fromAnsi(bytes)));
}

TEST(AnsiText, MapsTheWindowsBlockAndReplacesTheRest) {
  struct Row {
    QString unicode;
    std::string ansi;
    const char* why;
  } rows[] = {
      {QString::fromUtf8("\xE2\x82\xAC"), "\x80", "euro sign lives at 0x80"},
      {QString::fromUtf8("\xC3\xA4\xC3\x9F"), "\xE4\xDF", "Latin-1 letters keep their value"},
      {QString::fromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D"), "\x93q\x94", "typographic quotes"},
      {QString::fromUtf8("\xE4\xB8\xAD"), "?", "outside the code page"},
      {QString::fromUtf8("\xF0\x9F\x98\x80"), "?", "a surrogate pair is one character"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.ansi, toAnsi(row.unicode));
  }
  EXPECT_EQ(QString::fromUtf8("\xE2\x82\xAC"), fromAnsi("\x80"));
}

TEST(ComponentModel, PublishesOnlyItsOwnPropertiesInNameOrder) {
  QWidget parent;
  TFilenameEdit edit(&parent);
  EXPECT_EQ((std::vector<std::string>{"ButtonHint", "DefaultExt", "DialogTitle", "FileName",
                                      "Filter", "Hint", "InitialDir", "Name", "Text"}),
            propertyNames(edit));
  TCheckBox box(&parent);
  EXPECT_EQ((std::vector<std::string>{"Caption", "Hint", "Name"}), propertyNames(box));
}

TEST(ComponentModel, ClassNamesComeWithoutNamespace) {
  QWidget parent;
  TRadioGroup group(&parent);
  EXPECT_EQ("TRadioGroup", componentClassName(group.metaObject()));
}

TEST(ComponentModel, FormListsItsComponentsInCreationOrder) {
  TForm form;
  TLabel* second = form.create<TLabel>("Second", &form);
  form.create<TEdit>("First", &form);
  TLabel* third = form.create<TLabel>("Third", &form);
  second->deleteLater();  // a destroyed component leaves the list
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  std::vector<QObject*> components = form.Components();
  ASSERT_EQ(2u, components.size());
  EXPECT_EQ("First", components[0]->objectName().toStdString());
  EXPECT_EQ(third, components[1]);
}

TEST(TStrings, AssignCopiesAndIndexesAreChecked) {
  TStrings lines, other;
  other.setLines({"a", "b"});
  lines.assign(&other);
  lines.assign(nullptr);
  EXPECT_EQ((QStringList{"a", "b"}), lines.lines());
  EXPECT_THROW(lines.line(2), std::out_of_range);
  EXPECT_THROW(lines.setLine(-1, "x"), std::out_of_range);
}

TEST(TLanguageStrings, AssigningAListCopiesItsLines) {
  TLanguageStrings strings(nullptr);
  TStrings source;
  source.setLines({"one", "two"});
  strings.setStrings(&source);
  source.setLines({"changed"});
  strings.setStrings(nullptr);
  EXPECT_EQ((QStringList{"one", "two"}), strings.Strings()->lines());
}

TEST(TRadioGroup, NewItemTextsKeepTheCheckedItem) {
  QWidget parent;
  TRadioGroup group(&parent);
  group.Items()->setLines({"a", "b", "c"});
  group.setItemIndex(1);
  group.Items()->setLines({"A", "B", "C"});
  EXPECT_EQ(1, group.ItemIndex());
  EXPECT_EQ("B", group.button(1)->text().toStdString());
}

TEST(TRadioGroup, OutOfRangeIndexesGoToTheNearestEnd) {
  QWidget parent;
  TRadioGroup group(&parent);
  group.Items()->setLines({"a", "b", "c", "d"});
  struct Row {
    int set, expected;
    const char* why;
  } rows[] = {
      {7, 3, "past the end: the last item"}, {-5, -1, "below zero: none"}, {0, 0, "in range"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    group.setItemIndex(row.set);
    EXPECT_EQ(row.expected, group.ItemIndex());
  }
}

TEST(TListBox, SortedEntriesIgnoreCaseAndSelectedOnesGo) {
  QWidget parent;
  TListBox list(&parent);
  list.setSorted(true);
  for (const char* entry : {"b.pas", "C.pas", "A.pas"}) list.addEntry(entry);
  EXPECT_EQ((QStringList{"A.pas", "b.pas", "C.pas"}), list.entries());
  EXPECT_TRUE(list.containsIgnoringCase("B.PAS"));
  list.deleteSelected();
  EXPECT_EQ(3, list.count());
  list.item(0)->setSelected(true);
  list.item(2)->setSelected(true);
  list.deleteSelected();
  EXPECT_EQ((QStringList{"b.pas"}), list.entries());
}

TEST(TDropDownList, TextSelectsOnlyAListedEntry) {
  QWidget parent;
  TDropDownList list(&parent);
  list.setSorted(true);
  list.addEntry("Deutsch", 1);
  list.addEntry("English", 0);
  list.setText("English");
  EXPECT_EQ(0, list.selectedTag());
  list.setText("Klingon");
  EXPECT_EQ("English", list.currentText().toStdString());
  EXPECT_EQ((QStringList{"Deutsch", "English"}), list.entries());
}

TEST(FileFilter, BecomesQtsFilterList) {
  struct Row {
    const char* filter;
    const char* qt;
    const char* why;
  } rows[] = {
      {"PAS files (*.PAS)|*.PAS|All Files (*.*)|*.*", "PAS files (*.PAS *.pas);;All Files (*)",
       "masks in either case; *.* is every file"},
      {"Units|*.pas;*.inc", "Units (*.pas *.PAS *.inc *.INC)", "several masks"},
      {"Odd", "", "a description without its masks is dropped"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.qt, qtFileFilter(row.filter).toStdString());
  }
}

TEST(TOpenDialog, DialogTakesTheComponentsSettings) {
  TOpenDialog component(nullptr);
  component.setTitle("Add files to Parse");
  component.setFilter("PAS files (*.PAS)|*.PAS|All Files (*.*)|*.*");
  component.setDefaultExt("*.PAS");
  component.MultiSelect = true;
  std::unique_ptr<QFileDialog> dialog = component.createDialog(nullptr);
  EXPECT_EQ("Add files to Parse", dialog->windowTitle().toStdString());
  EXPECT_EQ(QFileDialog::ExistingFiles, dialog->fileMode());
  EXPECT_EQ("PAS", dialog->defaultSuffix().toStdString());
  EXPECT_EQ(2, dialog->nameFilters().size());
}

}  // namespace
}  // namespace vantro

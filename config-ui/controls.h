// The visual components of Vantro's form: thin Qt widgets that publish their
// translatable texts (Caption, Hint, Text, Items, ...) as Qt properties under
// the names the language center builds its string IDs from.
//
// A Hint is shown in the status bar while the mouse rests on the control and
// as its tool tip.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include "config-ui/component_model.h"

namespace vantro {

class TAction;

QString widgetHint(const QWidget& widget);
void setWidgetHint(QWidget& widget, const QString& hint);

class TLabel : public QLabel {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TLabel(QWidget* parent) : QLabel(parent) {}
  QString Caption() const { return text(); }
  void setCaption(const QString& caption) { setText(caption); }
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
};

// A push button; bound to an action, a click runs the action.
class TButton : public QPushButton {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TButton(QWidget* parent) : QPushButton(parent) {}
  QString Caption() const { return text(); }
  void setCaption(const QString& caption) { setText(caption); }
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
  // Takes the action's caption and hint and runs it on every click.
  void setAction(TAction* action);
};

class TCheckBox : public QCheckBox {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TCheckBox(QWidget* parent) : QCheckBox(parent) {}
  QString Caption() const { return text(); }
  void setCaption(const QString& caption) { setText(caption); }
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
};

class TEdit : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)
  Q_PROPERTY(QString Text READ text WRITE setText)

 public:
  explicit TEdit(QWidget* parent) : QLineEdit(parent) {}
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
};

class TGroupBox : public QGroupBox {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TGroupBox(QWidget* parent) : QGroupBox(parent) {}
  QString Caption() const { return title(); }
  void setCaption(const QString& caption) { setTitle(caption); }
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
};

// A group of radio buttons, one per line of Items; ItemIndex is the checked
// one (-1 for none). Changing the lines keeps the checked position.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(int ItemIndex READ ItemIndex WRITE setItemIndex)
  Q_PROPERTY(vantro::TStrings* Items READ Items)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TRadioGroup(QWidget* parent);
  QString Caption() const { return title(); }
  void setCaption(const QString& caption) { setTitle(caption); }
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint);
  TStrings* Items() const { return items_; }
  int ItemIndex() const;
  // An index below 0 checks none; one past the items checks the last.
  void setItemIndex(int index);
  QAbstractButton* button(int index) const { return buttons_->button(index); }

 private:
  void syncButtons();

  TStrings* items_;
  QButtonGroup* buttons_;
};

// A list of entries, several selectable. When Sorted, entries are inserted
// at their place in the order that ignores case.
class TListBox : public QListWidget {
  Q_OBJECT
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TListBox(QWidget* parent);
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }

  bool Sorted() const { return sorted_; }
  void setSorted(bool sorted) { sorted_ = sorted; }
  QStringList entries() const;
  // Inserts at the sorted place (or at the end when not Sorted).
  void addEntry(const QString& text);
  // True when an entry equals text ignoring case.
  bool containsIgnoringCase(const QString& text) const;
  void deleteSelected();

 private:
  bool sorted_ = false;
};

class TTabSheet;

class TPageControl : public QTabWidget {
  Q_OBJECT
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TPageControl(QWidget* parent) : QTabWidget(parent) {}
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
  TTabSheet* ActivePage() const;
  void setActivePage(TTabSheet* page);
};

// One page of a page control; its caption is the page's tab text.
class TTabSheet : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TTabSheet(TPageControl* pageControl);
  QString Caption() const { return caption_; }
  void setCaption(const QString& caption);
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint);

 private:
  TPageControl* pageControl_;
  QString caption_;
};

class TStatusBar : public QStatusBar {
  Q_OBJECT
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)
  Q_PROPERTY(QString SimpleText READ currentMessage WRITE showMessage)

 public:
  explicit TStatusBar(QWidget* parent) : QStatusBar(parent) {}
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
};

// A drop-down list without free text. Its Text is the selected entry's;
// assigning a Text selects the entry equal to it and otherwise changes
// nothing. Entries may carry an integer tag.
class TDropDownList : public QComboBox {
  Q_OBJECT
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)
  Q_PROPERTY(QString Text READ currentText WRITE setText)

 public:
  explicit TDropDownList(QWidget* parent);
  QString Hint() const { return widgetHint(*this); }
  void setHint(const QString& hint) { setWidgetHint(*this, hint); }
  void setText(const QString& text);

  bool Sorted() const { return sorted_; }
  void setSorted(bool sorted) { sorted_ = sorted; }
  QStringList entries() const;
  // Inserts at the sorted place (or at the end when not Sorted).
  void addEntry(const QString& text, int tag = -1);
  // The selected entry's tag, or -1.
  int selectedTag() const;

 private:
  bool sorted_ = false;
};

// Paints the form's caption, bold, on a gradient across the window's top,
// and gives the window its title.
class TGradientCaption : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString FormCaption READ FormCaption WRITE setFormCaption)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TGradientCaption(QWidget* parent);
  QString FormCaption() const { return caption_; }
  void setFormCaption(const QString& caption);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};

}  // namespace vantro

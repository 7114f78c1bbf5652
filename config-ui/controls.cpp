#include "config-ui/controls.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "config-ui/ansi_text.h"
#include "config-ui/non_visual.h"
#include "platform/text.h"

namespace vantro {
namespace {

bool lessIgnoringCase(const QString& a, const QString& b) {
  return platform::compareText(toAnsi(a), toAnsi(b)) < 0;
}

}  // namespace

QString widgetHint(const QWidget& widget) {
  return widget.statusTip();
}

void setWidgetHint(QWidget& widget, const QString& hint) {
  widget.setStatusTip(hint);
  widget.setToolTip(hint);
}

void TButton::setAction(TAction* action) {
  setCaption(action->Caption());
  setHint(action->Hint());
  connect(this, &QPushButton::clicked, action, &QAction::trigger);
}

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent), items_(new TStrings(this)), buttons_(new QButtonGroup(this)) {
  // Qt's parent owns the list and the button group (above).
  new QVBoxLayout(this);
  connect(items_, &TStrings::changed, this, &TRadioGroup::syncButtons);
}

void TRadioGroup::setHint(const QString& hint) {
  setWidgetHint(*this, hint);
  for (QAbstractButton* button : buttons_->buttons()) setWidgetHint(*button, hint);
}

int TRadioGroup::ItemIndex() const {
  return buttons_->checkedId();
}

void TRadioGroup::setItemIndex(int index) {
  // As radio groups always have: out-of-range values go to the nearest end.
  index = std::clamp(index, -1, items_->count() - 1);
  if (QAbstractButton* button = buttons_->button(index)) {
    button->setChecked(true);
    return;
  }
  // An exclusive group cannot uncheck its last checked button directly.
  buttons_->setExclusive(false);
  for (QAbstractButton* button : buttons_->buttons()) button->setChecked(false);
  buttons_->setExclusive(true);
}

void TRadioGroup::syncButtons() {
  const QStringList& lines = items_->lines();
  QList<QAbstractButton*> buttons = buttons_->buttons();
  for (qsizetype i = lines.size(); i < buttons.size(); ++i) {
    buttons_->removeButton(buttons[i]);
    delete buttons[i];  // a radio button this group created below
  }
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (QAbstractButton* button = buttons_->button(static_cast<int>(i))) {
      button->setText(lines[i]);
      continue;
    }
    auto* button = new QRadioButton(lines[i], this);  // owned by this group box
    setWidgetHint(*button, Hint());
    buttons_->addButton(button, static_cast<int>(i));
    layout()->addWidget(button);
  }
}

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
}

QStringList TListBox::entries() const {
  QStringList result;
  for (int i = 0; i < count(); ++i) result.append(item(i)->text());
  return result;
}

void TListBox::addEntry(const QString& text) {
  int row = count();
  if (sorted_) {
    row = 0;
    while (row < count() && !lessIgnoringCase(text, item(row)->text())) ++row;
  }
  insertItem(row, text);
}

bool TListBox::containsIgnoringCase(const QString& text) const {
  std::string wanted = toAnsi(text);
  for (int i = 0; i < count(); ++i) {
    if (platform::sameText(toAnsi(item(i)->text()), wanted)) return true;
  }
  return false;
}

void TListBox::deleteSelected() {
  for (int i = count() - 1; i >= 0; --i) {
    if (item(i)->isSelected()) delete takeItem(i);  // takeItem hands ownership back
  }
}

TTabSheet* TPageControl::ActivePage() const {
  return qobject_cast<TTabSheet*>(currentWidget());
}

void TPageControl::setActivePage(TTabSheet* page) {
  setCurrentWidget(page);
}

TTabSheet::TTabSheet(TPageControl* pageControl) : QWidget(pageControl), pageControl_(pageControl) {
  pageControl_->addTab(this, QString());
}

void TTabSheet::setCaption(const QString& caption) {
  caption_ = caption;
  pageControl_->setTabText(pageControl_->indexOf(this), caption);
}

void TTabSheet::setHint(const QString& hint) {
  setWidgetHint(*this, hint);
  pageControl_->setTabToolTip(pageControl_->indexOf(this), hint);
}

TDropDownList::TDropDownList(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
}

void TDropDownList::setText(const QString& text) {
  int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) setCurrentIndex(index);
}

QStringList TDropDownList::entries() const {
  QStringList result;
  for (int i = 0; i < count(); ++i) result.append(itemText(i));
  return result;
}

void TDropDownList::addEntry(const QString& text, int tag) {
  int row = count();
  if (sorted_) {
    row = 0;
    while (row < count() && !lessIgnoringCase(text, itemText(row))) ++row;
  }
  insertItem(row, text, tag);
}

int TDropDownList::selectedTag() const {
  if (currentIndex() < 0) return -1;
  bool ok = false;
  int tag = currentData().toInt(&ok);
  return ok ? tag : -1;
}

TGradientCaption::TGradientCaption(QWidget* parent) : QWidget(parent) {
  setFixedHeight(24);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGradientCaption::setFormCaption(const QString& caption) {
  caption_ = caption;
  if (QWidget* form = window()) form->setWindowTitle(caption);
  update();
}

void TGradientCaption::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient gradient(rect().topLeft(), rect().topRight());
  gradient.setColorAt(0.0, QColor(0, 0, 128));
  gradient.setColorAt(1.0, QColor(166, 202, 240));
  painter.fillRect(rect(), gradient);
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setBold(true);
  font.setPointSize(10);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(rect().adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, caption_);
}

}  // namespace vantro

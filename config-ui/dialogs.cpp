#include "config-ui/dialogs.h"

#include <QHBoxLayout>

#include "config-ui/controls.h"

namespace vantro {
namespace {

QString qtMasks(const QString& masks) {
  QStringList result;
  for (QString mask : masks.split(';', Qt::SkipEmptyParts)) {
    mask = mask.trimmed();
    if (mask == QStringLiteral("*.*")) mask = QStringLiteral("*");
    for (const QString& variant : {mask, mask.toLower(), mask.toUpper()}) {
      if (!result.contains(variant)) result.append(variant);
    }
  }
  return result.join(' ');
}

// "PAS files (*.PAS)" loses its own mask list: Qt shows the one we append.
QString withoutMaskList(const QString& description) {
  QString text = description.trimmed();
  if (text.endsWith(')')) {
    qsizetype open = text.lastIndexOf('(');
    if (open > 0) text = text.left(open).trimmed();
  }
  return text;
}

QString suffixOf(const QString& defaultExt) {
  QString suffix = defaultExt;
  if (suffix.startsWith(QStringLiteral("*"))) suffix.remove(0, 1);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  return suffix;
}

}  // namespace

QString qtFileFilter(const QString& filter) {
  QStringList parts = filter.split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    entries.append(withoutMaskList(parts[i]) + " (" + qtMasks(parts[i + 1]) + ")");
  return entries.join(QStringLiteral(";;"));
}

std::unique_ptr<QFileDialog> TOpenDialog::createDialog(QWidget* parent) const {
  auto dialog = std::make_unique<QFileDialog>(parent, title_, initialDir_);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(MultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  dialog->setNameFilter(qtFileFilter(filter_));
  dialog->setDefaultSuffix(suffixOf(defaultExt_));
  dialog->setSizeGripEnabled(true);
  return dialog;
}

bool TOpenDialog::Execute(QWidget* parent) {
  std::unique_ptr<QFileDialog> dialog = createDialog(parent);
  if (dialog->exec() != QDialog::Accepted) return false;
  files_ = dialog->selectedFiles();
  fileName_ = files_.isEmpty() ? QString() : files_.first();
  return true;
}

TFilenameEdit::TFilenameEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
  // The edit and the button belong to this widget through Qt's parent.
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(edit_);
  layout->addWidget(button_);
  button_->setText(QStringLiteral("..."));
  setFocusProxy(edit_);
  connect(button_, &QToolButton::clicked, this, &TFilenameEdit::browse);
}

void TFilenameEdit::setButtonHint(const QString& hint) {
  setWidgetHint(*button_, hint);
}

void TFilenameEdit::setHint(const QString& hint) {
  setWidgetHint(*this, hint);
  setWidgetHint(*edit_, hint);
}

std::unique_ptr<QFileDialog> TFilenameEdit::createDialog() const {
  auto dialog = std::make_unique<QFileDialog>(window(), dialogTitle_, initialDir_);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setNameFilter(qtFileFilter(filter_));
  dialog->setDefaultSuffix(suffixOf(defaultExt_));
  if (!Text().isEmpty()) dialog->selectFile(Text());
  return dialog;
}

void TFilenameEdit::browse() {
  std::unique_ptr<QFileDialog> dialog = createDialog();
  if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
    setText(dialog->selectedFiles().first());
}

}  // namespace vantro

// File dialogs: the open dialog component and the file-name edit with its
// browse button.
//
// Filters are written as the programs' resources keep them, pairs of
// description and masks separated by '|' ("PAS files (*.PAS)|*.PAS|All
// Files (*.*)|*.*"); qtFileFilter turns them into Qt's form.
#pragma once

#include <QFileDialog>
#include <QLineEdit>
#include <QToolButton>
#include <memory>

#include "config-ui/component_model.h"

namespace vantro {

// Qt's filter list for a '|' filter. "*.*" means every file (also names
// without a dot), and masks match either letter case.
QString qtFileFilter(const QString& filter);

// The file-open dialog component: choose one or more existing files.
class TOpenDialog : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE setDefaultExt)
  Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
  Q_PROPERTY(QString Filter READ Filter WRITE setFilter)
  Q_PROPERTY(QString InitialDir READ InitialDir WRITE setInitialDir)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)
  Q_PROPERTY(QString Title READ Title WRITE setTitle)

 public:
  explicit TOpenDialog(QObject* parent) : QObject(parent) {}

  QString DefaultExt() const { return defaultExt_; }
  void setDefaultExt(const QString& value) { defaultExt_ = value; }
  QString FileName() const { return fileName_; }
  void setFileName(const QString& value) { fileName_ = value; }
  QString Filter() const { return filter_; }
  void setFilter(const QString& value) { filter_ = value; }
  QString InitialDir() const { return initialDir_; }
  void setInitialDir(const QString& value) { initialDir_ = value; }
  QString Title() const { return title_; }
  void setTitle(const QString& value) { title_ = value; }
  bool MultiSelect = false;

  // The dialog Execute shows, set up from the properties.
  std::unique_ptr<QFileDialog> createDialog(QWidget* parent) const;
  // Shows the dialog; true when the user confirmed. Files then holds the
  // chosen files' full paths and FileName the first of them.
  bool Execute(QWidget* parent);
  const QStringList& Files() const { return files_; }

 private:
  QString defaultExt_, fileName_, filter_, initialDir_, title_;
  QStringList files_;
};

// A one-line edit holding a file name, with a browse button that picks one.
class TFilenameEdit : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString ButtonHint READ ButtonHint WRITE setButtonHint)
  Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE setDefaultExt)
  Q_PROPERTY(QString DialogTitle READ DialogTitle WRITE setDialogTitle)
  Q_PROPERTY(QString FileName READ Text WRITE setText)
  Q_PROPERTY(QString Filter READ Filter WRITE setFilter)
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString InitialDir READ InitialDir WRITE setInitialDir)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)
  Q_PROPERTY(QString Text READ Text WRITE setText)

 public:
  explicit TFilenameEdit(QWidget* parent);

  QString ButtonHint() const { return button_->toolTip(); }
  void setButtonHint(const QString& hint);
  QString DefaultExt() const { return defaultExt_; }
  void setDefaultExt(const QString& value) { defaultExt_ = value; }
  QString DialogTitle() const { return dialogTitle_; }
  void setDialogTitle(const QString& value) { dialogTitle_ = value; }
  QString Filter() const { return filter_; }
  void setFilter(const QString& value) { filter_ = value; }
  QString Hint() const { return statusTip(); }
  void setHint(const QString& hint);
  QString InitialDir() const { return initialDir_; }
  void setInitialDir(const QString& value) { initialDir_ = value; }
  QString Text() const { return edit_->text(); }
  void setText(const QString& text) { edit_->setText(text); }

  QLineEdit* edit() const { return edit_; }
  QToolButton* button() const { return button_; }
  // The browse dialog: asks before choosing an existing file, and its folder
  // must exist.
  std::unique_ptr<QFileDialog> createDialog() const;

 private:
  void browse();

  QLineEdit* edit_;
  QToolButton* button_;
  QString defaultExt_, dialogTitle_, filter_, initialDir_;
};

}  // namespace vantro

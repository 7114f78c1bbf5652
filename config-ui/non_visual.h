// Components of a form that have no place in its layout: actions, the
// application-event hook and the translatable line list.
#pragma once

#include <QAction>
#include <QObject>
#include <functional>

#include "config-ui/component_model.h"

namespace vantro {

// A command with a caption and a hint, shared by the controls bound to it.
class TAction : public QAction {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
  Q_PROPERTY(QString Hint READ Hint WRITE setHint)
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TAction(QObject* parent) : QAction(parent) {}
  QString Caption() const { return text(); }
  void setCaption(const QString& caption) { setText(caption); }
  QString Hint() const { return statusTip(); }
  void setHint(const QString& hint);
};

// Watches the whole application for hint changes: whenever the mouse moves
// onto a control, OnHint receives that control's hint (empty when it leaves).
class TAppEvents : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TAppEvents(QObject* parent);
  ~TAppEvents() override;

  std::function<void(const QString& hint)> OnHint;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// A component that only carries a translatable list of lines.
class TLanguageStrings : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)
  Q_PROPERTY(vantro::TStrings* Strings READ Strings WRITE setStrings)

 public:
  explicit TLanguageStrings(QObject* parent);
  TStrings* Strings() const { return strings_; }
  // Copies the lines; nullptr changes nothing.
  void setStrings(TStrings* strings) { strings_->assign(strings); }

 private:
  TStrings* strings_;
};

}  // namespace vantro

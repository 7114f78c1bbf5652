#include "config-ui/non_visual.h"

#include <QCoreApplication>
#include <QStatusTipEvent>

namespace vantro {

void TAction::setHint(const QString& hint) {
  setStatusTip(hint);
  setToolTip(hint);
}

TAppEvents::TAppEvents(QObject* parent) : QObject(parent) {
  QCoreApplication::instance()->installEventFilter(this);
}

TAppEvents::~TAppEvents() {
  if (QCoreApplication* application = QCoreApplication::instance())
    application->removeEventFilter(this);
}

bool TAppEvents::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::StatusTip && OnHint)
    OnHint(static_cast<QStatusTipEvent*>(event)->tip());
  return QObject::eventFilter(watched, event);
}

TLanguageStrings::TLanguageStrings(QObject* parent)
    : QObject(parent), strings_(new TStrings(this)) {}  // owned through Qt's parent

}  // namespace vantro

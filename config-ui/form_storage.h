// The form-state store: keeps a window's position and chosen text properties
// of its components in one section of an INI file, so that the next start
// shows them as they were left.
#pragma once

#include <QObject>
#include <QPointer>
#include <string>
#include <vector>

#include "config-ui/component_model.h"

namespace vantro {

class TFormStorage : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TFormStorage(QObject* parent) : QObject(parent) {}

  std::string IniFileName;
  std::string IniSection = "Form Storage";

  // Keeps property `property` of `component`, under the key
  // "<component name>_<property>".
  void addStoredProperty(QObject* component, const char* property);

  // Restores the position of `window` (when it lies on a screen) and the
  // stored properties. A file that cannot be read restores nothing.
  void RestoreFormPlacement(QWidget& window);
  // Throws platform::FileError when the file cannot be written.
  void SaveFormPlacement(const QWidget& window) const;

 private:
  struct Stored {
    QPointer<QObject> component;
    std::string property;
  };
  std::vector<Stored> stored_;
};

}  // namespace vantro

#include "config-ui/form_storage.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <optional>

#include "config-ui/ansi_text.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace vantro {
namespace {

constexpr int kUnset = -32768;

std::string keyOf(const QObject& component, const std::string& property) {
  return toAnsi(component.objectName()) + "_" + property;
}

// A position saved on a screen that is no longer there would open the
// window out of reach.
bool onSomeScreen(const QPoint& point) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().contains(point)) return true;
  }
  return false;
}

}  // namespace

void TFormStorage::addStoredProperty(QObject* component, const char* property) {
  stored_.push_back({component, property});
}

void TFormStorage::RestoreFormPlacement(QWidget& window) {
  std::optional<platform::Profile> profile;
  try {
    profile.emplace(IniFileName);
  } catch (const platform::FileError&) {
    return;  // an unreadable settings file is treated like a missing one
  }
  int left = profile->ReadInteger(IniSection, "Left", kUnset);
  int top = profile->ReadInteger(IniSection, "Top", kUnset);
  if (left != kUnset && top != kUnset && onSomeScreen(QPoint(left, top))) window.move(left, top);
  for (const Stored& entry : stored_) {
    if (!entry.component) continue;
    QString current = entry.component->property(entry.property.c_str()).toString();
    std::string value =
        profile->ReadString(IniSection, keyOf(*entry.component, entry.property), toAnsi(current));
    entry.component->setProperty(entry.property.c_str(), fromAnsi(value));
  }
}

void TFormStorage::SaveFormPlacement(const QWidget& window) const {
  platform::Profile profile(IniFileName);
  profile.WriteInteger(IniSection, "Left", window.x());
  profile.WriteInteger(IniSection, "Top", window.y());
  profile.WriteInteger(IniSection, "Width", window.width());
  profile.WriteInteger(IniSection, "Height", window.height());
  for (const Stored& entry : stored_) {
    if (!entry.component) continue;
    QString value = entry.component->property(entry.property.c_str()).toString();
    profile.WriteString(IniSection, keyOf(*entry.component, entry.property), toAnsi(value));
  }
  profile.UpdateFile();
}

}  // namespace vantro

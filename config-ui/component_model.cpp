#include "config-ui/component_model.h"

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "config-ui/ansi_text.h"
#include "platform/text.h"

namespace vantro {
namespace {

// Orders forms by creation, as an application lists the forms it owns.
std::atomic<unsigned long long> nextFormSerial{0};

bool isToolkitClass(const QMetaObject* meta) {
  return componentClassName(meta).starts_with('Q');
}

}  // namespace

QString TStrings::line(int index) const {
  checkIndex(index);
  return lines_[index];
}

void TStrings::setLine(int index, const QString& text) {
  checkIndex(index);
  if (lines_[index] == text) return;
  lines_[index] = text;
  emit changed();
}

void TStrings::append(const QString& text) {
  lines_.append(text);
  emit changed();
}

void TStrings::setLines(const QStringList& lines) {
  if (lines_ == lines) return;
  lines_ = lines;
  emit changed();
}

void TStrings::assign(const TStrings* other) {
  if (other != nullptr) setLines(other->lines_);
}

void TStrings::checkIndex(int index) const {
  if (index < 0 || index >= count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

TForm::TForm(QWidget* parent) : QWidget(parent), serial_(nextFormSerial++) {}

TForm::~TForm() = default;

std::vector<QObject*> TForm::Components() const {
  std::vector<QObject*> result;
  for (const QPointer<QObject>& component : components_) {
    if (component) result.push_back(component.data());
  }
  return result;
}

void TForm::InsertComponent(QObject* component) {
  components_.emplace_back(component);
}

std::vector<TForm*> TForm::ApplicationForms() {
  std::vector<TForm*> forms;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* form = qobject_cast<TForm*>(widget)) forms.push_back(form);
  }
  std::sort(forms.begin(), forms.end(),
            [](const TForm* a, const TForm* b) { return a->serial_ < b->serial_; });
  return forms;
}

std::string componentClassName(const QMetaObject* meta) {
  std::string name = meta->className();
  size_t colon = name.rfind(':');
  return colon == std::string::npos ? name : name.substr(colon + 1);
}

std::vector<PublishedProperty> publishedProperties(const QObject& component) {
  std::vector<PublishedProperty> result;
  for (const QMetaObject* meta = component.metaObject(); meta != nullptr && !isToolkitClass(meta);
       meta = meta->superClass()) {
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
      QMetaProperty property = meta->property(i);
      result.push_back({property.name(), property});
    }
  }
  std::stable_sort(result.begin(), result.end(), [](const auto& a, const auto& b) {
    return platform::compareText(a.name, b.name) < 0;
  });
  return result;
}

}  // namespace vantro

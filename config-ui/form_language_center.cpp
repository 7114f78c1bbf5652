#include "config-ui/form_language_center.h"

#include <QMetaType>
#include <algorithm>

#include "config-ui/ansi_text.h"
#include "config-ui/component_model.h"
#include "platform/text.h"

namespace vantro {
namespace {

constexpr int kStartInterval = 10;

std::vector<std::string> upperCopy(const std::vector<std::string>& lines) {
  std::vector<std::string> result;
  for (const std::string& line : lines) result.push_back(platform::upperCase(line));
  return result;
}

bool contains(const std::vector<std::string>& list, const std::string& entry) {
  return std::find(list.begin(), list.end(), entry) != list.end();
}

// A class-typed property holds a list when its class is, or descends from, a
// class named TStrings.
bool isStringListClass(const QMetaObject* meta) {
  for (; meta != nullptr; meta = meta->superClass()) {
    if (platform::upperCase(componentClassName(meta)) == "TSTRINGS") return true;
  }
  return false;
}

bool isTextProperty(const QMetaProperty& property) {
  int id = property.metaType().id();
  return id == QMetaType::QString || id == QMetaType::QByteArray;
}

bool isObjectProperty(const QMetaProperty& property) {
  return property.metaType().flags().testFlag(QMetaType::PointerToQObject);
}

std::string readText(const QObject& component, const QMetaProperty& property) {
  QVariant value = property.read(&component);
  if (property.metaType().id() == QMetaType::QByteArray) return value.toByteArray().toStdString();
  return toAnsi(value.toString());
}

void writeText(QObject& component, const QMetaProperty& property, const std::string& text) {
  QVariant value = property.metaType().id() == QMetaType::QByteArray
                       ? QVariant(QByteArray::fromStdString(text))
                       : QVariant(fromAnsi(text));
  if (!property.write(&component, value)) {
    throw EPropertyError("Property " + std::string(property.name()) + " of " +
                         toAnsi(component.objectName()) + " cannot be written");
  }
}

}  // namespace

struct TLanguageCenter::WalkLists {
  std::vector<std::string> props, typeProps, types;
};

TLanguageCenter::TLanguageCenter(QObject* parent) : QObject(parent) {
  startTimer_.setSingleShot(true);
  startTimer_.setInterval(kStartInterval);
  connect(&startTimer_, &QTimer::timeout, this, [this] { StartTimerFired(); });
  startTimer_.start();
}

TLanguageCenter::~TLanguageCenter() = default;

std::string TLanguageCenter::textID(const std::string& form, const std::string& component,
                                    const std::string& property, int line) {
  std::string id = form + "_" + component + "_" + property;
  return line < 0 ? id : id + "_" + std::to_string(line);
}

std::string TLanguageCenter::textDescription(const std::string& form, const std::string& component,
                                             const std::string& property, int line) {
  std::string description = form + "." + component + "." + property;
  return line < 0 ? description : description + " Line #" + std::to_string(line);
}

void TLanguageCenter::CollectText(lang::TLanguageSet*, const std::string& form,
                                  const std::string& component, const std::string& property,
                                  int line, std::string& text) {
  std::string id = textID(form, component, property, line);
  int index = IndexOfString(id);
  if (index == -1) {
    AddString(id, textDescription(form, component, property, line), text);
  } else {
    CurrentLanguage()->SetString(index, text);
  }
}

void TLanguageCenter::ApplyText(lang::TLanguageSet* language, const std::string& form,
                                const std::string& component, const std::string& property, int line,
                                std::string& text) {
  int index = IndexOfString(textID(form, component, property, line));
  if (index != -1) {
    text = language->GetString(index);
  } else if (!MissingStr.empty()) {
    text = MissingStr;
  }
}

void TLanguageCenter::WalkForm(TForm* form, lang::TLanguageSet* language, bool apply,
                               const TextCallback& callback) {
  if (form == nullptr) throw lang::ELanguageError("No TForm object was specified");
  if (CurrentLanguage() == nullptr) AddLanguage("BAS", "Base Language");
  WalkLists lists{upperCopy(IgnoreProps()), upperCopy(IgnoreTypeProps()), upperCopy(IgnoreTypes())};
  std::string formName = toAnsi(form->objectName());
  for (QObject* component : form->Components())
    walkComponent(*component, formName, lists, language, apply, callback);
}

void TLanguageCenter::walkComponent(QObject& component, const std::string& form,
                                    const WalkLists& lists, lang::TLanguageSet* language,
                                    bool apply, const TextCallback& callback) {
  std::string className = platform::upperCase(componentClassName(component.metaObject()));
  if (contains(lists.types, className)) return;
  std::string componentName = toAnsi(component.objectName());
  for (const PublishedProperty& published : publishedProperties(component)) {
    std::string upperName = platform::upperCase(published.name);
    if (contains(lists.props, upperName)) continue;
    if (contains(lists.typeProps, className + "." + upperName)) continue;
    const QMetaProperty& property = published.property;
    if (isObjectProperty(property)) {
      if (!isStringListClass(property.metaType().metaObject())) continue;
      if (QObject* list = property.read(&component).value<QObject*>())
        walkList(*list, form, componentName, published.name, language, apply, callback);
    } else if (isTextProperty(property) && upperName != "NAME") {
      std::string text = readText(component, property);
      callback(language, form, componentName, published.name, -1, text);
      if (apply) writeText(component, property, text);
    }
  }
}

void TLanguageCenter::walkList(QObject& listObject, const std::string& form,
                               const std::string& component, const std::string& property,
                               lang::TLanguageSet* language, bool apply,
                               const TextCallback& callback) {
  auto* list = qobject_cast<TStrings*>(&listObject);
  if (list == nullptr) return;
  if (!apply) {
    for (int line = 0; line < list->count(); ++line) {
      std::string text = toAnsi(list->line(line));
      callback(language, form, component, property, line, text);
    }
    return;
  }
  // A language may hold more lines than the form: the walk goes on past the
  // end of the list until a line comes back as the missing text.
  for (int line = 0;; ++line) {
    std::string text = line < list->count() ? toAnsi(list->line(line)) : MissingStr;
    callback(language, form, component, property, line, text);
    if (text == MissingStr) break;
    if (line < list->count()) {
      list->setLine(line, fromAnsi(text));
    } else {
      list->append(fromAnsi(text));
    }
  }
}

void TLanguageCenter::StartTimerFired() {
  startTimer_.stop();
  if (OnAppLoaded) OnAppLoaded(*this);
}

void TLanguageCenter::SetIgnoreList(int which, const std::vector<std::string>& lines) {
  if (which >= kIgnoreProps && which <= kIgnoreTypes) ignore_[which] = lines;
}

void TLanguageCenter::ReadForms() {
  for (TForm* form : TForm::ApplicationForms()) ReadForm(form);
}

void TLanguageCenter::ApplyToForms(lang::TLanguageSet* language) {
  for (TForm* form : TForm::ApplicationForms()) ApplyToForm(form, language);
}

void TLanguageCenter::ReadForm(TForm* form) {
  if (CurrentLanguage() == nullptr) AddLanguage("BAS", "Base Language");
  WalkForm(form, CurrentLanguage(), false,
           [this](lang::TLanguageSet* language, const std::string& f, const std::string& c,
                  const std::string& p, int line,
                  std::string& text) { CollectText(language, f, c, p, line, text); });
}

void TLanguageCenter::ApplyToForm(TForm* form, lang::TLanguageSet* language) {
  if (language == nullptr)
    throw lang::ELanguageError("Must specify a language to use for the form");
  WalkForm(form, language, true,
           [this](lang::TLanguageSet* lang, const std::string& f, const std::string& c,
                  const std::string& p, int line,
                  std::string& text) { ApplyText(lang, f, c, p, line, text); });
}

}  // namespace vantro

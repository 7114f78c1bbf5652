// The form-bound language center: a language center whose strings are the
// translatable texts of an application's forms.
//
// Walking a form visits every component the form owns, in creation order,
// and every published text and string-list property of each, in alphabetical
// order of property name. Each text is named after form, component and
// property ("frmVantro_btnAdd_Caption"; a list line adds its number,
// "frmVantro_EXEStrings_Strings_13"). Reading a form collects its texts into
// the current language; applying a language writes that language's texts
// back into the components.
//
// Three lists keep things out of the walk, all compared ignoring case:
// IgnoreProps (property names), IgnoreTypeProps ("TClass.Property") and
// IgnoreTypes (component class names, skipped whole).
//
// The center also raises OnAppLoaded once, shortly after the application's
// event loop has started: that is where a program picks and applies its
// interface language.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "lang/language_center.h"

namespace vantro {

class TForm;

class TLanguageCenter : public QObject, public lang::TCustomLanguageCenter {
  Q_OBJECT
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  // Receives each text met by a walk; an apply walk writes text back.
  using TextCallback = std::function<void(lang::TLanguageSet* language, const std::string& form,
                                          const std::string& component, const std::string& property,
                                          int line, std::string& text)>;

  static constexpr int kIgnoreProps = 0;
  static constexpr int kIgnoreTypeProps = 1;
  static constexpr int kIgnoreTypes = 2;

  // Arms the start timer: OnAppLoaded fires once the event loop runs.
  explicit TLanguageCenter(QObject* parent = nullptr);
  ~TLanguageCenter() override;

  const std::vector<std::string>& IgnoreProps() const { return ignore_[kIgnoreProps]; }
  const std::vector<std::string>& IgnoreTypeProps() const { return ignore_[kIgnoreTypeProps]; }
  const std::vector<std::string>& IgnoreTypes() const { return ignore_[kIgnoreTypes]; }
  void setIgnoreProps(const std::vector<std::string>& l) { SetIgnoreList(kIgnoreProps, l); }
  void setIgnoreTypeProps(const std::vector<std::string>& l) { SetIgnoreList(kIgnoreTypeProps, l); }
  void setIgnoreTypes(const std::vector<std::string>& l) { SetIgnoreList(kIgnoreTypes, l); }

  std::function<void(TLanguageCenter& sender)> OnAppLoaded;

  // The ID and description of a text; line is -1 for a plain property.
  static std::string textID(const std::string& form, const std::string& component,
                            const std::string& property, int line);
  static std::string textDescription(const std::string& form, const std::string& component,
                                     const std::string& property, int line);

  virtual void CollectText(lang::TLanguageSet* language, const std::string& form,
                           const std::string& component, const std::string& property, int line,
                           std::string& text);
  virtual void ApplyText(lang::TLanguageSet* language, const std::string& form,
                         const std::string& component, const std::string& property, int line,
                         std::string& text);
  // Throws ELanguageError "No TForm object was specified" without a form,
  // and EPropertyError when a text cannot be written back.
  virtual void WalkForm(TForm* form, lang::TLanguageSet* language, bool apply,
                        const TextCallback& callback);
  virtual void StartTimerFired();
  virtual void SetIgnoreList(int which, const std::vector<std::string>& lines);
  // Collects the texts of every form of the application into the current
  // language (creating "BAS" / "Base Language" when there is none).
  virtual void ReadForms();
  virtual void ApplyToForms(lang::TLanguageSet* language);
  virtual void ReadForm(TForm* form);
  // Throws ELanguageError "Must specify a language to use for the form"
  // without a language.
  virtual void ApplyToForm(TForm* form, lang::TLanguageSet* language);

  bool startTimerActive() const { return startTimer_.isActive(); }

 private:
  struct WalkLists;
  void walkComponent(QObject& component, const std::string& form, const WalkLists& lists,
                     lang::TLanguageSet* language, bool apply, const TextCallback& callback);
  void walkList(QObject& list, const std::string& form, const std::string& component,
                const std::string& property, lang::TLanguageSet* language, bool apply,
                const TextCallback& callback);

  std::vector<std::string> ignore_[3];
  QTimer startTimer_;
};

}  // namespace vantro

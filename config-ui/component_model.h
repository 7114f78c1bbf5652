// The component model that Vantro's form and its language center share.
//
// Every control of a form is a thin Qt subclass named after its kind
// (TButton, TCheckBox, ...); its object name is its component name and it
// publishes, as Qt properties, exactly the texts a translator may change.
// The toolkit's own classes (those whose names start with 'Q') publish
// nothing: their properties are the toolkit's business, not the form's.
//
// A TForm keeps the list of the components it owns in creation order, which
// is the order the language center walks them in. Qt's parent/child tree
// owns the objects; the form's list only borrows them.
#pragma once

#include <QMetaProperty>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantro {

// A published property that cannot be read or written.
class EPropertyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A list of lines, published by components as a class-typed property so that
// the language center recognises it by its class and ancestry.
class TStrings : public QObject {
  Q_OBJECT

 public:
  explicit TStrings(QObject* parent = nullptr) : QObject(parent) {}

  int count() const { return static_cast<int>(lines_.size()); }
  // Throws std::out_of_range outside 0..count()-1.
  QString line(int index) const;
  void setLine(int index, const QString& text);
  void append(const QString& text);
  const QStringList& lines() const { return lines_; }
  void setLines(const QStringList& lines);
  // Copies the other list's lines; nullptr changes nothing.
  void assign(const TStrings* other);

 signals:
  void changed();

 private:
  void checkIndex(int index) const;

  QStringList lines_;
};

// A top-level window whose components can be walked by name and kind.
class TForm : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Name READ objectName WRITE setObjectName)

 public:
  explicit TForm(QWidget* parent = nullptr);
  ~TForm() override;

  // The components this form owns, in creation order (destroyed ones left out).
  std::vector<QObject*> Components() const;
  // Adds an object created elsewhere to the form's components.
  void InsertComponent(QObject* component);

  // Creates a component with a Qt parent (which owns it), names it and adds
  // it to the form's components.
  template <class T, class Parent>
  T* create(const char* name, Parent* parent) {
    // Qt's parent takes ownership of the new object.
    T* component = new T(parent);
    component->setObjectName(QString::fromLatin1(name));
    InsertComponent(component);
    return component;
  }

  // Every TForm alive, in the order the forms were created.
  static std::vector<TForm*> ApplicationForms();

 private:
  std::vector<QPointer<QObject>> components_;
  unsigned long long serial_;
};

// The class name as the component model sees it: without namespace.
std::string componentClassName(const QMetaObject* meta);

// A published property of a component: its name and meta property.
struct PublishedProperty {
  std::string name;
  QMetaProperty property;
};

// The component's published properties, sorted by name ignoring case (a name
// that begins another sorts first).
std::vector<PublishedProperty> publishedProperties(const QObject& component);

}  // namespace vantro

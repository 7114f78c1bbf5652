// THProperty: a member of a class or record other than a method: a property
// or event declared with "property", or a field.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "holders/item.h"

namespace holders {

class THType;

class THProperty : public THItem {
 public:
  explicit THProperty(THItem* owner);

  bool IsEvent = false;
  bool IsField = false;
  OptionalText Extra;
  OptionalText Parameters;
  std::string PropertyName;
  std::string PropertyType;
  OptionalText Storage;

  void Parse(SourceReader& parser) override;
  void BuildTopic(PageSink& output) override;
  std::string BuildJump(std::string_view text) override;
  THItem* FindItem(std::string_view name, bool caseSensitive) override;
  bool IsDocumented() override;

  // Completes a redeclared member from the same member of an ancestor.
  void InheritFromAncestor();
  // The same with the owner's ancestors, nearest first, already looked up.
  void InheritFromAncestor(const std::vector<THType*>& ancestors);

  THType* OwnerType() const;
  // "Property_" + unit + "_" + type + "_" + name.
  std::string JumpName() const;
  std::string DeclarationText();
  // A bare redeclaration still without a type (its ancestors' property came
  // without a description to inherit) takes the type of the nearest
  // ancestor's property that has one. The build does this for every
  // property before the pages, which then read the model without changing
  // it; DeclarationText does it for a property read on its own.
  void ResolveRedeclaredType();

 protected:
  void applyCommandWord(const std::string& word) override;
};

}  // namespace holders

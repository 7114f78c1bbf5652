// THVariable and THConstant: one declaration of a unit's var or const
// section.
#pragma once

#include <string>
#include <string_view>

#include "holders/item.h"

namespace holders {

class THConstant : public THItem {
 public:
  explicit THConstant(THItem* owner);

  std::string ConstantName;
  // Declared type of a typed constant, else empty.
  OptionalText ConstType;
  // The text between "=" and the semicolon that ends the declaration.
  std::string Value;

  void Parse(SourceReader& parser) override;
  void BuildTopic(PageSink& output) override;
  std::string BuildJump(std::string_view text) override;
  bool IsDocumented() override;

  // "Constant_" + unit + "_" + name.
  std::string JumpName() const;

 private:
};

class THVariable : public THItem {
 public:
  explicit THVariable(THItem* owner);

  std::string VariableName;
  // The text between ":" and the semicolon.
  std::string VarType;

  void Parse(SourceReader& parser) override;
  void BuildTopic(PageSink& output) override;
  std::string BuildJump(std::string_view text) override;
  bool IsDocumented() override;

  // "Variable_" + unit + "_" + name.
  std::string JumpName() const;
};

}  // namespace holders

// THMethod: a procedure, function, constructor or destructor header, either a
// method of a class (owned by its THType) or a routine of a unit's interface
// (owned by its THUnit).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "holders/item.h"

namespace holders {

class THType;

enum : std::uint8_t {
  kProcedure = 1,
  kClassProcedure = 2,
  kFunction = 3,
  kClassFunction = 4,
  kConstructor = 5,
  kDestructor = 6,
};

class THMethod : public THItem {
 public:
  explicit THMethod(THItem* owner);

  std::uint8_t MethodKind = kProcedure;
  // Directive words after the header, each with its semicolon, trimmed.
  OptionalText Directives;
  std::string MethodName;
  std::string Parameters;
  std::string ResultType;

  void Parse(SourceReader& parser) override;
  void BuildTopic(PageSink& output) override;
  std::string BuildJump(std::string_view text) override;
  THItem* FindItem(std::string_view name, bool caseSensitive) override;
  bool IsDocumented() override;

  // The owning type, or nullptr for a unit-level routine.
  THType* OwnerType() const;
  // "Method_" + unit + "_" + [type + "_"] + name.
  std::string JumpName() const;
  std::string DeclarationText();

 private:
  void writeSample(PageSink& output, templates::TDocumentTemplate& page, const std::string& area,
                   const std::string& fullName);
};

// "procedure", "class procedure", ... for MethodKind 1 to 6.
std::string_view MethodKindWord(std::uint8_t kind);

}  // namespace holders

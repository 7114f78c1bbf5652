// THType: one declaration of a unit's type section.
//
// A class (ancestor, fields, methods, properties, events), a record (fields),
// a procedure or function type, a class reference, or any other type kept as
// text. A class writes its topic, its member lists (with inherited members on
// request) and the topics of its documented members; other kinds write only
// their own topic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "holders/item.h"
#include "holders/name_list.h"

namespace holders {

class THMethod;
class THProperty;

enum : std::uint8_t {
  kOtherType = 0,
  kClassType = 1,
  kRecordType = 2,
  kProcedureType = 3,
  kFunctionType = 4,
  kClassReference = 5,
};

class THType : public THItem {
 public:
  explicit THType(THItem* owner);

  std::uint8_t TypeKind = kOtherType;
  OptionalText Bitmap;
  OptionalText AncestorName;
  OptionalText Parameters;
  LazyNameList<SortedNameList> Methods;
  LazyNameList<OrderedNameList> Properties;
  OptionalText ResultType;
  std::string TypeName;
  std::string AliasText;
  // The word that opened a class-like body as written in the declaration:
  // "class", or "object", "interface", "objcclass" and their kin, which are
  // read as classes.
  std::string ClassWord = "class";

  void Parse(SourceReader& parser) override;
  void BuildTopic(PageSink& output) override;
  std::string BuildJump(std::string_view text) override;
  THItem* FindItem(std::string_view name, bool caseSensitive) override;
  bool IsDocumented() override;
  THType* AsType() override { return this; }

  // The type AncestorName names anywhere in the project, or nullptr.
  THType* Ancestor();
  // Works out the ancestor once for the build under way, which then asks
  // for it without a lookup; called before the build's threads start.
  void SettleAncestor();
  void BuildEventsList(PageSink& output);
  void BuildMethodsList(PageSink& output);
  void BuildPropertiesList(PageSink& output);
  THMethod& MethodAt(int index) const;
  int MethodCount() const { return Methods.count(); }
  THProperty& PropertyAt(int index) const;
  int PropertyCount() const { return Properties.count(); }
  void ParseMembers(SourceReader& parser);
  void ParseProcedural(SourceReader& parser);
  THMethod& AddMethod(std::string_view name, std::string_view comment, std::uint8_t scope);
  THProperty& AddProperty(std::string_view name, std::string_view comment, std::uint8_t scope);
  THItem* FindMember(std::string_view name, bool caseSensitive) const;
  THMethod* FindMethod(std::string_view name, bool caseSensitive) const;
  int CountEvents(bool withInherited);
  int CountMethods(bool withInherited);
  int CountProperties(bool withInherited);

  // "Type_" + unit + "_" + type.
  std::string JumpName() const;
  // The type's declaration in output form.
  std::string DeclarationText();
  // The ancestor chain from this type's ancestor, ending before a type seen
  // already (an ancestor cycle) or at a missing ancestor.
  std::vector<THType*> Ancestors();

 protected:
  void applyCommandWord(const std::string& word) override;

 public:
  // A class's entries in one of its member lists: the heading, then each
  // entry's upper-cased name (empty in the methods list) and its lines, each
  // ended by CR LF.
  struct ListEntries {
    std::string heading;
    std::vector<std::pair<std::string, std::string>> entries;
    // Whether an entry whose name an earlier list took is left out: so for
    // properties and events, not for methods.
    bool namesChecked = false;
  };

 private:
  // Types declared inside a class body nest at most this deep.
  static constexpr int kMaxNestedTypes = 32;
  enum class MemberGroup { Properties, Methods, Events };
  struct MemberState;
  int countOwn(MemberGroup group);
  int countMembers(MemberGroup group, bool withInherited);
  void buildMemberList(PageSink& output, MemberGroup group);
  void appendListEntries(MemberGroup group, const THType& built,
                         std::unordered_set<std::string>& seen, std::string& text);
  ListEntries listEntries(MemberGroup group, bool remote);
  std::string bannerLink(MemberGroup group, bool withInherited);
  std::string buildBanner(PageSink& output);
  void readMember(SourceReader& parser, TokenKind kind, MemberState& state);
  void addMethodMember(SourceReader& parser, std::uint8_t kind, MemberState& state);
  void addPropertyMember(SourceReader& parser, MemberState& state);
  void skipNestedDeclaration(SourceReader& parser, MemberState& state);
  THType* lookUpAncestor();

  THType* settledAncestor_ = nullptr;
  std::uint64_t settledFor_ = 0;  // the build the ancestor was settled for; 0: none
};

}  // namespace holders

// THUnit: one Pascal unit.
//
// The unit reads its source (and, through include directives, its include
// files) and creates holders for the declarations of its interface part:
// types, routines, variables and constants. Comments written before routine
// bodies in the implementation part replace the interface descriptions.
// BuildTopic writes the topics of the documented declarations and then the
// unit's own page with its four jump lists.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "holders/item.h"
#include "holders/name_list.h"

namespace holders {

class THConstant;
class THMethod;
class THType;
class THVariable;

// Declaration section in progress.
enum : std::uint8_t { kNoSection = 0, kTypeSection = 1, kConstSection = 2, kVarSection = 3 };

class THUnit : public THItem {
 public:
  explicit THUnit(THItem* owner);

  SortedNameList Constants;
  std::uint8_t CurrentSection = kNoSection;
  bool InImplementation = false;
  SortedNameList Routines;
  SortedNameList Types;
  SortedNameList Variables;
  std::string UnitName;

  void Parse(SourceReader& parser) override;
  void BuildTopic(PageSink& output) override;
  // Puts the unit's name lists and its types' method lists in name order
  // now, on the calling thread, rather than when they are first read.
  void SortLists() const;

  // BuildTopic in steps, so that several threads may build one unit's
  // declarations: BeginTopic posts the progress line and fills the page's
  // texts; then come the topics of DocumentedDeclarations, in order; then
  // FinishTopic fills in the jump lists (from JumpLists, in any order with
  // the rest) and writes the page.
  static constexpr size_t kJumpLists = 4;  // types, constants, variables, routines
  templates::TDocumentTemplate BeginTopic();
  std::vector<THItem*> DocumentedDeclarations() const;
  // Every declaration DocumentedDeclarations chooses from, documented or not,
  // and the documented ones among declarations [from, to) of those.
  size_t DeclarationCount() const;
  std::vector<THItem*> DocumentedDeclarations(size_t from, size_t to) const;
  std::array<std::string, kJumpLists> JumpLists();
  // What the build numbered `build` found when it asked whether each
  // declaration is documented: the jump lists and the contents file ask
  // again about every declaration, and asking reaches into items long gone
  // from the processor's caches. StartMarks, called before the build asks,
  // makes room; DocumentedDeclarations then marks what it asks about.
  void StartMarks(std::uint64_t build);
  // The marks of `list` (one of the four lists), one per entry; empty unless
  // every declaration has been asked about in that build.
  enum : std::uint8_t { kMarkUnasked = 0, kMarkNotDocumented = 1, kMarkDocumented = 2 };
  std::span<const std::uint8_t> DocumentedMarks(const SortedNameList& list,
                                                std::uint64_t build) const;
  // Whether entry `at` of a list is documented: as its mark says when the
  // list has marks, else as its item answers.
  static bool EntryDocumented(std::span<const std::uint8_t> marks, const NameEntry& entry,
                              size_t at) {
    return marks.empty() ? entry.item->IsDocumented() : marks[at] == kMarkDocumented;
  }
  // The lists go into the page as they are, without a copy.
  void FinishTopic(templates::TDocumentTemplate& unitPage,
                   std::array<std::string, kJumpLists>&& jumpLists, PageSink& output) const;
  std::string BuildJump(std::string_view text) override;
  THItem* FindItem(std::string_view name, bool caseSensitive) override;
  bool IsDocumented() override;

  THConstant& AddConstant(std::string_view name, std::string_view comment);
  THMethod& AddRoutine(std::string_view name, std::string_view comment);
  THType& AddType(std::string_view name, std::string_view comment);
  THVariable& AddVariable(std::string_view name, std::string_view comment);
  THMethod* FindRoutine(std::string_view name, bool caseSensitive) const;
  THType* FindType(std::string_view name, bool caseSensitive) const;
  THType* LookupType(std::string_view name, bool caseSensitive) const;

  THConstant& ConstantAt(int index) const;
  int ConstantCount() const { return Constants.count(); }
  THMethod& RoutineAt(int index) const;
  int RoutineCount() const { return Routines.count(); }
  THType& TypeAt(int index) const;
  int TypeCount() const { return Types.count(); }
  THVariable& VariableAt(int index) const;
  int VariableCount() const { return Variables.count(); }

  // Token kinds that end a declaration section.
  static bool IsSectionEnd(TokenKind kind);
  // The section readers share the unit loop's pending comment and sample: a
  // comment or sample written after a section's last declaration belongs to
  // whatever follows the section.
  void ParseConstSection(SourceReader& parser, std::string& comment, std::string& sample);
  void ParseTypeSection(SourceReader& parser, std::string& comment, std::string& sample);
  void ParseRoutine(SourceReader& parser, std::uint8_t kind, const std::string& comment,
                    const std::string& sample);
  void ParseVarSection(SourceReader& parser, std::string& comment, std::string& sample);

  // "Unit_" + UnitName.
  std::string JumpName() const;

 private:
  enum class SectionKind { Type, Const, Var };
  void parseSection(SourceReader& parser, std::string& comment, std::string& sample,
                    SectionKind kind);
  void skipStatementBlock(SourceReader& parser);
  std::string readUnitName(SourceReader& parser);
  bool openSection(SourceReader& parser, TokenKind kind, std::string& comment, std::string& sample);
  void applyToKnown(THItem& item, const std::string& comment, const std::string& sample);
  // A new holder of the unit, listed under name, its name field set.
  template <typename Holder>
  Holder& addListed(SortedNameList& list, std::string_view name, std::string_view comment,
                    std::string Holder::*nameField);

  // The word "unit" has been read: the unit's heading. An included file may
  // carry a heading of its own; it neither renames the unit nor gives it its
  // description.
  bool headingRead_ = false;
  // Per declaration, in the order of DocumentedDeclarations. Pieces of one
  // unit built on several threads mark positions of their own.
  mutable std::vector<std::uint8_t> marks_;
  mutable std::atomic<size_t> unmarked_{0};
  std::uint64_t marksBuild_ = 0;
  // Whether the marks are those of `build`, and all made.
  bool marksComplete(std::uint64_t build) const;
  std::uint64_t buildUnderWay() const;
};

// A declaration name may be a directive word (read, index, name, default, ...)
// that the tokenizer returns as a keyword.
bool IsDirectiveWord(TokenKind kind);
// The current token stands where a declaration name stands: an identifier or
// a directive word, followed by a token of follows (what its section expects
// after a name).
bool IsDeclarationName(const SourceReader& parser, const TokenKinds& follows);
// On "&" directly followed by a word ("&end", "&set": a keyword made an
// identifier), moves to the word and returns true; otherwise moves nothing.
bool TakeEscapedName(SourceReader& parser);

}  // namespace holders

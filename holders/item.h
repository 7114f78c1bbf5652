// THItem: the base of every holder of the source model.
//
// Holders form a tree by ownership: the project owns its units, a unit owns
// its types, routines, variables and constants, a type owns its methods and
// properties. An owner frees what it owns; name lists elsewhere only borrow.
//
// The base gives every holder the visibility rule (scope, forced visibility,
// comments), the reading toolkit over a SourceReader (blanks, text up to a
// stop token, brackets, directive lists), the comment reader (conditional
// compilation, include files, first-line commands, samples) and the turning of
// descriptions into output text with link search. Each kind overrides Parse,
// BuildTopic, BuildJump, FindItem and IsDocumented.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "holders/dialect.h"
#include "holders/source_reader.h"
#include "templates/document_template.h"

namespace holders {

class OrderedNameList;
class PageSink;
class SortedNameList;
class THProject;
class THType;
class THUnit;

// A holder kind that lacks an operation every documented kind must supply.
class EHolderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Scope levels; the project's Scope is the build scope.
enum : std::uint8_t {
  kScopePrivate = 0,
  kScopeProtected = 1,
  kScopePublic = 2,
  kScopePublished = 3
};
// Visibility overrides set by first-line commands.
enum : std::uint8_t { kVisibleByScope = 0, kAlwaysVisible = 1, kNeverVisible = 2 };

// Text that most holders leave empty (code samples, a property's storage
// words, a class's ancestor): 8 bytes until set, where a string takes 32.
// A large project has hundreds of thousands of holders, and every megabyte
// of them is memory the system must hand over fresh.
class OptionalText {
 public:
  OptionalText() = default;
  OptionalText(const OptionalText& other) { *this = other; }
  OptionalText& operator=(const OptionalText& other) {
    if (this != &other) *this = other.str();
    return *this;
  }
  OptionalText(OptionalText&&) noexcept = default;
  OptionalText& operator=(OptionalText&&) noexcept = default;
  ~OptionalText() = default;

  OptionalText& operator=(std::string_view text) {
    if (text.empty()) {
      text_.reset();
    } else if (text_) {
      text_->assign(text);
    } else {
      text_ = std::make_unique<std::string>(text);
    }
    return *this;
  }
  bool empty() const { return text_ == nullptr || text_->empty(); }
  void clear() { text_.reset(); }
  const std::string& str() const { return text_ != nullptr ? *text_ : empty_; }
  operator std::string_view() const { return str(); }
  friend bool operator==(const OptionalText& text, std::string_view other) {
    return text.str() == other;
  }

 private:
  static inline const std::string empty_;
  std::unique_ptr<std::string> text_;
};

// A page object lent from the calling thread's pool. Pages are loaded
// hundreds of thousands of times in a large build; a pooled object's lines
// keep the memory of the pages loaded into it before, so loading a page and
// filling in its tags seldom allocates.
class PooledPage {
 public:
  PooledPage();
  ~PooledPage();
  PooledPage(PooledPage&&) noexcept = default;
  PooledPage& operator=(PooledPage&&) = delete;
  PooledPage(const PooledPage&) = delete;
  PooledPage& operator=(const PooledPage&) = delete;

  templates::TDocumentTemplate& get() { return *page_; }
  operator templates::TDocumentTemplate&() { return *page_; }
  int ReplaceTag(std::string_view tag, std::string_view value, bool caseSensitive) {
    return page_->ReplaceTag(tag, value, caseSensitive);
  }
  template <class Value>
  requires std::same_as<Value, std::string>
  int ReplaceTag(std::string_view tag, Value&& value, bool caseSensitive) {
    return page_->ReplaceTag(tag, std::move(value), caseSensitive);
  }
  const std::vector<std::string>& Document() const { return page_->Document(); }
  std::string Text() const { return page_->Text(); }
  void AppendText(std::string& out) const { page_->AppendText(out); }

 private:
  std::unique_ptr<templates::TDocumentTemplate> page_;
};

// The parts joined, sized once: a jump name is made for every link written.
std::string joinName(std::initializer_list<std::string_view> parts);

class THItem {
 public:
  explicit THItem(THItem* owner);
  virtual ~THItem();
  THItem(const THItem&) = delete;
  THItem& operator=(const THItem&) = delete;

  // The description, with first-line commands taken off (SetComment).
  std::string Comment;
  // Code-sample lines separated by CR.
  OptionalText Sample;
  // Scope and Visibility come last (see the end of the class).

  // --- the model tree
  THItem* ParentItem() const { return owner_; }
  THProject* Project() const { return project_; }
  THUnit* OwnerUnit() const { return unit_; }
  // The name of the unit the item belongs to; empty outside a unit.
  std::string_view OwnerUnitName() const;

  // --- the per-kind contract
  // Reads the declaration; the reader stands on its name.
  virtual void Parse(SourceReader& parser);
  // Writes this holder's topics; the base writes nothing.
  virtual void BuildTopic(PageSink& output);
  // The jump page leading to this holder's topic with text (already in output
  // form) as the visible text. Throws EHolderError in the base.
  virtual std::string BuildJump(std::string_view text);
  // The holder a word in this holder's text refers to, or nullptr.
  virtual THItem* FindItem(std::string_view name, bool caseSensitive);
  virtual bool IsDocumented();
  // This item as a type, or nullptr: what a dynamic_cast would give, for
  // lookups that ask it for every word they search.
  virtual THType* AsType() { return nullptr; }

  // --- comments
  // Handles one comment token: directives act, other text accumulates into
  // comment and sample.
  void ProcessComment(SourceReader& parser, std::string_view tokenText, std::string& comment,
                      std::string& sample);
  // Acts on a directive comment and passes over any other: for text whose
  // comments describe nothing, such as routine bodies.
  void ProcessDirectiveComment(SourceReader& parser, std::string_view tokenText);
  // Skips to the $ELSE or $ENDIF matching an $IFDEF whose branch is not taken.
  void SkipConditional(SourceReader& parser);
  // Takes the first-line commands off text and stores the description.
  void SetComment(std::string_view text);

  // --- reading toolkit
  static bool IsCommentToken(const SourceReader& parser);
  // Moves to the first token that is not a blank, line break or comment.
  void SkipBlanks(SourceReader& parser);
  // The text up to a token of stop (which stays current), trimmed.
  std::string ReadUntil(SourceReader& parser, const TokenKinds& stop);
  // A run such as "virtual; abstract;" from the current token; the token that
  // ends it is read again by the next Next.
  std::string ReadList(SourceReader& parser, const TokenKinds& separators,
                       const TokenKinds& elements);
  // The text between the next opening bracket and its match.
  std::string ReadBracketed(SourceReader& parser, bool round);
  // The text up to the semicolon that ends a declaration (which stays
  // current), trimmed. A semicolon inside brackets or inside the body of an
  // inline record belongs to the text: "(X: 0; Y: 0)", "procedure(A: Integer;
  // B: Integer)", "record A: Integer; end". openRecords counts the record
  // bodies that the text starts inside. The word "implementation" ends the
  // text as well and stays current.
  std::string readDeclarationRest(SourceReader& parser, int openRecords = 0);

  // --- output text (link search)
  std::string BuildRtfText(std::string_view text, bool linkSearch, bool caseSensitive);
  std::string BuildSampleText(std::string_view text);
  std::string LinkParameterTypes(std::string_view text);

  // --- lookups and texts
  static THItem* FindInList(std::string_view name, bool caseSensitive, const SortedNameList& list);
  static THItem* FindInList(std::string_view name, bool caseSensitive, const OrderedNameList& list);
  // A help text by position ("Missing string" without a project).
  std::string LanguageText(int index) const;
  // "private", "protected", "public", "published", or empty.
  std::string ScopeName() const;

 protected:
  // Takes ownership of a holder created with this as its owner.
  template <class T>
  T& adopt(std::unique_ptr<T> item) {
    T& result = *item;
    if (owned_ == nullptr) owned_ = std::make_unique<std::vector<std::unique_ptr<THItem>>>();
    owned_->push_back(std::move(item));
    return result;
  }
  // Kinds that understand more first-line commands (event, bitmap) take them
  // here; the word is upper-cased.
  virtual void applyCommandWord(const std::string& word);

  void setProject(THProject* project) { project_ = project; }
  void setOwnerUnit(THUnit* unit) { unit_ = unit; }

  // Progress line: the message text at position index directly followed by
  // name.
  void message(int level, int index, std::string_view name) const;
  const OutputDialect& dialect() const;
  // Source or language text in output form.
  std::string esc(std::string_view text) const;
  // The same for a text that outlives the result, without a copy when
  // nothing in it needs escaping.
  EscapedText escaped(std::string_view text) const { return EscapedText(dialect(), text); }
  // The help text at index in output form.
  EscapedText escapedText(int index) const;
  // A fresh copy of the named page (empty without a project or a file).
  PooledPage page(std::string_view name) const;
  // The "InternalJump" page filled with a visible text and a jump name, both
  // already in output form.
  std::string jumpPage(std::string_view visibleText, std::string_view jumpName) const;

 private:
  void processDirective(SourceReader& parser, const std::string& name, const std::string& arg);
  // Skips to the end of the block (toEnd) or to its next branch.
  void skipBlock(SourceReader& parser, bool toEnd);
  void includeFile(SourceReader& parser, const std::string& argument);
  void collectComment(TokenKind kind, std::string_view text, std::string& comment,
                      std::string& sample);
  void applyCommands(const std::string& commandText);
  // Appends a word of a description, as a jump to the holder it names when
  // lookUp finds one.
  void appendWordRtf(std::string& rtf, std::string_view word, bool lookUp, bool caseSensitive);
  std::string tagToRtf(const std::string& tag, std::string_view& text, bool& linkNext,
                       bool caseSensitive);

  THItem* owner_;
  THProject* project_ = nullptr;
  THUnit* unit_ = nullptr;
  // Most holders own nothing, so the list is made with the first.
  std::unique_ptr<std::vector<std::unique_ptr<THItem>>> owned_;

 public:
  // Last, so that the one-byte fields a kind of holder declares first share
  // their word instead of taking one more.
  std::uint8_t Scope = kScopePublished;
  std::uint8_t Visibility = kVisibleByScope;
};

}  // namespace holders

// The keyword table and the printable names of the token kinds.
//
// A word's hash is the sum of its upper-cased bytes. Keywords are grouped by
// that hash at compile time, so a lookup costs one pass over the word and at
// most three comparisons with the keywords of its group.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "parser/tokenizer.h"

namespace parser {
namespace {

struct Keyword {
  std::string_view text;  // upper case
  TokenKind kind;
};

using K = TokenKind;
constexpr std::array<Keyword, kKeywordCount> kKeywords{{
    {"ABSOLUTE", K::Absolute},
    {"ABSTRACT", K::Abstract},
    {"AND", K::And},
    {"ARRAY", K::Array},
    {"AS", K::As},
    {"ASM", K::Asm},
    {"ASSEMBLER", K::Assembler},
    {"AUTOMATED", K::Automated},
    {"BEGIN", K::Begin},
    {"CASE", K::Case},
    {"CDECL", K::Cdecl},
    {"CLASS", K::Class},
    {"CONST", K::Const},
    {"CONSTRUCTOR", K::Constructor},
    {"DEFAULT", K::Default},
    {"DESTRUCTOR", K::Destructor},
    {"DISPID", K::Dispid},
    {"DISPINTERFACE", K::Dispinterface},
    {"DIV", K::Div},
    {"DO", K::Do},
    {"DOWNTO", K::Downto},
    {"DYNAMIC", K::Dynamic},
    {"ELSE", K::Else},
    {"END", K::End},
    {"EXCEPT", K::Except},
    {"EXPORT", K::Export},
    {"EXPORTS", K::Exports},
    {"EXTERNAL", K::External},
    {"FAR", K::Far},
    {"FILE", K::File},
    {"FINALIZATION", K::Finalization},
    {"FINALLY", K::Finally},
    {"FOR", K::For},
    {"FORWARD", K::Forward},
    {"FUNCTION", K::Function},
    {"GOTO", K::Goto},
    {"IF", K::If},
    {"IMPLEMENTATION", K::Implementation},
    {"IN", K::In},
    {"INDEX", K::Index},
    {"INHERITED", K::Inherited},
    {"INITIALIZATION", K::Initialization},
    {"INLINE", K::Inline},
    {"INTERFACE", K::Interface},
    {"IS", K::Is},
    {"LABEL", K::Label},
    {"LIBRARY", K::Library},
    {"MESSAGE", K::Message},
    {"MOD", K::Mod},
    {"NAME", K::Name},
    {"NEAR", K::Near},
    {"NIL", K::Nil},
    {"NODEFAULT", K::Nodefault},
    {"NOT", K::Not},
    {"OBJECT", K::Object},
    {"OF", K::Of},
    {"OR", K::Or},
    {"OUT", K::Out},
    {"OVERRIDE", K::Override},
    {"PACKED", K::Packed},
    {"PASCAL", K::Pascal},
    {"PRIVATE", K::Private},
    {"PROCEDURE", K::Procedure},
    {"PROGRAM", K::Program},
    {"PROPERTY", K::Property},
    {"PROTECTED", K::Protected},
    {"PUBLIC", K::Public},
    {"PUBLISHED", K::Published},
    {"RAISE", K::Raise},
    {"READ", K::Read},
    {"READONLY", K::Readonly},
    {"RECORD", K::Record},
    {"REGISTER", K::Register},
    {"REPEAT", K::Repeat},
    {"RESIDENT", K::Resident},
    {"RESOURCESTRING", K::Resourcestring},
    {"SAFECALL", K::Safecall},
    {"SET", K::Set},
    {"SHL", K::Shl},
    {"SHR", K::Shr},
    {"STDCALL", K::Stdcall},
    {"STORED", K::Stored},
    {"STRING", K::StringKeyword},
    {"STRINGRESOURCE", K::Stringresource},
    {"THEN", K::Then},
    {"THREADVAR", K::Threadvar},
    {"TO", K::To},
    {"TRY", K::Try},
    {"TYPE", K::Type},
    {"UNIT", K::Unit},
    {"UNTIL", K::Until},
    {"USES", K::Uses},
    {"VAR", K::Var},
    {"VIRTUAL", K::Virtual},
    {"WHILE", K::While},
    {"WITH", K::With},
    {"WRITE", K::Write},
    {"WRITEONLY", K::Writeonly},
    {"XOR", K::Xor},
}};

constexpr int hashOf(std::string_view upper) {
  int sum = 0;
  for (char c : upper) sum += static_cast<unsigned char>(c);
  return sum;
}

constexpr std::size_t kLongestKeyword = [] {
  std::size_t longest = 0;
  for (const Keyword& keyword : kKeywords) longest = std::max(longest, keyword.text.size());
  return longest;
}();

constexpr int kMaxHash = [] {
  int highest = 0;
  for (const Keyword& keyword : kKeywords) highest = std::max(highest, hashOf(keyword.text));
  return highest;
}();

// The keywords ordered by hash, and for each hash h the range
// [groupStart[h], groupStart[h + 1]) of its group in that order.
struct HashGroups {
  std::array<Keyword, kKeywordCount> byHash{};
  std::array<std::uint8_t, kMaxHash + 2> groupStart{};
};

constexpr HashGroups kGroups = [] {
  HashGroups groups;
  std::array<int, kMaxHash + 2> count{};
  for (const Keyword& keyword : kKeywords) ++count[static_cast<std::size_t>(hashOf(keyword.text))];
  int next = 0;
  for (std::size_t h = 0; h < count.size(); ++h) {
    groups.groupStart[h] = static_cast<std::uint8_t>(next);
    next += count[h];
  }
  std::array<std::uint8_t, kMaxHash + 2> fill = groups.groupStart;
  for (const Keyword& keyword : kKeywords) {
    groups.byHash[fill[static_cast<std::size_t>(hashOf(keyword.text))]++] = keyword;
  }
  return groups;
}();

static_assert([] {
  for (std::size_t h = 0; h + 1 < kGroups.groupStart.size(); ++h) {
    if (kGroups.groupStart[h + 1] - kGroups.groupStart[h] > 3) return false;
  }
  return true;
}());

constexpr std::array<std::string_view, static_cast<int>(K::Absolute)> kGeneralNames{
    "None",        "Null",         "Identifier",   "Space",     "LineBreak",  "CommentLineBreak",
    "AnsiComment", "BraceComment", "SlashComment", "String",    "BadString",  "CharCode",
    "HexNumber",   "Number",       "Float",        "RoundOpen", "RoundClose", "SquareOpen",
    "SquareClose", "Assign",       "Colon",        "Semicolon", "Comma",      "Point",
    "Plus",        "Minus",        "Star",         "Equal",     "NotEqual",   "Lower",
    "LowerEqual",  "Greater",      "GreaterEqual", "Symbol",    "Unknown"};

// Keyword kinds are named after the keyword with only the first letter in
// capitals; STRING is the exception.
using NameBuffer = std::array<char, kLongestKeyword>;
constexpr std::array<NameBuffer, kKeywordCount> kKeywordNames = [] {
  std::array<NameBuffer, kKeywordCount> names{};
  for (const Keyword& keyword : kKeywords) {
    NameBuffer& name = names[static_cast<std::size_t>(keyword.kind) - kGeneralNames.size()];
    for (std::size_t i = 0; i < keyword.text.size(); ++i) {
      const char c = keyword.text[i];
      name[i] = (i > 0 && c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
    }
  }
  return names;
}();

}  // namespace

// For each upper-case first letter, bit n set when a keyword of n letters
// starts with it: most identifiers are told from keywords by their first
// letter and length alone.
constexpr std::array<std::uint16_t, 256> kLengthsByFirstLetter = [] {
  std::array<std::uint16_t, 256> lengths{};
  for (const Keyword& keyword : kKeywords) {
    lengths[static_cast<unsigned char>(keyword.text.front())] |=
        static_cast<std::uint16_t>(1u << keyword.text.size());
  }
  return lengths;
}();
static_assert(kLongestKeyword < 16, "keyword lengths must fit the length bits");

TokenKind KeywordKind(std::string_view word) {
  if (word.empty() || word.size() > kLongestKeyword) return TokenKind::Identifier;
  unsigned char first = static_cast<unsigned char>(word.front());
  if (first >= 'a' && first <= 'z') first = static_cast<unsigned char>(first - ('a' - 'A'));
  if ((kLengthsByFirstLetter[first] >> word.size() & 1u) == 0) return TokenKind::Identifier;
  char upper[kLongestKeyword];
  int hash = 0;
  for (std::size_t i = 0; i < word.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(word[i]);
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - ('a' - 'A'));
    upper[i] = static_cast<char>(c);
    hash += c;
  }
  if (hash > kMaxHash) return TokenKind::Identifier;
  const std::string_view key(upper, word.size());
  const auto h = static_cast<std::size_t>(hash);
  for (int i = kGroups.groupStart[h]; i < kGroups.groupStart[h + 1]; ++i) {
    const Keyword& candidate = kGroups.byHash[static_cast<std::size_t>(i)];
    if (candidate.text == key) return candidate.kind;
  }
  return TokenKind::Identifier;
}

std::string_view TokenName(TokenKind kind) {
  const auto index = static_cast<std::size_t>(kind);
  if (index < kGeneralNames.size()) return kGeneralNames[index];
  if (kind == TokenKind::StringKeyword) return "StringKeyword";
  if (index >= static_cast<std::size_t>(kTokenKindCount)) return "?";
  const NameBuffer& name = kKeywordNames[index - kGeneralNames.size()];
  return std::string_view(name.data(), std::find(name.begin(), name.end(), '\0') - name.begin());
}

}  // namespace parser

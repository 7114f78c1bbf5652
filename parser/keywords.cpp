// The keyword table and the printable names of the token kinds.
//
// A word is packed into two integers with its letters in capitals, and its
// slot in a table made at compile time names the one keyword it can be.
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

constexpr std::size_t kLongestKeyword = [] {
  std::size_t longest = 0;
  for (const Keyword& keyword : kKeywords) longest = std::max(longest, keyword.text.size());
  return longest;
}();
static_assert(kLongestKeyword <= 16, "a keyword must fit two 8-byte words");

// A word of up to 16 bytes as two integers, each byte with bit 5 cleared.
// Keywords are letters only, and a byte so cleared is a capital letter
// exactly when it was a letter of either case: a word matches a keyword's
// integers (and length) exactly when it is that keyword in any case.
struct PackedWord {
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  std::size_t length = 0;
};

constexpr PackedWord packWord(std::string_view word) {
  PackedWord packed;
  packed.length = word.size();
  const std::size_t lowBytes = std::min<std::size_t>(word.size(), 8);
  for (std::size_t i = 0; i < lowBytes; ++i) {
    packed.low |= std::uint64_t{static_cast<unsigned char>(word[i]) & 0xDFu} << (8 * i);
  }
  for (std::size_t i = 8; i < word.size(); ++i) {
    packed.high |= std::uint64_t{static_cast<unsigned char>(word[i]) & 0xDFu} << (8 * (i - 8));
  }
  return packed;
}

// Keywords are found through a table of 4096 slots indexed by a multiplying
// hash of the packed word; the multiplier is the first (of a fixed sequence)
// that gives every keyword a slot of its own, so a lookup compares with one
// keyword at most.
constexpr unsigned kSlotBits = 12;
constexpr std::uint8_t kNoKeyword = 0xFF;
static_assert(kKeywordCount < kNoKeyword);

constexpr std::size_t slotOf(const PackedWord& word, std::uint64_t multiplier) {
  const std::uint64_t mixed = word.low ^ (word.high * 0x9E3779B97F4A7C15u) ^ word.length;
  return static_cast<std::size_t>((mixed * multiplier) >> (64 - kSlotBits));
}

struct KeywordSlots {
  std::uint64_t multiplier = 0;
  std::array<std::uint8_t, std::size_t{1} << kSlotBits> index{};  // into kKeywords
  std::array<PackedWord, kKeywordCount> packed{};
};

constexpr KeywordSlots kSlots = [] {
  KeywordSlots slots;
  for (std::size_t i = 0; i < kKeywords.size(); ++i) slots.packed[i] = packWord(kKeywords[i].text);
  for (std::uint64_t multiplier = 0xD6E8FEB86659FD93u;; multiplier += 2) {
    slots.index.fill(kNoKeyword);
    bool apart = true;
    for (std::size_t i = 0; i < kKeywords.size() && apart; ++i) {
      std::uint8_t& slot = slots.index[slotOf(slots.packed[i], multiplier)];
      apart = slot == kNoKeyword;
      slot = static_cast<std::uint8_t>(i);
    }
    if (apart) {
      slots.multiplier = multiplier;
      return slots;
    }
  }
}();

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
  const PackedWord packed = packWord(word);
  const std::uint8_t index = kSlots.index[slotOf(packed, kSlots.multiplier)];
  if (index == kNoKeyword) return TokenKind::Identifier;
  const PackedWord& keyword = kSlots.packed[index];
  const bool same =
      keyword.low == packed.low && keyword.high == packed.high && keyword.length == packed.length;
  return same ? kKeywords[index].kind : TokenKind::Identifier;
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

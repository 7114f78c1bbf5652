#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "parser/tokenizer.h"

namespace parser {
namespace {

// The keyword list written out independently of the table in the code, in
// the order of the keyword kinds.
std::vector<std::string> keywordList() {
  std::istringstream in(
      "ABSOLUTE ABSTRACT AND ARRAY AS ASM ASSEMBLER AUTOMATED BEGIN CASE CDECL CLASS CONST "
      "CONSTRUCTOR DEFAULT DESTRUCTOR DISPID DISPINTERFACE DIV DO DOWNTO DYNAMIC ELSE END EXCEPT "
      "EXPORT EXPORTS EXTERNAL FAR FILE FINALIZATION FINALLY FOR FORWARD FUNCTION GOTO IF "
      "IMPLEMENTATION IN INDEX INHERITED INITIALIZATION INLINE INTERFACE IS LABEL LIBRARY MESSAGE "
      "MOD NAME NEAR NIL NODEFAULT NOT OBJECT OF OR OUT OVERRIDE PACKED PASCAL PRIVATE PROCEDURE "
      "PROGRAM PROPERTY PROTECTED PUBLIC PUBLISHED RAISE READ READONLY RECORD REGISTER REPEAT "
      "RESIDENT RESOURCESTRING SAFECALL SET SHL SHR STDCALL STORED STRING STRINGRESOURCE THEN "
      "THREADVAR TO TRY TYPE UNIT UNTIL USES VAR VIRTUAL WHILE WITH WRITE WRITEONLY XOR");
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(Keywords, EveryKeywordIsFoundInAnyCaseAndNamedAfterItself) {
  const std::vector<std::string> words = keywordList();
  ASSERT_EQ(static_cast<std::size_t>(kKeywordCount), words.size());
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    SCOPED_TRACE(word);
    const auto kind = static_cast<TokenKind>(static_cast<int>(TokenKind::Absolute) + i);
    EXPECT_EQ(kind, KeywordKind(word));
    EXPECT_EQ(kind, KeywordKind(lowerCase(word)));
    std::string mixed = lowerCase(word);
    mixed[0] = word[0];
    EXPECT_EQ(kind, KeywordKind(mixed));
    EXPECT_EQ(word == "STRING" ? "StringKeyword" : mixed, TokenName(kind));
  }
}

// Anagrams have the hash of the keyword they are made from, so they reach
// its group and must still be refused by the exact comparison.
TEST(Keywords, WordsSharingAHashAreToldApart) {
  struct Row {
    const char* word;
    TokenKind kind;
  } rows[] = {
      {"div", TokenKind::Div},
      {"nil", TokenKind::Nil},
      {"vid", TokenKind::Identifier},
      {"lin", TokenKind::Identifier},
      {"For", TokenKind::For},
      {"Shl", TokenKind::Shl},
      {"lhs", TokenKind::Identifier},
      {"case", TokenKind::Case},
      {"read", TokenKind::Read},
      {"dear", TokenKind::Identifier},
      {"unit", TokenKind::Unit},
      {"uses", TokenKind::Uses},
      {"suse", TokenKind::Identifier},
      {"inline", TokenKind::Inline},
      {"public", TokenKind::Public},
      {"record", TokenKind::Record},
      {"cilbup", TokenKind::Identifier},
      {"default", TokenKind::Default},
      {"dynamic", TokenKind::Dynamic},
      {"message", TokenKind::Message},
      {"massege", TokenKind::Identifier},
      {"forward", TokenKind::Forward},
      {"library", TokenKind::Library},
      {"readonly", TokenKind::Readonly},
      {"resident", TokenKind::Resident},
      {"ResourceString", TokenKind::Resourcestring},
      {"StringResource", TokenKind::Stringresource},
      {"ResourceStrnig", TokenKind::Identifier},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_EQ(row.kind, KeywordKind(row.word));
  }
}

TEST(Keywords, OtherWordsAreIdentifiers) {
  for (const char* word : {"Overload", "reintroduce", "implements", "on", "at", "", "BEGINX",
                           "BEGI", "_begin", "b\xC9gin", "averyveryverylongidentifier",
                           // bytes that upper-case like letters only when they are letters
                           "wh1le", "en`", "AS\x7F", "reso\xD5rcestring"}) {
    SCOPED_TRACE(word);
    EXPECT_EQ(TokenKind::Identifier, KeywordKind(word));
  }
}

TEST(Keywords, EveryKindHasItsOwnName) {
  std::set<std::string_view> names;
  for (int i = 0; i < kTokenKindCount; ++i) names.insert(TokenName(static_cast<TokenKind>(i)));
  EXPECT_EQ(static_cast<std::size_t>(kTokenKindCount), names.size());
  EXPECT_EQ("None", TokenName(TokenKind::None));
  EXPECT_EQ("Unknown", TokenName(TokenKind::Unknown));
  EXPECT_EQ("Stringresource", TokenName(TokenKind::Stringresource));
}

TEST(TokenKindSet, HoldsEveryKindIncludingTheLastKeywords) {
  constexpr TokenKinds stops{TokenKind::Semicolon, TokenKind::End, TokenKind::Xor};
  static_assert(stops.contains(TokenKind::Xor) && !stops.contains(TokenKind::Writeonly));
  TokenKinds set = stops | TokenKinds{TokenKind::None, TokenKind::Begin};
  for (TokenKind kind :
       {TokenKind::None, TokenKind::Semicolon, TokenKind::Begin, TokenKind::End, TokenKind::Xor}) {
    EXPECT_TRUE(set.contains(kind)) << TokenName(kind);
  }
  EXPECT_FALSE(set.contains(TokenKind::Null));
  EXPECT_EQ(stops, set & stops);
  set.erase(TokenKind::Xor).erase(TokenKind::End).erase(TokenKind::Semicolon);
  EXPECT_FALSE(set.contains(TokenKind::Xor));
  EXPECT_EQ((TokenKinds{TokenKind::None, TokenKind::Begin}), set);
  EXPECT_TRUE(TokenKinds{}.empty());
  EXPECT_FALSE(set.empty());
}

}  // namespace
}  // namespace parser

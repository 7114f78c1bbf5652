// Interface translations kept as reviewable text in the repository and
// turned into language files at build time.
//
// A table is UTF-8 text, one entry a line:
//   LangID=DEU               the language's identifier
//   LanguageName=Deutsch     its display name
//   <string ID>=<text>       one translated string; the text runs to the end
//                            of the line, blanks included
// Blank lines and lines starting with '#' are comments. The texts are stored
// in Windows-1252, as every language file holds them.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantro {

class ETranslationTable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TranslationTable {
  std::string LangID;
  std::string LanguageName;
  std::vector<std::pair<std::string, std::string>> rows;  // ID, text
};

// Throws ETranslationTable naming the line of a malformed entry, a repeated
// ID or a missing LangID / LanguageName.
TranslationTable parseTranslationTable(std::string_view utf8);

// Writes the table as a language file (texts and IDs). Every ID must be one
// of knownIDs: a reader matches unknown IDs by position, so one stray ID
// would move a text onto another string. Throws ETranslationTable or
// lang::ELanguageError.
void writeTranslation(const TranslationTable& table, const std::vector<std::string>& knownIDs,
                      const std::string& fileName);

}  // namespace vantro

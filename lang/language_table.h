// Language files from reviewed text tables.
//
// A table is a UTF-8 text with one "ID=Text" line per string, "@LangID=" and
// "@LanguageName=" lines naming the language, and '#' comment lines. The
// language is laid over a built-in table (so positions stay those of the
// built-in strings) and must translate every one of its strings exactly once.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace lang {

class TCustomLanguageCenter;
class TLanguageSet;

class ETableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Converts UTF-8 to Windows-1252; throws ETableError naming the line for a
// character the code page lacks or for malformed UTF-8.
std::string utf8ToWindows1252(std::string_view text, int line);

// Adds the table's language to a center that holds the built-in table and
// returns it. Throws ETableError for an unknown, repeated or missing ID.
TLanguageSet& AddLanguageFromTable(TCustomLanguageCenter& center, std::string_view table);

}  // namespace lang

// The language center: a multi-language string store shared by both programs.
//
// A TCustomLanguageCenter keeps one table of strings (each with an ID and a
// free description) and any number of languages. Every language holds exactly
// one text per string, entry i belonging to string i, so a string's index is
// stable for the life of the table and programs read their texts by position.
// Lookups by ID ignore case; IDs are cleaned to ASCII letters, digits and '_'
// when strings are added.
//
// Ownership: the center owns its languages (TLanguageSet) and destroys them
// with itself, through ClearAll or through RemoveLanguage. CurrentLanguage()
// and every TLanguageSet pointer or reference handed out are borrowed and stay
// valid until that language is removed.
//
// Errors: the store's own failures throw ELanguageError with the product text;
// a failed operation changes nothing. An index outside a list throws
// std::out_of_range.
//
// Language files (.lnf) hold one language; each is written with the
// TMessageStream encoding (integers 4 bytes signed little-endian; a string is
// an integer length n followed by n bytes, no terminator):
//
//   string   Signature      the writing center's Signature
//   string   LangID         upper-case
//   string   LanguageName
//   integer  LanguageFlags  1: records hold the text, 2: the string ID,
//                           4: the description; other bits 0
//   records  one per string of the writing center, in string order, no count
//            and no terminator; each holds, where flagged and in this order,
//            text, ID and description (all strings)
//
// A reader keeps reading records while at least two bytes remain, so one
// stray trailing byte is tolerated.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lang {

class ELanguageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TCustomLanguageCenter;

// One language of a center: an ID, a display name and one text per string.
// Only a center creates languages (AddLanguage, CopyLanguage, file loads).
class TLanguageSet {
 public:
  // Lets only the center construct a language while std::make_unique works.
  class Key {
    Key() = default;
    friend class TCustomLanguageCenter;
  };

  TLanguageSet(Key, TCustomLanguageCenter& owner);
  virtual ~TLanguageSet();
  TLanguageSet(const TLanguageSet&) = delete;
  TLanguageSet& operator=(const TLanguageSet&) = delete;

  // Name (without directory) of the language file this language was last
  // loaded from; empty for a language built in code.
  std::string FileName;
  // Display name; a new language starts as "New Language".
  std::string LanguageName = "New Language";

  // Always upper-case.
  const std::string& LangID() const { return langID_; }
  // Stores the upper-case form. Does not check uniqueness within the center.
  virtual void SetLangID(std::string_view value);

  // Throw std::out_of_range outside 0..StringCount()-1.
  virtual std::string GetString(int index) const;
  virtual void SetString(int index, std::string_view text);

  int StringCount() const { return static_cast<int>(strings_.size()); }
  const std::vector<std::string>& Strings() const { return strings_; }
  TCustomLanguageCenter& Owner() const { return owner_; }

 private:
  friend class TCustomLanguageCenter;

  TCustomLanguageCenter& owner_;
  std::string langID_;
  std::vector<std::string> strings_;
};

class TCustomLanguageCenter {
 public:
  // Flags of a language file's records and of SaveToFile's Parts.
  static constexpr int kPartText = 1;
  static constexpr int kPartID = 2;
  static constexpr int kPartDescription = 4;
  // Flags of GenerateUnit's Parts.
  static constexpr int kUnitBodyOnly = 1;
  static constexpr int kUnitConstants = 2;
  static constexpr int kUnitLoadProcedure = 4;

  static constexpr std::string_view kDefaultSignature = "TCustomLanguageCenter File";

  TCustomLanguageCenter();
  virtual ~TCustomLanguageCenter();
  TCustomLanguageCenter(const TCustomLanguageCenter&) = delete;
  TCustomLanguageCenter& operator=(const TCustomLanguageCenter&) = delete;

  // Published settings.
  std::string MissingStr;                    // returned for a string that does not exist
  std::string Signature{kDefaultSignature};  // first field of every language file
  std::string UntranslatedStr;               // prefix of a text copied from another language
  std::function<void(TCustomLanguageCenter& sender)> OnLoaded;

  // The default language, or nullptr. SetCurrentLanguage accepts nullptr or
  // one of this center's languages (anything else throws std::invalid_argument).
  TLanguageSet* CurrentLanguage() const { return currentLanguage_; }
  void SetCurrentLanguage(TLanguageSet* language);

  // Kind 0: description, kind 1: ID; any other kind reads "" and writes nothing.
  virtual std::string GetStringInfo(int index, int kind) const;
  virtual int StringCount() const;
  virtual TLanguageSet& Languages(int index) const;
  // Throws std::out_of_range when no language has that ID.
  virtual TLanguageSet& LanguageByID(std::string_view langID) const;
  virtual int LanguageCount() const;
  // MissingStr when stringIndex is outside the table.
  virtual std::string GetText(int langIndex, int stringIndex) const;
  virtual std::string GetTextByID(int langIndex, std::string_view stringID) const;
  // Loads one language from a file and returns the language that received it:
  // a language with the file's ID is updated (its name kept), otherwise one is
  // added. Records are matched by ID, else by position. With clearFirst (or
  // into a center without languages) the file defines the whole table; with
  // addMissing unknown strings are appended. A missing, foreign or damaged
  // file, or strings that cannot be added, throw ELanguageError and leave the
  // center unchanged.
  virtual TLanguageSet& LoadLanguageFile(std::string_view fileName, bool clearFirst,
                                         bool addMissing);
  virtual void SetStringInfo(int index, int kind, std::string_view value);
  virtual void SetText(int langIndex, int stringIndex, std::string_view text);
  virtual void SetTextByID(int langIndex, std::string_view stringID, std::string_view text);
  virtual TLanguageSet& AddLanguage(std::string_view langID, std::string_view languageName);
  // Returns the new string's index.
  virtual int AddString(std::string_view stringID, std::string_view description,
                        std::string_view text);
  // Writes an Object Pascal unit that rebuilds the current language.
  virtual void GenerateUnit(std::string_view fileName, int parts);
  // Stores the ID as given: no cleaning, no uniqueness test.
  virtual void ReplaceStringID(int index, std::string_view stringID);
  virtual void ClearAll();
  virtual TLanguageSet& CopyLanguage(std::string_view langID, std::string_view languageName,
                                     const TLanguageSet* source);
  virtual void DeleteString(std::string_view stringID);
  // -1 when absent. The argument is not cleaned.
  virtual int IndexOfString(std::string_view stringID) const;
  virtual int IndexOfLanguage(std::string_view langID) const;
  virtual TLanguageSet& LoadFromFile(std::string_view fileName, bool clearFirst);
  virtual TLanguageSet& MergeFromFile(std::string_view fileName);
  // Checks the language before touching the file and replaces the file in one
  // step, so a failed save leaves any old file as it was.
  virtual void SaveToFile(const TLanguageSet* language, std::string_view fileName, int parts);
  // Keeps only ASCII letters, digits and '_'.
  virtual std::string CleanIdentifier(std::string_view text) const;

  // Indexed-property shorthands.
  std::string StringIDs(int index) const { return GetStringInfo(index, 1); }
  void SetStringIDs(int index, std::string_view id) { SetStringInfo(index, 1, id); }
  std::string StringDescriptions(int index) const { return GetStringInfo(index, 0); }
  void SetStringDescriptions(int index, std::string_view text) { SetStringInfo(index, 0, text); }
  std::string Texts(int langIndex, int stringIndex) const {
    return GetText(langIndex, stringIndex);
  }
  std::string TextsByID(int langIndex, std::string_view stringID) const {
    return GetTextByID(langIndex, stringID);
  }

  // Fires OnLoaded; called once the owner has put the stored settings in place.
  virtual void Loaded();
  // Destroys the language. Removing the current language leaves no current
  // language and clears the whole center (ClearAll).
  void RemoveLanguage(TLanguageSet& language);

  // The current language's text at a position: MissingStr when there is no
  // current language or the position is outside the table.
  const std::string& currentText(int stringIndex) const;
  // Index of a language of this center in Languages(), or -1.
  int indexOfLanguageSet(const TLanguageSet* language) const;

 private:
  void rebuildIndex() const;

  std::vector<std::string> descriptions_;
  std::vector<std::string> ids_;
  std::vector<std::string> upperIDs_;
  std::vector<std::unique_ptr<TLanguageSet>> languageList_;
  TLanguageSet* currentLanguage_ = nullptr;

  // Upper-case ID -> index of its first occurrence. Rebuilt lazily after an
  // operation that can move or rename strings.
  mutable std::unordered_map<std::string, int> index_;
  mutable bool indexStale_ = false;
};

}  // namespace lang

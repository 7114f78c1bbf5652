#include "lang/language_center.h"

#include <algorithm>

#include "platform/text.h"

namespace lang {
namespace {

// Checked access with the standard library's index error, for int indexes
// that may be negative.
template <typename Vector>
auto& at(Vector& list, int index) {
  if (index < 0 || static_cast<size_t>(index) >= list.size()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  return list[static_cast<size_t>(index)];
}

bool isIdentifierChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

// ---------------------------------------------------------------- TLanguageSet

TLanguageSet::TLanguageSet(Key, TCustomLanguageCenter& owner) : owner_(owner) {}

TLanguageSet::~TLanguageSet() = default;

void TLanguageSet::SetLangID(std::string_view value) {
  langID_ = platform::upperCase(value);
}

std::string TLanguageSet::GetString(int index) const {
  return at(strings_, index);
}

void TLanguageSet::SetString(int index, std::string_view text) {
  at(strings_, index) = std::string(text);
}

// ------------------------------------------------------- TCustomLanguageCenter

TCustomLanguageCenter::TCustomLanguageCenter() = default;

TCustomLanguageCenter::~TCustomLanguageCenter() = default;

void TCustomLanguageCenter::SetCurrentLanguage(TLanguageSet* language) {
  if (language != nullptr && indexOfLanguageSet(language) < 0) {
    throw std::invalid_argument("The language does not belong to this language center");
  }
  currentLanguage_ = language;
}

std::string TCustomLanguageCenter::GetStringInfo(int index, int kind) const {
  switch (kind) {
    case 0:
      return at(descriptions_, index);
    case 1:
      return at(ids_, index);
    default:
      return {};
  }
}

int TCustomLanguageCenter::StringCount() const {
  return static_cast<int>(ids_.size());
}

TLanguageSet& TCustomLanguageCenter::Languages(int index) const {
  return *at(languageList_, index);
}

TLanguageSet& TCustomLanguageCenter::LanguageByID(std::string_view langID) const {
  return Languages(IndexOfLanguage(langID));
}

int TCustomLanguageCenter::LanguageCount() const {
  return static_cast<int>(languageList_.size());
}

std::string TCustomLanguageCenter::GetText(int langIndex, int stringIndex) const {
  if (stringIndex < 0 || stringIndex >= StringCount()) return MissingStr;
  return Languages(langIndex).GetString(stringIndex);
}

std::string TCustomLanguageCenter::GetTextByID(int langIndex, std::string_view stringID) const {
  return GetText(langIndex, IndexOfString(stringID));
}

void TCustomLanguageCenter::SetStringInfo(int index, int kind, std::string_view value) {
  if (kind == 0) {
    at(descriptions_, index) = std::string(value);
  } else if (kind == 1) {
    const std::string id = CleanIdentifier(value);
    const int existing = IndexOfString(id);
    if (existing != -1 && existing != index) {
      throw ELanguageError("The ID, " + id + ", is not unique");
    }
    ReplaceStringID(index, id);
  }
}

void TCustomLanguageCenter::SetText(int langIndex, int stringIndex, std::string_view text) {
  Languages(langIndex).SetString(stringIndex, text);
}

void TCustomLanguageCenter::SetTextByID(int langIndex, std::string_view stringID,
                                        std::string_view text) {
  Languages(langIndex).SetString(IndexOfString(stringID), text);
}

TLanguageSet& TCustomLanguageCenter::AddLanguage(std::string_view langID,
                                                 std::string_view languageName) {
  if (IndexOfLanguage(langID) != -1) {
    throw ELanguageError("The LangID, " + std::string(langID) + ", is not unique");
  }
  auto language = std::make_unique<TLanguageSet>(TLanguageSet::Key(), *this);
  language->SetLangID(langID);
  language->LanguageName = std::string(languageName);
  // A new language starts from the current one's texts, marked as awaiting
  // translation, so it never shows an empty text where another has one.
  language->strings_.reserve(ids_.size());
  for (size_t i = 0; i < ids_.size(); ++i) {
    const std::string* seed = currentLanguage_ ? &currentLanguage_->strings_[i] : nullptr;
    language->strings_.push_back(seed && !seed->empty() ? UntranslatedStr + *seed : std::string());
  }
  TLanguageSet& added = *language;
  languageList_.push_back(std::move(language));
  if (currentLanguage_ == nullptr) currentLanguage_ = &added;
  return added;
}

int TCustomLanguageCenter::AddString(std::string_view stringID, std::string_view description,
                                     std::string_view text) {
  const std::string id = CleanIdentifier(stringID);
  if (id.empty()) throw ELanguageError("No StringID specified");
  if (IndexOfString(id) != -1) throw ELanguageError("The StringID, " + id + ", already exists");

  const int index = StringCount();
  std::string upper = platform::upperCase(id);
  if (!indexStale_) index_.try_emplace(upper, index);
  ids_.push_back(id);
  upperIDs_.push_back(std::move(upper));
  descriptions_.emplace_back(description);
  // The first language in the list is the base language: it takes the text
  // as given; the others get a copy marked as awaiting translation.
  for (size_t i = 0; i < languageList_.size(); ++i) {
    languageList_[i]->strings_.push_back(i == 0 ? std::string(text)
                                                : UntranslatedStr + std::string(text));
  }
  return index;
}

void TCustomLanguageCenter::ReplaceStringID(int index, std::string_view stringID) {
  std::string upper = platform::upperCase(stringID);
  at(ids_, index) = std::string(stringID);
  upperIDs_[static_cast<size_t>(index)] = std::move(upper);
  indexStale_ = true;
}

void TCustomLanguageCenter::ClearAll() {
  descriptions_.clear();
  ids_.clear();
  upperIDs_.clear();
  index_.clear();
  indexStale_ = false;
  currentLanguage_ = nullptr;
  languageList_.clear();
}

TLanguageSet& TCustomLanguageCenter::CopyLanguage(std::string_view langID,
                                                  std::string_view languageName,
                                                  const TLanguageSet* source) {
  // A source from another center may be shorter; refuse before adding.
  if (source != nullptr && source->StringCount() < StringCount()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(source->StringCount()) +
                            ")");
  }
  TLanguageSet& language = AddLanguage(langID, languageName);
  if (source != nullptr) {
    for (int i = 0; i < StringCount(); ++i) language.SetString(i, source->GetString(i));
  }
  return language;
}

void TCustomLanguageCenter::DeleteString(std::string_view stringID) {
  const int j = IndexOfString(stringID);
  if (j == -1) {
    throw ELanguageError("The StringID, " + std::string(stringID) + ", does not exist");
  }
  for (auto& language : languageList_) {
    language->strings_.erase(language->strings_.begin() + j);
  }
  ids_.erase(ids_.begin() + j);
  upperIDs_.erase(upperIDs_.begin() + j);
  descriptions_.erase(descriptions_.begin() + j);
  indexStale_ = true;
}

int TCustomLanguageCenter::IndexOfString(std::string_view stringID) const {
  if (indexStale_) rebuildIndex();
  const auto found = index_.find(platform::upperCase(stringID));
  return found == index_.end() ? -1 : found->second;
}

int TCustomLanguageCenter::IndexOfLanguage(std::string_view langID) const {
  const std::string upper = platform::upperCase(langID);
  for (size_t i = 0; i < languageList_.size(); ++i) {
    if (languageList_[i]->LangID() == upper) return static_cast<int>(i);
  }
  return -1;
}

TLanguageSet& TCustomLanguageCenter::LoadFromFile(std::string_view fileName, bool clearFirst) {
  return LoadLanguageFile(fileName, clearFirst, false);
}

TLanguageSet& TCustomLanguageCenter::MergeFromFile(std::string_view fileName) {
  return LoadLanguageFile(fileName, false, true);
}

std::string TCustomLanguageCenter::CleanIdentifier(std::string_view text) const {
  std::string cleaned;
  std::copy_if(text.begin(), text.end(), std::back_inserter(cleaned), isIdentifierChar);
  return cleaned;
}

void TCustomLanguageCenter::Loaded() {
  if (OnLoaded) OnLoaded(*this);
}

void TCustomLanguageCenter::RemoveLanguage(TLanguageSet& language) {
  const int index = indexOfLanguageSet(&language);
  if (index < 0) {
    throw std::invalid_argument("The language does not belong to this language center");
  }
  const bool wasCurrent = currentLanguage_ == &language;
  languageList_.erase(languageList_.begin() + index);
  // Without its current language the table has lost its reference texts.
  if (wasCurrent) {
    currentLanguage_ = nullptr;
    ClearAll();
  }
}

const std::string& TCustomLanguageCenter::currentText(int stringIndex) const {
  if (currentLanguage_ == nullptr || stringIndex < 0 || stringIndex >= StringCount()) {
    return MissingStr;
  }
  return currentLanguage_->strings_[static_cast<size_t>(stringIndex)];
}

int TCustomLanguageCenter::indexOfLanguageSet(const TLanguageSet* language) const {
  for (size_t i = 0; i < languageList_.size(); ++i) {
    if (languageList_[i].get() == language) return static_cast<int>(i);
  }
  return -1;
}

void TCustomLanguageCenter::rebuildIndex() const {
  index_.clear();
  for (size_t i = 0; i < upperIDs_.size(); ++i)
    index_.try_emplace(upperIDs_[i], static_cast<int>(i));
  indexStale_ = false;
}

}  // namespace lang

// Reading and writing language files (.lnf); the layout is described in
// language_center.h.
//
// A file is parsed completely before the center is touched, so a damaged file
// is refused with the center exactly as it was.

#include <unordered_set>

#include "lang/language_center.h"
#include "platform/files.h"
#include "platform/message_stream.h"
#include "platform/text.h"

namespace lang {
namespace {

struct Record {
  std::string text;
  std::string id;
  std::string description;
};

struct LanguageFile {
  std::string langID;
  std::string languageName;
  std::vector<Record> records;
};

ELanguageError notValid() {
  return ELanguageError("The file is not a valid language file");
}

Record readRecord(platform::TMessageStream& stream, int flags) {
  Record record;
  if (flags & TCustomLanguageCenter::kPartText) record.text = stream.ReadString();
  if (flags & TCustomLanguageCenter::kPartID) record.id = stream.ReadString();
  if (flags & TCustomLanguageCenter::kPartDescription) record.description = stream.ReadString();
  return record;
}

// Everything after the signature.
LanguageFile readBody(platform::TMessageStream& stream) {
  LanguageFile file;
  file.langID = platform::upperCase(stream.ReadString());
  file.languageName = stream.ReadString();
  const int flags = stream.ReadInteger() & 7;
  // Records without any part take no bytes; reading them from data that is
  // left over would never end.
  if (flags == 0 && stream.Remaining() >= 2) throw notValid();
  // A single stray byte after the last record is tolerated.
  while (stream.Remaining() >= 2) file.records.push_back(readRecord(stream, flags));
  return file;
}

LanguageFile parseLanguageFile(std::string bytes, std::string_view signature,
                               std::string_view fileName) {
  platform::TMessageStream stream(std::move(bytes));
  std::string fileSignature;
  try {
    fileSignature = stream.ReadString();
  } catch (const platform::EStreamError&) {
    throw notValid();
  }
  if (fileSignature != signature) {
    throw ELanguageError("The language file, " + std::string(fileName) +
                         ", did not have the correct signature");
  }
  try {
    return readBody(stream);
  } catch (const platform::EStreamError&) {
    throw notValid();
  }
}

// Raises, before anything changes, the error that adding the file's unknown
// strings would raise part-way through the load.
void checkNewStrings(const TCustomLanguageCenter& center, const LanguageFile& file,
                     bool clearFirst) {
  std::unordered_set<std::string> added;
  auto known = [&](std::string_view id) {
    return added.count(platform::upperCase(id)) > 0 ||
           (!clearFirst && center.IndexOfString(id) != -1);
  };
  for (const Record& record : file.records) {
    if (known(record.id)) continue;
    const std::string id = center.CleanIdentifier(record.id);
    if (id.empty()) throw ELanguageError("No StringID specified");
    if (known(id)) throw ELanguageError("The StringID, " + id + ", already exists");
    added.insert(platform::upperCase(id));
  }
}

}  // namespace

TLanguageSet& TCustomLanguageCenter::LoadLanguageFile(std::string_view fileName, bool clearFirst,
                                                      bool addMissing) {
  if (!platform::fileExists(fileName)) {
    throw ELanguageError("The language file, " + std::string(fileName) + ", does not exist");
  }
  const LanguageFile file = parseLanguageFile(platform::readFile(fileName), Signature, fileName);
  if (LanguageCount() == 0) clearFirst = true;
  const bool addStrings = addMissing || clearFirst;
  if (addStrings) checkNewStrings(*this, file, clearFirst);

  if (clearFirst) ClearAll();
  const int existing = IndexOfLanguage(file.langID);
  TLanguageSet& target =
      existing == -1 ? AddLanguage(file.langID, file.languageName) : Languages(existing);
  target.FileName = platform::extractFileName(fileName);

  for (size_t position = 0; position < file.records.size(); ++position) {
    const Record& record = file.records[position];
    const int j = IndexOfString(record.id);
    if (j != -1) {
      target.SetString(j, record.text);
    } else if (addStrings) {
      AddString(record.id, record.description, record.text);
    } else if (position < static_cast<size_t>(target.StringCount())) {
      // Without a known ID the record is matched by its position; records
      // past the end of the table are dropped.
      target.SetString(static_cast<int>(position), record.text);
    }
  }
  return target;
}

void TCustomLanguageCenter::SaveToFile(const TLanguageSet* language, std::string_view fileName,
                                       int parts) {
  if (language == nullptr) throw ELanguageError("No language specified to save");
  const int flags = parts & 7;
  platform::TMessageStream stream;
  stream.WriteString(Signature);
  stream.WriteString(platform::upperCase(language->LangID()));
  stream.WriteString(language->LanguageName);
  stream.WriteInteger(flags);
  for (int i = 0; i < StringCount(); ++i) {
    if (flags & kPartText) stream.WriteString(language->GetString(i));
    if (flags & kPartID) stream.WriteString(StringIDs(i));
    if (flags & kPartDescription) stream.WriteString(StringDescriptions(i));
  }

  const bool replacing = platform::fileExists(fileName);
  try {
    platform::writeFileAtomic(fileName, stream.Bytes());
  } catch (const platform::FileError&) {
    if (!replacing) throw;
    throw ELanguageError("The language file, " + std::string(fileName) +
                         ", could not be overrwritten");
  }
}

}  // namespace lang

// The language-file loader over any bytes, into an empty center, into one
// holding the built-in interface table, and merged into the built-in
// help-text table. A damaged file must be refused with ELanguageError and the
// center left as it was; a file that loads must save and load again to the
// same strings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "lang/language_center.h"

namespace {

using lang::ELanguageError;
using lang::TCustomLanguageCenter;

struct Snapshot {
  std::vector<std::string> ids;
  std::vector<std::string> descriptions;
  std::vector<std::vector<std::string>> texts;
  std::vector<std::string> langIDs;

  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const TCustomLanguageCenter& center) {
  Snapshot result;
  for (int i = 0; i < center.StringCount(); ++i) {
    result.ids.push_back(center.StringIDs(i));
    result.descriptions.push_back(center.StringDescriptions(i));
  }
  for (int i = 0; i < center.LanguageCount(); ++i) {
    result.texts.push_back(center.Languages(i).Strings());
    result.langIDs.push_back(center.Languages(i).LangID());
  }
  return result;
}

// A loaded language written with every part and loaded into a new center
// gives the same table.
void checkRoundTrip(TCustomLanguageCenter& center, const lang::TLanguageSet& language) {
  const std::string saved = fuzzing::workFile("saved.lnf");
  center.SaveToFile(&language, saved,
                    TCustomLanguageCenter::kPartText | TCustomLanguageCenter::kPartID |
                        TCustomLanguageCenter::kPartDescription);
  TCustomLanguageCenter reader;
  reader.LoadFromFile(saved, true);
  fuzzing::check(snapshot(reader) == snapshot(center), "a saved language loads differently");
}

// Loads the file with load; a refusal must leave the center as it was.
template <class Load>
void loadOrRefuse(TCustomLanguageCenter& center, Load load, bool roundTrip) {
  const Snapshot before = snapshot(center);
  lang::TLanguageSet* language = nullptr;
  try {
    language = &load(center);
  } catch (const ELanguageError&) {
    fuzzing::check(snapshot(center) == before, "a refused file changed the center");
    return;
  }
  if (roundTrip) checkRoundTrip(center, *language);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file = fuzzing::workFile("input.lnf");
  fuzzing::writeBytes(file, fuzzing::asText(data, size));

  TCustomLanguageCenter empty;
  loadOrRefuse(
      empty, [&](TCustomLanguageCenter & c) -> auto& { return c.LoadFromFile(file, true); }, true);

  TCustomLanguageCenter interface;
  lang::BaseLang::LoadENG(interface);
  loadOrRefuse(
      interface, [&](TCustomLanguageCenter & c) -> auto& { return c.LoadFromFile(file, false); },
      false);

  TCustomLanguageCenter help;
  lang::bldlang::LoadENG(help);
  loadOrRefuse(
      help, [&](TCustomLanguageCenter & c) -> auto& { return c.MergeFromFile(file); }, false);
  return 0;
}

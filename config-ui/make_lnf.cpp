// make_lnf: builds an interface language file from a translation table.
//
//   make_lnf <table.txt> <output.lnf>
//
// The table's IDs are checked against the built-in interface table.
#include <iostream>

#include "config-ui/translation_table.h"
#include "lang/base_lang.h"
#include "lang/language_center.h"
#include "platform/files.h"

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::cerr << "usage: make_lnf <table.txt> <output.lnf>\n";
    return 2;
  }
  try {
    vantro::TranslationTable table = vantro::parseTranslationTable(platform::readFile(argv[1]));
    lang::TCustomLanguageCenter builtIn;
    lang::BaseLang::LoadENG(builtIn);
    std::vector<std::string> ids;
    for (int i = 0; i < builtIn.StringCount(); ++i) ids.push_back(builtIn.StringIDs(i));
    vantro::writeTranslation(table, ids, argv[2]);
  } catch (const std::exception& error) {
    std::cerr << "make_lnf: " << argv[1] << ": " << error.what() << "\n";
    return 1;
  }
  return 0;
}

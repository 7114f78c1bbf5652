// make-help-language TABLE OUTPUT.lnf: builds a help-text language file from a
// reviewed text table, so the shipped language files are never committed as
// binaries.
#include <exception>
#include <iostream>

#include "lang/bldlang.h"
#include "lang/language_center.h"
#include "lang/language_table.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make-help-language TABLE OUTPUT.lnf\n";
    return 2;
  }
  try {
    lang::TCustomLanguageCenter center;
    lang::bldlang::LoadENG(center);
    lang::TLanguageSet& language = lang::AddLanguageFromTable(center, platform::readFile(argv[1]));
    center.SaveToFile(
        &language, argv[2],
        lang::TCustomLanguageCenter::kPartText | lang::TCustomLanguageCenter::kPartID);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "make-help-language: " << argv[1] << ": " << error.what() << '\n';
    return 1;
  }
}

#include "tests/e2e/korvex_sandbox.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "lang/language_center.h"

namespace testing_support {
namespace {

constexpr int kAllParts = lang::TCustomLanguageCenter::kPartText |
                          lang::TCustomLanguageCenter::kPartID |
                          lang::TCustomLanguageCenter::kPartDescription;

// Pages the sandbox does not write (jumps, banners, member lists, samples)
// are missing on purpose: a missing page adds nothing to the output.
const std::pair<const char*, const char*> kTestPages[] = {
    {"Header", "{HEADER\n"},
    {"Contents", "CONTENTS ##TXTContents## / ##TXTUnits##\n##UnitList##\n"},
    {"UnitJump", "UNITJUMP ##UnitName##\n"},
    {"UnitPage", "UNIT ##UnitName##\n"},
    {"TypePage", "TYPE ##UnitName##.##TypeName##\n"},
    {"MethodPage", "METHOD ##UnitName##.##MethodFullName## [##TXTScope## ##MethodScope##]\n"},
    {"PropertyPage", "PROPERTY ##UnitName##.##TypeName##.##PropertyName##\n"},
    {"VarPage", "VARIABLE ##UnitName##.##VariableName##\n"},
    {"ConstPage", "CONSTANT ##UnitName##.##ConstantName##\n"},
    {"HPJ",
     "[OPTIONS]\nHLP=##HelpFileName##\n[FILES]\n##FileName##\n[WINDOWS]\n"
     "members=\"##WIN_AUX##\"\n"},
};

}  // namespace

KorvexSandbox::KorvexSandbox() {
  std::filesystem::create_directories(workDir());
  program_ = installProgramCopy(KORVEX_BINARY, programDir());
  for (const auto& [name, text] : kTestPages) {
    writeProgram(std::string("Template/") + name + ".TPF", text);
  }
}

std::string KorvexSandbox::writeWork(std::string_view name, std::string_view bytes) const {
  return root_.write("work/" + std::string(name), bytes);
}

std::string KorvexSandbox::writeProgram(std::string_view name, std::string_view bytes) const {
  return root_.write("prog/" + std::string(name), bytes);
}

std::string KorvexSandbox::readWork(std::string_view name) const {
  return readBytes(workDir() + "/" + std::string(name));
}

bool KorvexSandbox::workFileExists(std::string_view name) const {
  return std::filesystem::is_regular_file(workDir() + "/" + std::string(name));
}

std::vector<std::string> KorvexSandbox::workFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(workDir())) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void KorvexSandbox::writeHelpLanguage(std::string_view file, std::string_view langID,
                                      std::string_view name, std::string_view prefix) const {
  lang::TCustomLanguageCenter center;
  lang::bldlang::LoadENG(center);
  lang::TLanguageSet& language = center.AddLanguage(langID, name);
  for (int i = 0; i < lang::bldlang::kRowCount; ++i) {
    language.SetString(i, std::string(prefix) + center.Languages(0).GetString(i));
  }
  std::filesystem::create_directories(programDir() + "Template");
  center.SaveToFile(&language, programDir() + "Template/" + std::string(file), kAllParts);
}

void KorvexSandbox::writeInterfaceLanguage(std::string_view file, std::string_view langID,
                                           std::string_view name,
                                           const std::map<int, std::string>& texts) const {
  lang::TCustomLanguageCenter center;
  lang::BaseLang::LoadENG(center);
  lang::TLanguageSet& language = center.AddLanguage(langID, name);
  for (const auto& [index, text] : texts) language.SetString(index, text);
  center.SaveToFile(&language, programDir() + std::string(file), kAllParts);
}

RunResult KorvexSandbox::run(const std::vector<std::string>& arguments) const {
  RunOptions options;
  options.workingDirectory = workDir();
  return runProgram(program_, arguments, options);
}

std::vector<std::string> lines(std::string_view text) {
  std::vector<std::string> result;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    result.emplace_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return result;
}

std::vector<std::string> linesStartingWith(std::string_view text, std::string_view prefix) {
  std::vector<std::string> result;
  for (std::string& line : lines(text)) {
    if (line.starts_with(prefix)) result.push_back(std::move(line));
  }
  return result;
}

}  // namespace testing_support

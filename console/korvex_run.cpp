#include "console/korvex_run.h"

#include <istream>
#include <ostream>

#include "console/command_line.h"
#include "lang/base_lang.h"
#include "lang/language_center.h"
#include "platform/files.h"
#include "platform/misc.h"
#include "platform/profile.h"

namespace console {
namespace {

using lang::TCustomLanguageCenter;

constexpr const char* kVersion = "1.0.0";

// The interface language the configuration utility last chose, remembered in
// its own settings file beside the program.
std::string interfaceLanguageName(const std::string& programDirectory) {
  const platform::Profile settings(programDirectory + "Vantro.INI");
  return settings.ReadString("Form Storage", "edtDONOTTRANSLATE_Text", "English");
}

void loadLanguageFiles(TCustomLanguageCenter& messages, const std::string& programDirectory) {
  std::vector<std::string> files;
  platform::FindFiles(programDirectory, "*.lnf", files);
  for (const std::string& file : files) {
    try {
      messages.LoadFromFile(file, false);
    } catch (const std::exception& error) {
      throw KorvexError("cannot load language file " + file + ": " + error.what());
    }
  }
}

// Every language with that name becomes current in turn, so the last one
// loaded wins; with none, the built-in English stays.
void selectLanguage(TCustomLanguageCenter& messages, const std::string& name) {
  for (int i = 0; i < messages.LanguageCount(); ++i) {
    if (messages.Languages(i).LanguageName == name)
      messages.SetCurrentLanguage(&messages.Languages(i));
  }
}

void writeUsage(const TCustomLanguageCenter& messages, std::ostream& out) {
  for (int i = lang::BaseLang::kUsageFirst; i <= lang::BaseLang::kUsageLast; ++i) {
    out << messages.currentText(i) << '\n';
  }
  out << '\n' << messages.currentText(lang::BaseLang::kUsageNewerVersions) << '\n';
}

bool asksForUsage(const std::vector<std::string>& arguments) {
  if (arguments.size() == 1) return true;
  if (arguments.size() != 2) return false;
  const std::string& only = arguments[1];
  return only == "--help" || only == "-h" || only == "/?";
}

bool asksForVersion(const std::vector<std::string>& arguments) {
  return arguments.size() == 2 && arguments[1] == "--version";
}

}  // namespace

std::string Banner() {
  return std::string("KORVEX ") + kVersion + " - reference help for Object Pascal units";
}

int RunKorvex(const std::vector<std::string>& arguments, const std::string& programDirectory,
              ConsoleStreams streams) {
  TCustomLanguageCenter messages;
  lang::BaseLang::LoadENG(messages);
  const std::string languageName = interfaceLanguageName(programDirectory);
  loadLanguageFiles(messages, programDirectory);
  selectLanguage(messages, languageName);

  streams.out << Banner() << '\n';
  if (asksForVersion(arguments)) return 0;
  if (asksForUsage(arguments)) {
    writeUsage(messages, streams.out);
    return 0;
  }
  TCommandLine commandLine(arguments);
  return 0;
}

}  // namespace console

#include "console/korvex_run.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>

#include "console/command_line.h"
#include "console/console_project.h"
#include "holders/html_build.h"
#include "holders/options.h"
#include "lang/base_lang.h"
#include "lang/language_center.h"
#include "platform/files.h"
#include "platform/misc.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace console {
namespace {

using lang::TCustomLanguageCenter;

constexpr const char* kVersion = "1.0.0";

// Loads a language file; an error names the file, since several are loaded.
void loadLanguageFile(TCustomLanguageCenter& center, const std::string& file, bool clearFirst) {
  try {
    center.LoadFromFile(file, clearFirst);
  } catch (const std::exception& error) {
    throw KorvexError("cannot load language file " + file + ": " + error.what());
  }
}

// The interface language the configuration utility last chose, remembered in
// its own settings file beside the program.
std::string interfaceLanguageName(const std::string& programDirectory) {
  const platform::Profile settings(programDirectory + "Vantro.INI");
  return settings.ReadString("Form Storage", "edtDONOTTRANSLATE_Text", "English");
}

void loadLanguageFiles(TCustomLanguageCenter& messages, const std::string& programDirectory) {
  std::vector<std::string> files;
  platform::FindFiles(programDirectory, "*.lnf", files);
  for (const std::string& file : files) loadLanguageFile(messages, file, false);
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

bool asksForHelp(const std::vector<std::string>& arguments) {
  if (arguments.size() != 2) return false;
  const std::string& only = arguments[1];
  return only == "--help" || only == "-h" || only == "/?";
}

bool asksForVersion(const std::vector<std::string>& arguments) {
  return arguments.size() == 2 && arguments[1] == "--version";
}

const TSwitchKinds kSlash{skSlash};

// The first occurrence of a slash switch, or nullopt when absent.
std::optional<std::string> switchValue(const TCommandLine& commandLine, std::string_view name) {
  std::string value;
  if (commandLine.FindSwitch(name, kSlash, value, 0) < 0) return std::nullopt;
  return value;
}

// /f overrides the configuration's OutputFormat for this run.
holders::HelpFormat outputFormat(const TCommandLine& commandLine) {
  const std::string name = switchValue(commandLine, "F").value_or(holders::options().OutputFormat);
  const std::optional<holders::HelpFormat> format = holders::ParseHelpFormat(name);
  if (!format) throw KorvexError("unknown output format " + name + ": use RTF or HTML");
  return *format;
}

void saveResults(const std::vector<std::string>& results, const std::string& fileName) {
  platform::writeFileAtomic(fileName, platform::joinLinesCrLf(results));
}

// The number of threads that build pages: KORVEX_THREADS when it holds a
// positive number, else 0 (one per processor).
unsigned buildThreadsFromEnvironment() {
  const std::string value = platform::EnvironmentValue("KORVEX_THREADS");
  if (value.empty() || value.size() > 3 ||
      value.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  return static_cast<unsigned>(std::stoul(value));
}

// Keeps the project, unfreed and reachable, until the process ends. A plain
// pointer is never destroyed, so leak checkers still find the project through
// it at exit. A later run in the same process frees the earlier one's.
void leaveToProcessEnd(std::unique_ptr<THelpConsoleProject> project) {
  static THelpConsoleProject* left = nullptr;
  const std::unique_ptr<THelpConsoleProject> earlier(left);
  left = project.release();
}

// Reads, parses and (with an output name) builds, as the switches and the
// configuration files say. Returns whether the program should wait for Enter.
bool runProject(const std::vector<std::string>& arguments, const std::string& programDirectory,
                TCustomLanguageCenter& messages, std::ostream& out, ModelAtEnd modelAtEnd) {
  TCommandLine commandLine(arguments);
  std::vector<std::string> defines;
  auto owned = std::make_unique<THelpConsoleProject>(programDirectory, out);
  THelpConsoleProject& project = *owned;
  project.MessageLanguage = &messages;
  project.BuildThreads = buildThreadsFromEnvironment();
  std::vector<std::string> unitNames;

  commandLine.Refresh();
  project.Scope = holders::kScopePublic;
  // The name is checked as given: a "{DIR}" in it is not replaced here.
  if (auto config = switchValue(commandLine, "I"); config && platform::fileExists(*config)) {
    project.ReadOptions(*config);
  }
  const holders::HelpFormat format = outputFormat(commandLine);
  const bool pause = commandLine.HasSwitch("R", kSlash);
  unitNames = commandLine.SwitchValues("U", kSlash);
  defines = commandLine.SwitchValues("D", kSlash);
  for (const std::string& define : defines) project.AddDefine(define);
  project.Scope = static_cast<std::uint8_t>(holders::options().KorvexProjectScope);
  if (commandLine.HasSwitch("S", kSlash)) {
    project.Scope = static_cast<std::uint8_t>(commandLine.SwitchAsInteger("S", kSlash));
  }
  const auto results = switchValue(commandLine, "O");
  if (results) project.UseResults = true;
  if (unitNames.empty()) unitNames = project.Files;
  project.AddUnits(unitNames);
  if (auto output = switchValue(commandLine, "H")) holders::options().KorvexProjectName = *output;
  if (auto language = switchValue(commandLine, "L")) {
    const std::string file = programDirectory + "Template/" + *language + ".lnf";
    if (platform::fileExists(file)) loadLanguageFile(*project.HelpLanguage, file, true);
  }
  const std::string outputName = holders::options().KorvexProjectName;
  if (!outputName.empty()) {
    try {
      if (format == holders::HelpFormat::Html) {
        holders::BuildHtml(project, outputName);
      } else {
        project.Build(platform::changeFileExt(outputName, ".RTF"));
      }
    } catch (const std::exception& error) {
      out << messages.currentText(lang::BaseLang::kMsgCriticalError) << error.what() << '\n';
    }
  }
  if (results) saveResults(project.Results, *results);
  if (modelAtEnd == ModelAtEnd::LeftToProcessEnd) leaveToProcessEnd(std::move(owned));
  return pause;
}

}  // namespace

std::string Banner() {
  return std::string("KORVEX ") + kVersion + " - reference help for Object Pascal units";
}

int RunKorvex(const std::vector<std::string>& arguments, const std::string& programDirectory,
              ConsoleStreams streams, ModelAtEnd modelAtEnd) {
  TCustomLanguageCenter messages;
  lang::BaseLang::LoadENG(messages);
  const std::string languageName = interfaceLanguageName(programDirectory);
  loadLanguageFiles(messages, programDirectory);
  selectLanguage(messages, languageName);

  streams.out << Banner() << '\n';
  if (asksForVersion(arguments)) return 0;
  if (arguments.size() == 1) {
    writeUsage(messages, streams.out);
    return 0;
  }
  // Asked for help, the usage also names the switches the usage text of
  // earlier versions does not list.
  if (asksForHelp(arguments)) {
    writeUsage(messages, streams.out);
    streams.out << messages.currentText(lang::BaseLang::kUsageFormatSwitch) << '\n';
    return 0;
  }
  if (runProject(arguments, programDirectory, messages, streams.out, modelAtEnd)) {
    streams.out.flush();
    std::string line;
    std::getline(streams.in, line);
  }
  return 0;
}

}  // namespace console

// The option settings: one process-wide set, one field per key of the
// project configuration file, named after the key and starting at the key's
// initial value.
//
// The configuration file is an INI file. Section "Options" holds the keys of
// optionKeys() (booleans written "1"/"0", one integer, strings as stored);
// section "Files" lists the unit files to read, each path a key with an empty
// value. ReadOptions overlays the settings with the keys a file holds, so a
// run reads the program directory's file, then the current directory's, then
// the one named on the command line, each overriding what the earlier ones
// set. Holders read the settings directly; tests change them under an
// OptionsGuard.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace holders {

struct Options {
  bool CasesensitiveInClassInheritence = true;
  bool CasesensitiveInConstantComment = true;
  bool CasesensitiveInConstantValue = true;
  bool CasesensitiveInMethodComment = true;
  bool CasesensitiveInParameterList = true;
  bool CasesensitiveInPropertyComment = true;
  bool CasesensitiveInRecords = true;
  bool CasesensitiveInReturnType = true;
  bool CasesensitiveInStorageMechanism = true;
  bool CasesensitiveInTypeComment = true;
  bool CasesensitiveInUnitComment = true;
  bool CasesensitiveInVariableComment = true;
  bool CommentsRequiredInConstants = false;
  bool CommentsRequiredInMethods = false;
  bool CommentsRequiredInProperties = false;
  bool CommentsRequiredInTypes = false;
  bool CommentsRequiredInUnits = false;
  bool CommentsRequiredInVariables = false;
  std::string FirstLineBitmap = "#BITMAP:";
  std::string FirstLineEnd = "!";
  std::string FirstLineEvent = "#EVENT";
  std::string FirstLineForceInvisible = "#NV";
  std::string FirstLineForceVisible = "#V";
  std::string FirstLineKeepOldComment = "#K";
  std::string FirstLineNewComment = "#C";
  std::string FirstLineScopePrivate = "#0";
  std::string FirstLineScopeProtected = "#1";
  std::string FirstLineScopePublic = "#2";
  std::string FirstLineScopePublished = "#3";
  std::string FirstLineStart = "!";
  // Empty means nothing is built.
  std::string KorvexProjectName;
  // 0 private, 1 protected, 2 public, 3 published.
  int KorvexProjectScope = 2;
  bool LinkSearchInClassInheritence = true;
  bool LinkSearchInConstantComment = true;
  bool LinkSearchInConstantValue = true;
  bool LinkSearchInMethodComment = true;
  bool LinkSearchInRecords = true;
  bool LinkSearchInParameterList = true;
  bool LinkSearchInPropertyComment = true;
  bool LinkSearchInReturnType = true;
  bool LinkSearchInStorageMechanism = true;
  bool LinkSearchInTypeComment = true;
  bool LinkSearchInUnitComment = true;
  bool LinkSearchInVariableComment = true;
  bool ShowInheritedEvents = true;
  bool ShowInheritedMethods = true;
  bool ShowInheritedProperties = true;
  bool ShowMethodExtra = true;
  bool ShowPropertyStorageMechanism = false;
  bool ShowPropertyExtra = true;
  // The help-text language: Template/<Language>.lnf beside the program.
  std::string Language = "English";
  // "RTF" (Windows Help project) or "HTML" (site and HTML Help project).
  std::string OutputFormat = "RTF";

  // The sample first-line command has no key; it is always "#SAMPLE".
  std::string FirstLineSample = "#SAMPLE";
};

// The formats OutputFormat and the /f switch name.
enum class HelpFormat { Rtf, Html };

// "RTF" or "HTML" in any capitals; an empty text means RTF, as an absent key
// does. nullopt for any other text.
std::optional<HelpFormat> ParseHelpFormat(std::string_view text);

// The settings of this process.
extern Options gOptions;
inline Options& options() {
  return gOptions;
}

// Resets the settings to their initial values and restores the previous ones
// on destruction, so a test cannot leak its settings into the next.
class OptionsGuard {
 public:
  OptionsGuard();
  ~OptionsGuard();
  OptionsGuard(const OptionsGuard&) = delete;
  OptionsGuard& operator=(const OptionsGuard&) = delete;

 private:
  Options saved_;
};

inline constexpr std::string_view kOptionsSection = "Options";
inline constexpr std::string_view kFilesSection = "Files";

enum class OptionKind { Boolean, Integer, String };

struct OptionKey {
  std::string_view name;
  OptionKind kind;
  // Holds the member of the alternative that kind names.
  std::variant<bool Options::*, int Options::*, std::string Options::*> member;
};

// Every key of section "Options", in the order the configuration utility
// writes them (it writes section "Files" after KorvexProjectScope).
std::span<const OptionKey> optionKeys();

// The file ReadOptions reads for fileName: the first "{DIR}" replaced by
// programDirectory without its trailing separator; otherwise a name without a
// directory part is taken from the current directory.
std::string optionsFileName(std::string_view fileName, std::string_view programDirectory);

// When the file named by optionsFileName(fileName, program directory) exists
// (found ignoring case), sets every option whose key it holds (booleans and
// the integer only when the value is a whole number) and replaces files with
// the key names of its section "Files" in file order (empty without that
// section). A missing file changes nothing. Throws platform::FileError when
// the file exists but cannot be read, leaving everything unchanged.
void ReadOptions(std::string_view fileName, std::vector<std::string>& files);
void ReadOptions(std::string_view fileName, std::vector<std::string>& files,
                 std::string_view programDirectory);

}  // namespace holders

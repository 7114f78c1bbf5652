#include "holders/options.h"

#include <array>
#include <type_traits>
#include <utility>

#include "platform/files.h"
#include "platform/misc.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace holders {

Options gOptions;

OptionsGuard::OptionsGuard() : saved_(gOptions) {
  gOptions = Options{};
}
OptionsGuard::~OptionsGuard() {
  gOptions = saved_;
}

namespace {

constexpr OptionKey key(std::string_view name, bool Options::*member) {
  return {name, OptionKind::Boolean, member};
}
constexpr OptionKey key(std::string_view name, int Options::*member) {
  return {name, OptionKind::Integer, member};
}
constexpr OptionKey key(std::string_view name, std::string Options::*member) {
  return {name, OptionKind::String, member};
}

// The key text is the member's own name, so the two cannot drift apart.
#define KORVEX_OPTION(name) key(#name, &Options::name)

constexpr std::array kOptionKeys = {
    KORVEX_OPTION(CasesensitiveInClassInheritence),
    KORVEX_OPTION(CasesensitiveInConstantComment),
    KORVEX_OPTION(CasesensitiveInConstantValue),
    KORVEX_OPTION(CasesensitiveInMethodComment),
    KORVEX_OPTION(CasesensitiveInParameterList),
    KORVEX_OPTION(CasesensitiveInPropertyComment),
    KORVEX_OPTION(CasesensitiveInRecords),
    KORVEX_OPTION(CasesensitiveInReturnType),
    KORVEX_OPTION(CasesensitiveInStorageMechanism),
    KORVEX_OPTION(CasesensitiveInTypeComment),
    KORVEX_OPTION(CasesensitiveInUnitComment),
    KORVEX_OPTION(CasesensitiveInVariableComment),
    KORVEX_OPTION(CommentsRequiredInConstants),
    KORVEX_OPTION(CommentsRequiredInMethods),
    KORVEX_OPTION(CommentsRequiredInProperties),
    KORVEX_OPTION(CommentsRequiredInTypes),
    KORVEX_OPTION(CommentsRequiredInUnits),
    KORVEX_OPTION(CommentsRequiredInVariables),
    KORVEX_OPTION(FirstLineBitmap),
    KORVEX_OPTION(FirstLineEnd),
    KORVEX_OPTION(FirstLineEvent),
    KORVEX_OPTION(FirstLineForceInvisible),
    KORVEX_OPTION(FirstLineForceVisible),
    KORVEX_OPTION(FirstLineKeepOldComment),
    KORVEX_OPTION(FirstLineNewComment),
    KORVEX_OPTION(FirstLineScopePrivate),
    KORVEX_OPTION(FirstLineScopeProtected),
    KORVEX_OPTION(FirstLineScopePublic),
    KORVEX_OPTION(FirstLineScopePublished),
    KORVEX_OPTION(FirstLineStart),
    KORVEX_OPTION(KorvexProjectName),
    KORVEX_OPTION(KorvexProjectScope),
    KORVEX_OPTION(LinkSearchInClassInheritence),
    KORVEX_OPTION(LinkSearchInConstantComment),
    KORVEX_OPTION(LinkSearchInConstantValue),
    KORVEX_OPTION(LinkSearchInMethodComment),
    KORVEX_OPTION(LinkSearchInRecords),
    KORVEX_OPTION(LinkSearchInParameterList),
    KORVEX_OPTION(LinkSearchInPropertyComment),
    KORVEX_OPTION(LinkSearchInReturnType),
    KORVEX_OPTION(LinkSearchInStorageMechanism),
    KORVEX_OPTION(LinkSearchInTypeComment),
    KORVEX_OPTION(LinkSearchInUnitComment),
    KORVEX_OPTION(LinkSearchInVariableComment),
    KORVEX_OPTION(ShowInheritedEvents),
    KORVEX_OPTION(ShowInheritedMethods),
    KORVEX_OPTION(ShowInheritedProperties),
    KORVEX_OPTION(ShowMethodExtra),
    KORVEX_OPTION(ShowPropertyStorageMechanism),
    KORVEX_OPTION(ShowPropertyExtra),
    KORVEX_OPTION(Language),
    KORVEX_OPTION(OutputFormat),
};

#undef KORVEX_OPTION

// Reads one key with the setting's current value as the default, so an
// absent key or a value that is not a whole number keeps it.
void readKey(const platform::Profile& profile, const OptionKey& option, Options& into) {
  std::visit(
      [&](auto member) {
        auto& value = into.*member;
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, bool>) {
          value = profile.ReadBool(kOptionsSection, option.name, value);
        } else if constexpr (std::is_same_v<Value, int>) {
          value = profile.ReadInteger(kOptionsSection, option.name, value);
        } else {
          value = profile.ReadString(kOptionsSection, option.name, value);
        }
      },
      option.member);
}

}  // namespace

std::optional<HelpFormat> ParseHelpFormat(std::string_view text) {
  if (text.empty() || platform::sameText(text, "RTF")) return HelpFormat::Rtf;
  if (platform::sameText(text, "HTML")) return HelpFormat::Html;
  return std::nullopt;
}

std::span<const OptionKey> optionKeys() {
  return kOptionKeys;
}

std::string optionsFileName(std::string_view fileName, std::string_view programDirectory) {
  std::string name(fileName);
  constexpr std::string_view kDir = "{DIR}";
  if (const size_t at = name.find(kDir); at != std::string::npos) {
    return name.replace(at, kDir.size(), platform::StripBackslash(programDirectory));
  }
  if (platform::extractFilePath(name).empty()) {
    return platform::AddBackslash(platform::currentDirectory()) + name;
  }
  return name;
}

void ReadOptions(std::string_view fileName, std::vector<std::string>& files) {
  ReadOptions(fileName, files, platform::programDirectory());
}

void ReadOptions(std::string_view fileName, std::vector<std::string>& files,
                 std::string_view programDirectory) {
  const std::string name = optionsFileName(fileName, programDirectory);
  if (!platform::fileExists(name)) return;
  const platform::Profile profile(name);
  Options read = gOptions;
  for (const OptionKey& option : kOptionKeys) readKey(profile, option, read);
  std::vector<std::string> listed = profile.ReadSection(kFilesSection);
  gOptions = std::move(read);
  files = std::move(listed);
}

}  // namespace holders

// The INI reader over any text: every key that ReadSection lists can be read
// back, the text written is read again as the same text, and a value written
// into any section reads back unchanged, also after a write and read of the
// whole file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace {

using platform::Profile;

constexpr std::string_view kMissing = "\x01missing";
constexpr std::string_view kKey = "FuzzKey";
constexpr std::string_view kValue = "fuzz value";

// Names of lines that look like section headers, a few at most; only used to
// choose what to ask, so the rule may be rougher than the reader's.
std::vector<std::string> sectionNames(std::string_view text) {
  std::vector<std::string> names;
  for (const std::string& line : platform::splitLines(text)) {
    const std::string trimmed = platform::trim(line);
    const std::size_t close = trimmed.find(']');
    if (trimmed.empty() || trimmed.front() != '[' || close == std::string::npos) continue;
    names.push_back(platform::trim(trimmed.substr(1, close - 1)));
    if (names.size() == 8) break;
  }
  return names;
}

// Any default could be the value itself, so a key counts as missing only
// when two different defaults both come back.
bool hasKey(const Profile& profile, std::string_view section, std::string_view key) {
  return profile.ReadString(section, key, "a") != "a" ||
         profile.ReadString(section, key, "b") != "b";
}

void checkSection(const Profile& profile, const std::string& section) {
  for (const std::string& key : profile.ReadSection(section)) {
    fuzzing::check(hasKey(profile, section, key), "a key that ReadSection lists cannot be read");
    profile.ReadInteger(section, key, 0);
    profile.ReadBool(section, key, false);
  }
}

void checkWriteRead(Profile& profile, const std::string& section) {
  profile.WriteString(section, kKey, kValue);
  fuzzing::check(profile.ReadString(section, kKey, kMissing) == kValue,
                 "a written value does not read back");
  fuzzing::check(profile.SectionExists(section), "a written section does not exist");
  const Profile reread = Profile::fromText(profile.text());
  fuzzing::check(reread.ReadString(section, kKey, kMissing) == kValue,
                 "a written value does not survive the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzzing::asText(data, size);
  Profile profile = Profile::fromText(text);
  const std::string written = profile.text();
  fuzzing::check(Profile::fromText(written).text() == written,
                 "the text written is not read back as the same text");

  std::vector<std::string> sections = sectionNames(text);
  sections.push_back("Options");
  for (const std::string& section : sections) checkSection(profile, section);
  checkWriteRead(profile, sections.front());
  checkWriteRead(profile, "Fuzz Section");
  profile.EraseSection(sections.front());
  fuzzing::check(!profile.SectionExists(sections.front()), "an erased section still exists");
  profile.DeleteKey("Fuzz Section", kKey);
  fuzzing::check(!hasKey(profile, "Fuzz Section", kKey), "a deleted key can still be read");
  return 0;
}

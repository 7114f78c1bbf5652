#include "platform/profile.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

struct Profile::Line {
  std::string raw;  // the line as read or written, without its line end
  std::string key;  // trimmed key name; empty when the line is not a key
};

struct Profile::Section {
  std::string header;  // the header line as read or written
  std::vector<Line> lines;
  // Upper-cased key -> index of its first line in lines.
  std::unordered_map<std::string, size_t> keyIndex;

  void indexKey(size_t index) { keyIndex.try_emplace(upperCase(lines[index].key), index); }
  // One past the last key line; 0 when there is none.
  size_t endOfKeys() const {
    size_t end = lines.size();
    while (end > 0 && lines[end - 1].key.empty()) --end;
    return end;
  }
  void reindex() {
    keyIndex.clear();
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!lines[i].key.empty()) indexKey(i);
    }
  }
};

namespace {

std::string_view trimLeft(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  return text;
}

// The name of a "[Name]" header line, or nullopt for any other line.
std::optional<std::string> headerName(std::string_view line) {
  const std::string_view text = trimLeft(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const size_t close = text.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(text.substr(1, close - 1));
}

std::string keyOf(std::string_view line) {
  const std::string_view text = trimLeft(line);
  if (text.empty() || text.front() == ';') return {};
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {};
  return trim(line.substr(0, equals));
}

std::string valueOf(std::string_view line) {
  std::string value = trim(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

std::optional<int> wholeNumber(std::string_view text) {
  // from_chars takes a '-' but no '+'.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A line break inside a name or value would end the line early and turn the
// rest into a line of its own (possibly a section header).
std::string singleLine(std::string_view text) {
  std::string result(text);
  std::replace_if(
      result.begin(), result.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return result;
}

bool isBlank(const std::string& line) {
  return trimLeft(line).empty();
}

}  // namespace

Profile::Profile() = default;
Profile::Profile(Profile&&) noexcept = default;
Profile& Profile::operator=(Profile&&) noexcept = default;
Profile::~Profile() = default;

Profile::Profile(std::string_view fileName) : fileName_(fileName) {
  if (fileExists(fileName)) parse(readFile(fileName));
}

Profile Profile::fromText(std::string_view text, std::string_view fileName) {
  Profile profile;
  profile.fileName_ = fileName;
  profile.parse(text);
  return profile;
}

void Profile::parse(std::string_view text) {
  Section* current = nullptr;
  for (std::string& raw : splitLines(text)) {
    if (auto name = headerName(raw)) {
      sections_.push_back(std::make_unique<Section>());
      current = sections_.back().get();
      current->header = std::move(raw);
      sectionIndex_.try_emplace(upperCase(*name), current);
    } else if (current == nullptr) {
      preamble_.push_back(std::move(raw));
    } else {
      std::string key = keyOf(raw);
      current->lines.push_back(Line{std::move(raw), std::move(key)});
      if (!current->lines.back().key.empty()) current->indexKey(current->lines.size() - 1);
    }
  }
}

Profile::Section* Profile::findSection(std::string_view name) const {
  auto found = sectionIndex_.find(upperCase(trim(name)));
  return found == sectionIndex_.end() ? nullptr : found->second;
}

const Profile::Line* Profile::findLine(std::string_view section, std::string_view key) const {
  const Section* found = findSection(section);
  if (found == nullptr) return nullptr;
  auto line = found->keyIndex.find(upperCase(trim(key)));
  return line == found->keyIndex.end() ? nullptr : &found->lines[line->second];
}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const Line* line = findLine(section, key);
  return line ? valueOf(line->raw) : std::string(defaultValue);
}

int Profile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const Line* line = findLine(section, key);
  if (line == nullptr) return defaultValue;
  return wholeNumber(valueOf(line->raw)).value_or(defaultValue);
}

bool Profile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> Profile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* found = findSection(section)) {
    for (const Line& line : found->lines) {
      if (!line.key.empty()) keys.push_back(line.key);
    }
  }
  return keys;
}

bool Profile::SectionExists(std::string_view section) const {
  return findSection(section) != nullptr;
}

Profile::Section& Profile::sectionForWriting(std::string_view name) {
  if (Section* found = findSection(name)) return *found;
  const std::string clean = trim(singleLine(name));
  sections_.push_back(std::make_unique<Section>());
  Section& created = *sections_.back();
  created.header = "[" + clean + "]";
  sectionIndex_.try_emplace(upperCase(clean), &created);
  return created;
}

void Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section& target = sectionForWriting(section);
  const std::string cleanKey = trim(singleLine(key));
  const std::string cleanValue = singleLine(value);
  auto existing = target.keyIndex.find(upperCase(cleanKey));
  if (existing != target.keyIndex.end()) {
    Line& line = target.lines[existing->second];
    line.raw = line.key + "=" + cleanValue;
    return;
  }
  // After the section's last key, so that comments about the next section
  // and blank lines before it stay where they are; a section without keys
  // gets it after its last line of text.
  size_t position = target.endOfKeys();
  if (position == 0) {
    position = target.lines.size();
    while (position > 0 && isBlank(target.lines[position - 1].raw)) --position;
  }
  target.lines.insert(target.lines.begin() + static_cast<std::ptrdiff_t>(position),
                      Line{cleanKey + "=" + cleanValue, cleanKey});
  // No key follows the insertion point, so every indexed line stays put.
  target.indexKey(position);
}

void Profile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void Profile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

// Every section of that name goes, so that a duplicate further down cannot
// resurface and mix its old keys into what is written next.
void Profile::EraseSection(std::string_view section) {
  if (findSection(section) == nullptr) return;
  const std::string wanted = upperCase(trim(section));
  std::erase_if(sections_, [&wanted](const auto& each) {
    auto name = headerName(each->header);
    return name && upperCase(*name) == wanted;
  });
  reindex();
}

// Every line of that key in the section goes: a repeated key would otherwise
// resurface with its older value once the first one is deleted.
void Profile::DeleteKey(std::string_view section, std::string_view key) {
  Section* target = findSection(section);
  if (target == nullptr) return;
  const std::string wanted = upperCase(trim(key));
  if (!target->keyIndex.contains(wanted)) return;
  std::erase_if(target->lines, [&wanted](const Line& line) {
    return !line.key.empty() && upperCase(line.key) == wanted;
  });
  target->reindex();
}

void Profile::reindex() {
  sectionIndex_.clear();
  for (const auto& section : sections_) {
    if (auto name = headerName(section->header))
      sectionIndex_.try_emplace(upperCase(*name), section.get());
  }
}

std::string Profile::text() const {
  std::string result;
  auto add = [&result](const std::string& line) {
    result += line;
    result += "\r\n";
  };
  for (const std::string& line : preamble_) add(line);
  for (const auto& section : sections_) {
    add(section->header);
    for (const Line& line : section->lines) add(line.raw);
  }
  return result;
}

void Profile::UpdateFile() const {
  writeFileAtomic(fileName_, text());
}

}  // namespace platform

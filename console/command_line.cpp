#include "console/command_line.h"

#include <cstdint>
#include <optional>

#include "platform/files.h"
#include "platform/text.h"

namespace console {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Digits of the given base, at least one, with no overflow past limit.
std::optional<uint64_t> parseDigits(std::string_view digits, int base, uint64_t limit) {
  if (digits.empty()) return std::nullopt;
  uint64_t number = 0;
  for (char c : digits) {
    const int digit = hexDigit(c);
    if (digit < 0 || digit >= base) return std::nullopt;
    number = number * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (number > limit) return std::nullopt;
  }
  return number;
}

// The whole-number forms that the original conversion routine accepted:
// [+|-] digits, or [+|-] "$" hex digits whose 32 bits are taken as they stand.
std::optional<int32_t> parseWholeNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (!text.empty() && text.front() == '$') {
    auto bits = parseDigits(text.substr(1), 16, UINT32_MAX);
    if (!bits) return std::nullopt;
    const uint32_t pattern = static_cast<uint32_t>(*bits);
    return static_cast<int32_t>(negative ? 0u - pattern : pattern);
  }
  const uint64_t limit = negative ? uint64_t{1} << 31 : INT32_MAX;
  auto magnitude = parseDigits(text, 10, limit);
  if (!magnitude) return std::nullopt;
  const int64_t signedValue = static_cast<int64_t>(*magnitude);
  return static_cast<int32_t>(negative ? -signedValue : signedValue);
}

bool startsWith(std::string_view text, char first, std::string_view name) {
  return !text.empty() && text.front() == first && text.substr(1).starts_with(name);
}

}  // namespace

TCommandLine::TCommandLine(int argc, const char* const* argv) {
  for (int i = 0; i < argc; ++i) arguments_.emplace_back(argv[i] ? argv[i] : "");
  Refresh();
}

TCommandLine::TCommandLine(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {
  Refresh();
}

int TCommandLine::ParameterCount() const {
  return static_cast<int>(parameters_.size());
}

std::string TCommandLine::ProgramName() const {
  return platform::extractFileName(ProgramPath());
}

const std::string& TCommandLine::ProgramPath() const {
  static const std::string kNone;
  return arguments_.empty() ? kNone : arguments_.front();
}

void TCommandLine::SetCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  Refresh();
  caseSensitive_ = value;
}

int TCommandLine::FindSwitch(std::string_view name, TSwitchKinds kinds, std::string& value,
                             int startIndex) const {
  value.clear();
  if (kinds.contains(skAny)) kinds = {skAny, skExact, skEquals, skSlash, skDash};
  if (kinds.empty()) return -1;
  const std::string key = caseSensitive_ ? std::string(name) : platform::upperCase(name);
  for (size_t i = startIndex < 0 ? 0 : static_cast<size_t>(startIndex); i < parameters_.size();
       ++i) {
    const std::string text = caseSensitive_ ? parameters_[i] : platform::upperCase(parameters_[i]);
    const int index = static_cast<int>(i);
    if (kinds.contains(skExact) && text == key) return index;
    const size_t equals = text.find('=');
    if (kinds.contains(skEquals) && text.starts_with(key) && equals != std::string::npos) {
      value = text.substr(equals + 1);
      return index;
    }
    if ((kinds.contains(skSlash) && startsWith(text, '/', key)) ||
        (kinds.contains(skDash) && startsWith(text, '-', key))) {
      value = text.substr(1 + key.size());
      return index;
    }
  }
  return -1;
}

int TCommandLine::SwitchAsInteger(std::string_view name, TSwitchKinds kinds) const {
  std::string value;
  if (FindSwitch(name, kinds, value, 0) < 0) return -1;
  return parseWholeNumber(value).value_or(-1);
}

std::string TCommandLine::CommandLineText() const {
  std::string text;
  for (const std::string& parameter : parameters_) {
    text += parameter;
    text += ' ';
  }
  return text;
}

std::vector<std::string> TCommandLine::SwitchValues(std::string_view name,
                                                    TSwitchKinds kinds) const {
  std::vector<std::string> values;
  std::string value;
  for (int found = FindSwitch(name, kinds, value, 0); found >= 0;
       found = FindSwitch(name, kinds, value, found + 1)) {
    values.push_back(value);
  }
  return values;
}

bool TCommandLine::HasSwitch(std::string_view name, TSwitchKinds kinds) const {
  std::string value;
  return FindSwitch(name, kinds, value, 0) >= 0;
}

std::string TCommandLine::SwitchValue(std::string_view name, TSwitchKinds kinds) const {
  std::string value;
  FindSwitch(name, kinds, value, 0);
  return value;
}

void TCommandLine::Refresh() {
  parameters_.assign(arguments_.empty() ? arguments_.end() : arguments_.begin() + 1,
                     arguments_.end());
}

}  // namespace console

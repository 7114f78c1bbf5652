// Page loading and tag substitution over any page and any tags.
//
// Input: the page text, then optionally NUL-separated pairs of tag and value
// ("page\0tag\0value\0tag\0value..."); every third pair is replaced
// ignoring case, the others case-sensitively (as the help build does, which
// fills cached pages by plan while it can). A page with no pairs gets the tags the
// help build fills, so real page files make good seeds.
//
// Checks: a page loaded from its file is the text's lines; every ReplaceTag
// ends, the page grows by exactly (value - tag) bytes per replacement it
// reports, and its lines are those of a plain search that replaces from left
// to right and resumes after each value.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/text.h"
#include "templates/document_template.h"
#include "templates/template_cache.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Larger pages take too long per input; the work of one replacement is
// linear in the page, so nothing is lost.
constexpr std::size_t kMaxPage = 64 << 10;

const Pairs& buildTags() {
  static const Pairs tags{
      {"##UnitName##", "Classes"},    {"##TypeName##", "TStringList"},
      {"##TXTUnit##", "Unit"},        {"##TypeDescription##", "A list of ##TypeName##."},
      {"##InternalName##", ""},       {"##MethodName##", "##MethodName##"},
      {"##TYPEMethods##", "Methods"}, {"##JumpName##", "Type_Classes_TStringList"},
  };
  return tags;
}

std::vector<std::string_view> splitAtNul(std::string_view text) {
  std::vector<std::string_view> parts;
  for (std::size_t nul; (nul = text.find('\0')) != std::string_view::npos;) {
    parts.push_back(text.substr(0, nul));
    text.remove_prefix(nul + 1);
  }
  parts.push_back(text);
  return parts;
}

std::size_t documentBytes(const templates::TDocumentTemplate& page) {
  std::size_t bytes = 0;
  for (const std::string& line : page.Document()) bytes += line.size();
  return bytes;
}

// The plain search ReplaceTag must agree with.
int replacePlainly(std::string& line, std::string_view tag, std::string_view value,
                   bool caseSensitive) {
  if (tag.empty()) return 0;
  const auto searchForm = [caseSensitive](std::string_view text) {
    return caseSensitive ? std::string(text) : platform::upperCase(text);
  };
  // Upper-casing goes byte by byte, so the searched copy is kept in step
  // with the line by the same replacements.
  std::string haystack = searchForm(line);
  const std::string wanted = searchForm(tag);
  const std::string valueForm = searchForm(value);
  int count = 0;
  for (std::size_t at = 0; (at = haystack.find(wanted, at)) != std::string::npos;) {
    line.replace(at, tag.size(), value);
    haystack.replace(at, tag.size(), valueForm);
    at += value.size();
    ++count;
  }
  return count;
}

void replace(templates::TDocumentTemplate& page, std::vector<std::string>& plain,
             std::string_view tag, std::string_view value, bool caseSensitive) {
  const std::size_t before = documentBytes(page);
  const int count = page.ReplaceTag(tag, value, caseSensitive);
  fuzzing::check(count >= 0, "a negative replacement count");
  const auto expected =
      static_cast<long long>(before) +
      count * (static_cast<long long>(value.size()) - static_cast<long long>(tag.size()));
  fuzzing::check(static_cast<long long>(documentBytes(page)) == expected,
                 "the page changed by other than the replacements reported");
  int plainCount = 0;
  for (std::string& line : plain) plainCount += replacePlainly(line, tag, value, caseSensitive);
  fuzzing::check(count == plainCount && page.Document() == plain,
                 "ReplaceTag differs from a plain search");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> parts = splitAtNul(fuzzing::asText(data, size));
  const std::string file = fuzzing::workFile("Page.TPF");
  fuzzing::writeBytes(file, parts[0]);

  templates::TemplateCache cache;
  templates::TDocumentTemplate page(cache);
  page.LoadFromFile(file);
  fuzzing::check(page.Template() == platform::splitLines(parts[0]),
                 "a loaded page is not the file's lines");
  fuzzing::check(page.Document() == page.Template(), "Document differs from Template on load");

  std::vector<std::string> plain = page.Document();
  if (parts.size() < 3) {
    std::size_t pair = 0;
    for (const auto& [tag, value] : buildTags()) replace(page, plain, tag, value, pair++ % 3 != 2);
  }
  for (std::size_t i = 1; i + 1 < parts.size(); i += 2) {
    // A value holding its tag several times multiplies the page at every
    // pair: a pair that could take it past the limit is skipped.
    const std::size_t bytes = documentBytes(page);
    const std::size_t tagSize = std::max<std::size_t>(parts[i].size(), 1);
    if (bytes + bytes / tagSize * parts[i + 1].size() > kMaxPage) continue;
    replace(page, plain, parts[i], parts[i + 1], (i / 2) % 3 != 2);
  }
  const std::string text = page.Text();
  fuzzing::check(text.size() == documentBytes(page) + 2 * page.Document().size(),
                 "Text is not the lines each ended by CR LF");

  page.LoadFromFile(file);
  fuzzing::check(page.Document() == page.Template(), "a reload keeps earlier replacements");
  return 0;
}

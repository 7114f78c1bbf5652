// Turning descriptions, samples and declaration parts into output text, with
// inline tags and link search.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "holders/comment_text.h"
#include "holders/dialect.h"
#include "holders/item.h"
#include "holders/options.h"
#include "holders/project.h"
#include "holders/type.h"
#include "lang/base_lang.h"
#include "platform/text.h"

namespace holders {
namespace {

// The links a build thread wrote last, by holder and word. A description's
// words link to the same few hundred holders again and again, and making a
// link (its jump name, escaped, filled into the jump page) costs a dozen
// times as much as copying one made before. A link depends only on the
// holder and the word while a build runs, so the build's number keeps a
// later build from using links of an earlier one.
class RememberedLinks {
 public:
  // The link to item with visible text word, made by make when not
  // remembered.
  template <class Make>
  const std::string& link(std::uint64_t build, const THItem* item, std::string_view word,
                          Make make) {
    Entry& entry = entries_[slotOf(item, word)];
    if (entry.build != build || entry.item != item || entry.word != word) {
      entry.link = make();
      entry.build = build;
      entry.item = item;
      entry.word.assign(word);
    }
    return entry.link;
  }

 private:
  static constexpr size_t kEntries = 4096;
  struct Entry {
    std::uint64_t build = 0;  // none is 0
    const THItem* item = nullptr;
    std::string word;
    std::string link;
  };
  static size_t slotOf(const THItem* item, std::string_view word) {
    const size_t hash = std::hash<std::string_view>{}(word) ^
                        (reinterpret_cast<std::uintptr_t>(item) >> 4) * 0x9E3779B97F4A7C15ull;
    return hash % kEntries;
  }
  std::array<Entry, kEntries> entries_{};
};

RememberedLinks& linksOfThisThread() {
  thread_local auto links = std::make_unique<RememberedLinks>();
  return *links;
}

}  // namespace

std::string THItem::BuildRtfText(std::string_view text, bool linkSearch, bool caseSensitive) {
  // Links make the text longer: a short text by a link or two, a long one by
  // about half. Room for that spares most texts a second allocation.
  constexpr size_t kRoomForLinks = 48;
  std::string rtf;
  if (!text.empty()) rtf.reserve(text.size() + text.size() / 2 + kRoomForLinks);
  bool linkNext = linkSearch;
  const auto appendWord = [&](std::string_view word) {
    const bool blank = word == " ";
    appendWordRtf(rtf, word, linkNext && !blank, caseSensitive);
    if (!blank) linkNext = linkSearch;
  };
  std::string part;
  while (!text.empty()) {
    // Most parts are words and delimiters as they stand: taken without a copy.
    if (const size_t plain = PlainTextPart(text)) {
      appendWord(text.substr(0, plain));
      text.remove_prefix(plain);
      continue;
    }
    const int result = NextTextPart(text, part);
    if (result == kNoPart) break;
    if (result == kWordPart) {
      appendWord(part);
    } else {
      rtf += tagToRtf(part, text, linkNext, caseSensitive);
    }
  }
  platform::trimInPlace(rtf);
  return rtf;
}

void THItem::appendWordRtf(std::string& rtf, std::string_view word, bool lookUp,
                           bool caseSensitive) {
  if (lookUp) {
    THItem* item = FindItem(word, caseSensitive);
    // A holder never links to itself, and an undocumented one has no topic.
    if (item != nullptr && item != this && item->IsDocumented()) {
      const auto make = [&] { return item->BuildJump(escaped(word)); };
      if (project_ != nullptr && project_->Building()) {
        rtf += linksOfThisThread().link(project_->BuildNumber(), item, word, make);
      } else {
        rtf += make();
      }
      return;
    }
  }
  dialect().appendEscaped(rtf, word);
}

std::string THItem::tagToRtf(const std::string& tag, std::string_view& text, bool& linkNext,
                             bool caseSensitive) {
  const std::string upper = platform::upperCase(tag);
  // Blanks after a tag vanish.
  text = platform::trimmedView(text);
  if (upper == "IDENT") {
    linkNext = true;
  } else if (upper == "TAB") {
    return std::string(dialect().tab());
  } else if (upper == "BR") {
    return std::string(dialect().lineBreak());
  } else if (upper == "P") {
    return std::string(dialect().paragraph());
  } else if (upper == "NOIDENT") {
    linkNext = false;
  } else if (upper.starts_with("L ")) {
    const std::string target = platform::trim(tag.substr(2));
    const std::string inner = ReadToEndTag(text, "L");
    return jumpPage(esc(inner), esc(target));
  } else if (upper.starts_with("T ")) {
    const std::string ref = platform::trim(tag.substr(2));
    const std::string inner = ReadToEndTag(text, "T");
    if (inner.empty()) return {};
    const size_t point = ref.find('.');
    const std::string typeName = ref.substr(0, point);
    const std::string memberName = point == std::string::npos ? "" : ref.substr(point + 1);
    THItem* found = FindItem(typeName, caseSensitive);
    if (THType* type = found != nullptr ? found->AsType() : nullptr) {
      THItem* member = type->FindMember(memberName, caseSensitive);
      if (member != nullptr && member->IsDocumented()) return member->BuildJump(esc(inner));
    }
    return esc(inner);
  } else {
    message(0, lang::BaseLang::kMsgUnknownTag, tag);
  }
  return {};
}

std::string THItem::BuildSampleText(std::string_view text) {
  std::string rtf;
  for (const std::string& line : platform::splitLines(text)) {
    const size_t blanks = line.find_first_not_of(' ');
    std::string converted(blanks == std::string::npos ? line.size() : blanks, ' ');
    converted += BuildRtfText(platform::trim(line), true, true);
    // A point keeps indentation of a sample line that would otherwise start
    // at the margin.
    if (!converted.empty() && converted.front() == '.') converted.front() = ' ';
    rtf += converted;
    rtf += dialect().lineBreak();
  }
  return rtf;
}

std::string THItem::LinkParameterTypes(std::string_view text) {
  const Options& opt = options();
  static constexpr TokenKinds kSemicolon{TokenKind::Semicolon};
  SourceReader reader{std::string(text)};
  std::string result;
  const OutputDialect& escaping = dialect();
  for (reader.Next(); reader.Kind() != TokenKind::Null; reader.Next()) {
    if (reader.Kind() != TokenKind::Colon) {
      escaping.appendEscaped(result, reader.TokenView());
      continue;
    }
    const std::string type = ReadUntil(reader, kSemicolon);
    result += ": ";
    result += BuildRtfText(type, opt.LinkSearchInParameterList, opt.CasesensitiveInParameterList);
    if (reader.Kind() == TokenKind::Semicolon) result += ';';
    if (reader.Kind() == TokenKind::Null) break;
  }
  return result;
}

}  // namespace holders

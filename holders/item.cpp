#include "holders/item.h"

#include <utility>

#include "holders/comment_text.h"
#include "holders/dialect.h"
#include "holders/name_list.h"
#include "holders/options.h"
#include "holders/project.h"
#include "holders/unit.h"
#include "lang/language_center.h"
#include "platform/text.h"

namespace holders {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
  // An empty marker marks nothing.
  return !prefix.empty() && text.substr(0, prefix.size()) == prefix;
}

// Splits the first-line commands off a description: returns the command
// text and leaves the description in text.
std::string takeCommandLine(std::string& text) {
  const Options& opt = options();
  // Most descriptions have none: the first line is a prefix of the text, so
  // a text without the marker is ruled out before it is split.
  if (!startsWith(text, opt.FirstLineStart)) return {};
  std::vector<std::string> lines = platform::splitLines(text);
  if (lines.empty() || !startsWith(lines.front(), opt.FirstLineStart)) return {};
  const std::string line = platform::trim(lines.front().substr(opt.FirstLineStart.size()));
  const std::string endMarker = " " + opt.FirstLineEnd;
  const size_t end = line.find(endMarker);
  std::string commands;
  if (end == std::string::npos) {
    commands = line;
    lines.erase(lines.begin());
  } else {
    commands = line.substr(0, end + endMarker.size());
    lines.front() = platform::trim(line.substr(end + endMarker.size()));
    if (lines.front().empty()) lines.erase(lines.begin());
  }
  text = platform::joinLinesCrLf(lines);
  return commands;
}

}  // namespace

THItem::THItem(THItem* owner) : owner_(owner) {
  if (owner != nullptr) {
    project_ = owner->project_;
    unit_ = owner->unit_;
  }
}

THItem::~THItem() = default;

void THItem::Parse(SourceReader& /*parser*/) {}

void THItem::BuildTopic(PageSink& /*output*/) {}

std::string THItem::BuildJump(std::string_view /*text*/) {
  throw EHolderError("BuildJump not implemented in THItem");
}

THItem* THItem::FindItem(std::string_view name, bool caseSensitive) {
  return project_ != nullptr ? project_->FindItem(name, caseSensitive) : nullptr;
}

bool THItem::IsDocumented() {
  if (project_ == nullptr) return false;
  if (Visibility == kAlwaysVisible) return true;
  if (Visibility == kNeverVisible) return false;
  if (Scope < project_->Scope) return false;
  return owner_ == nullptr || owner_->IsDocumented();
}

void THItem::SetComment(std::string_view text) {
  // Trimmed as views and joined in a buffer the thread keeps, then copied
  // once, at its own size (the model keeps every comment to the end): every
  // declaration read with a comment comes here.
  std::string_view braced = platform::trimmedView(text);
  if (!braced.empty() && braced.front() == '{') braced.remove_prefix(1);
  if (!braced.empty() && braced.back() == '}') braced.remove_suffix(1);
  std::string_view description = platform::trimmedView(braced);
  std::string withoutCommands;
  std::string commands;
  if (startsWith(description, options().FirstLineStart)) {
    withoutCommands = description;
    commands = takeCommandLine(withoutCommands);
    description = platform::trimmedView(withoutCommands);
  }
  thread_local std::string joined;
  joined.clear();
  appendLinesCollapsingBlanks(description, joined);
  applyCommands(commands);
  Comment = std::string(platform::trimmedView(joined));
  constexpr size_t kKeptBufferBytes = 1 << 20;
  if (joined.capacity() > kKeptBufferBytes) joined = std::string();  // an unusually long one
}

void THItem::applyCommands(const std::string& commandText) {
  const Options& opt = options();
  const std::string upper = platform::upperCase(commandText);
  size_t start = 0;
  while (start < upper.size()) {
    size_t end = upper.find(' ', start);
    if (end == std::string::npos) end = upper.size();
    const std::string word = upper.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    if (word == opt.FirstLineForceInvisible) {
      Visibility = kNeverVisible;
    } else if (word == opt.FirstLineForceVisible) {
      Visibility = kAlwaysVisible;
    } else if (word == opt.FirstLineScopePrivate) {
      Scope = kScopePrivate;
    } else if (word == opt.FirstLineScopeProtected) {
      Scope = kScopeProtected;
    } else if (word == opt.FirstLineScopePublic) {
      Scope = kScopePublic;
    } else if (word == opt.FirstLineScopePublished) {
      Scope = kScopePublished;
    } else {
      applyCommandWord(word);
    }
  }
}

void THItem::applyCommandWord(const std::string& /*word*/) {}

bool THItem::IsCommentToken(const SourceReader& parser) {
  const TokenKind kind = parser.Kind();
  return kind == TokenKind::AnsiComment || kind == TokenKind::BraceComment ||
         kind == TokenKind::SlashComment;
}

THItem* THItem::FindInList(std::string_view name, bool caseSensitive, const SortedNameList& list) {
  return list.find(name, caseSensitive);
}

THItem* THItem::FindInList(std::string_view name, bool caseSensitive, const OrderedNameList& list) {
  return list.find(name, caseSensitive);
}

std::string THItem::LanguageText(int index) const {
  if (project_ == nullptr || !project_->HelpLanguage) return "Missing string";
  return project_->HelpLanguage->currentText(index);
}

std::string THItem::ScopeName() const {
  switch (Scope) {
    case kScopePrivate:
      return "private";
    case kScopeProtected:
      return "protected";
    case kScopePublic:
      return "public";
    case kScopePublished:
      return "published";
    default:
      return {};
  }
}

void THItem::message(int level, int index, std::string_view name) const {
  if (project_ == nullptr) return;
  project_->Post(level, project_->MessageText(index), name);
}

const OutputDialect& THItem::dialect() const {
  return project_ != nullptr ? project_->Dialect() : RtfDialect::instance();
}

std::string joinName(std::initializer_list<std::string_view> parts) {
  size_t size = 0;
  for (const std::string_view part : parts) size += part.size();
  std::string name;
  name.reserve(size);
  for (const std::string_view part : parts) name.append(part);
  return name;
}

std::string_view THItem::OwnerUnitName() const {
  return unit_ != nullptr ? std::string_view(unit_->UnitName) : std::string_view();
}

std::string THItem::esc(std::string_view text) const {
  return dialect().escape(text);
}

EscapedText THItem::escapedText(int index) const {
  if (project_ != nullptr && project_->Building()) {
    return EscapedText(std::string_view(project_->EscapedHelpText(index)));
  }
  return EscapedText(esc(LanguageText(index)));
}

namespace {

// Page objects given back on this thread, ready to be lent again. Objects
// lent on one thread may come back on another; beyond this many, they are
// freed.
constexpr size_t kPooledPagesKept = 16;
thread_local std::vector<std::unique_ptr<templates::TDocumentTemplate>> pagePool;

}  // namespace

PooledPage::PooledPage() {
  if (pagePool.empty()) {
    pagePool.reserve(kPooledPagesKept);  // so giving back never allocates
    page_ = std::make_unique<templates::TDocumentTemplate>();
  } else {
    page_ = std::move(pagePool.back());
    pagePool.pop_back();
  }
}

PooledPage::~PooledPage() {
  if (page_ == nullptr || pagePool.size() >= kPooledPagesKept) return;
  // Emptied as it comes back: the page it was loaded from belongs to a
  // project's page cache, which may be gone before the page is lent again.
  page_->LoadCached(nullptr);
  pagePool.push_back(std::move(page_));
}

PooledPage THItem::page(std::string_view name) const {
  PooledPage result;
  if (project_ != nullptr) {
    project_->LoadTemplate(name, result);
  } else {
    result.get().LoadCached(nullptr);
  }
  return result;
}

std::string THItem::jumpPage(std::string_view visibleText, std::string_view jumpName) const {
  // Made for every link written: filled without a page object.
  static constexpr std::string_view kTags[] = {"##InternalName##", "##InternalJump##"};
  const std::string_view values[] = {visibleText, jumpName};
  std::string text;
  if (project_ != nullptr) {
    templates::TDocumentTemplate::AppendFilledText(project_->CachedTemplate("InternalJump"), kTags,
                                                   values, text);
  }
  return text;
}

}  // namespace holders

// The comment reader of THItem: directives, include files and the
// accumulation of descriptions and samples.
#include "holders/comment_text.h"
#include "holders/item.h"
#include "holders/options.h"
#include "holders/project.h"
#include "holders/unit.h"
#include "lang/base_lang.h"
#include "platform/files.h"
#include "platform/text.h"

namespace holders {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
  return !prefix.empty() && text.substr(0, prefix.size()) == prefix;
}

// A directive starts with "$", after an optional "{" and blanks.
bool mayBeDirective(std::string_view text) {
  if (!text.empty() && text.front() == '{') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  return !text.empty() && text.front() == '$';
}

// "$IF" and "$ELSEIF" test expressions that the reader does not evaluate.
// Their condition counts as unknown and their branch as taken, so the first
// branch of such a chain is read and the others are skipped; what matters is
// that every "$IF" is closed by its own "$ENDIF" or "$IFEND", so that blocks
// stay balanced around it.
bool isConditional(const std::string& name) {
  return name == "$IFDEF" || name == "$IFNDEF" || name == "$ELSE" || name == "$ENDIF" ||
         name == "$DEFINE" || name == "$UNDEF" || name == "$IF" || name == "$ELSEIF" ||
         name == "$IFEND";
}

// Directives that open a block closed by "$ENDIF" or "$IFEND". "$IFOPT"
// stays description text where it is read, but its block counts when skipped.
bool opensBlock(const std::string& name) {
  return name == "$IFDEF" || name == "$IFNDEF" || name == "$IF" || name == "$IFOPT";
}

bool closesBlock(const std::string& name) {
  return name == "$ENDIF" || name == "$IFEND";
}

// Where a comment line stands in its comment and how it accumulates.
struct CommentLine {
  bool first = false;  // carries the opening delimiter
  bool lineComment = false;
  bool keepOld = false;
  bool newComment = false;
};

// Takes the delimiters off a comment line. Inside a sample the text keeps its
// blanks (the indentation of the sample's lines).
void stripDelimiters(TokenKind kind, std::string_view& text, bool inSample, CommentLine& line) {
  const auto cut = [&](size_t front, size_t back) {
    text.remove_suffix(back);
    text.remove_prefix(front);
    if (!inSample) text = platform::trimmedView(text);
  };
  if (kind == TokenKind::AnsiComment) {
    if (text.size() >= 2 && text.starts_with("(*")) {
      cut(2, 0);
      line.first = true;
    }
    if (text.size() >= 2 && text.find("*)") == text.size() - 2) cut(0, 2);
  } else if (kind == TokenKind::BraceComment) {
    if (text.starts_with('{')) {
      cut(1, 0);
      line.first = true;
    }
    if (text.ends_with('}')) cut(0, 1);
  } else if (kind == TokenKind::SlashComment) {
    line.lineComment = true;
    if (text.size() >= 2 && text.starts_with("//")) {
      cut(2, 0);
      line.first = true;
    }
  }
}

}  // namespace

void THItem::ProcessComment(SourceReader& parser, std::string_view tokenText, std::string& comment,
                            std::string& sample) {
  const std::string_view text = platform::trimmedView(tokenText);
  if (text.empty()) return;
  if (!mayBeDirective(text)) {
    collectComment(parser.Kind(), text, comment, sample);
    return;
  }
  const std::string name = platform::upperCase(DirectiveName(text));
  if (isConditional(name)) {
    processDirective(parser, name, platform::upperCase(DirectiveArgument(text)));
    return;
  }
  if (name == "$I" || name == "$INCLUDE") {
    includeFile(parser, platform::upperCase(DirectiveArgument(text)));
    return;
  }
  collectComment(parser.Kind(), text, comment, sample);
}

void THItem::ProcessDirectiveComment(SourceReader& parser, std::string_view tokenText) {
  if (!mayBeDirective(platform::trimmedView(tokenText))) return;
  std::string ignoredComment;
  std::string ignoredSample;
  ProcessComment(parser, tokenText, ignoredComment, ignoredSample);
}

void THItem::processDirective(SourceReader& parser, const std::string& name,
                              const std::string& arg) {
  // Only the two tests ask: a reading on another thread logs every question.
  const auto defined = [&] { return project_ != nullptr && project_->IsDefined(arg); };
  if (name == "$IFDEF") {
    if (!defined()) SkipConditional(parser);
  } else if (name == "$IFNDEF") {
    if (defined()) SkipConditional(parser);
  } else if (name == "$ELSE") {
    // Reached only after the branch before it was taken.
    SkipConditional(parser);
  } else if (name == "$ELSEIF") {
    // Likewise; the branches after it, an "$ELSE" among them, are not taken.
    skipBlock(parser, true);
  } else if (name == "$DEFINE") {
    if (project_ != nullptr) project_->AddDefine(arg);
  } else if (name == "$UNDEF") {
    if (project_ != nullptr) project_->RemoveDefine(arg);
  }
}

void THItem::SkipConditional(SourceReader& parser) {
  skipBlock(parser, false);
}

void THItem::skipBlock(SourceReader& parser, bool toEnd) {
  // Skipped text has no effect, its brackets included: two alternative
  // openings of one header must not leave the depth counting one of them.
  const std::int32_t round = parser.RoundDepth();
  const std::int32_t square = parser.SquareDepth();
  int depth = 0;
  for (;;) {
    parser.NextBraceComment();
    if (parser.Kind() == TokenKind::Null) break;
    const std::string name = platform::upperCase(DirectiveName(parser.TokenView()));
    if (opensBlock(name)) {
      ++depth;
    } else if (closesBlock(name)) {
      if (depth == 0) break;
      --depth;
    } else if ((name == "$ELSE" || name == "$ELSEIF") && depth == 0 && !toEnd) {
      // An "$ELSEIF" branch after one not taken is read: its condition is
      // unknown.
      break;
    }
  }
  parser.restoreDepths(round, square);
}

void THItem::includeFile(SourceReader& parser, const std::string& argument) {
  THUnit* unit = OwnerUnit();
  if (unit == nullptr || project_ == nullptr) return;
  // Text read again while building (a parameter list) or after moving back
  // over the directive has been included once already.
  if (project_->Building() || !parser.firstIncludeAt(parser.TokenStart())) return;
  const IncludeFinder::Located file = project_->LocateInclude(argument);
  if (file.path.empty()) {
    message(0, lang::BaseLang::kMsgUnableToLocateIncludeFile, file.name);
    return;
  }
  const std::string& identity = project_->CachedFileIdentity(file.path);
  if (project_->IsBeingRead(identity)) {
    message(0, lang::BaseLang::kMsgRecursiveIncludeSkipped, file.name);
    return;
  }
  if (project_->ReadingDepth() > THProject::kMaxIncludeDepth) {
    message(0, lang::BaseLang::kMsgIncludeTooDeep, file.name);
    return;
  }
  message(0, lang::BaseLang::kMsgAddingIncludeFile, file.name);
  SourceReader included(readSourceFile(file.path), file.path);
  const ReadingScope scope(*project_, identity);
  // The included text continues the section open here, and so must the text
  // after it: a second include in the same section continues it too.
  const std::uint8_t section = unit->CurrentSection;
  unit->Parse(included);
  unit->CurrentSection = section;
}

void THItem::collectComment(TokenKind kind, std::string_view text, std::string& comment,
                            std::string& sample) {
  const Options& opt = options();
  CommentLine line;
  stripDelimiters(kind, text, !sample.empty(), line);
  if (line.first) {
    if (startsWith(text, opt.FirstLineKeepOldComment)) {
      text = platform::trimmedView(text.substr(opt.FirstLineKeepOldComment.size()));
      line.keepOld = true;
    } else if (startsWith(text, opt.FirstLineNewComment)) {
      text = platform::trimmedView(text.substr(opt.FirstLineNewComment.size()));
      line.newComment = true;
    }
  }
  if (startsWith(text, opt.FirstLineSample)) {
    Sample.clear();
    sample.assign(1, ' ');  // begun, no line yet
  } else if (!sample.empty()) {
    if (sample == " ") {
      sample = text;
    } else {
      sample += '\r';
      sample += text;
    }
  } else if (comment.empty() || line.newComment) {
    comment = text;
  } else if (line.keepOld || line.lineComment || !line.first) {
    comment += ' ';
    comment += text;
  } else {
    comment = text;  // a new block comment replaces what was pending
  }
}

}  // namespace holders

#include "tools/helpcheck_rtf.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/text.h"

namespace tools {
namespace {

// Groups whose content is not topic text (tables, pictures, document info).
constexpr std::array<std::string_view, 17> kSkippedDestinations = {
    "fonttbl",   "colortbl", "stylesheet",       "info",    "pict",    "object",  "header",
    "footer",    "headerl",  "headerr",          "headerf", "footerl", "footerr", "footerf",
    "listtable", "revtbl",   "listoverridetable"};

enum class Destination { Text, Skip, Footnote };

struct GroupState {
  bool hotspot = false;  // \ul, \uld, \uldb or \strike in force
  bool hidden = false;   // \v in force
  Destination destination = Destination::Text;
};

bool isLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool isBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

class RtfScanner {
 public:
  explicit RtfScanner(std::string_view text) : text_(text) {}
  RtfDocument run();

 private:
  char peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  bool atEnd() const { return pos_ >= text_.size(); }
  int depth() const { return static_cast<int>(stack_.size()) - 1; }
  GroupState& state() { return stack_.back(); }

  void lineEnd();
  void openGroup();
  void closeGroup();
  void controlSymbol();
  void controlWord();
  void applyWord(std::string_view word, bool hasParameter, long parameter);
  void emit(char c);
  void textByte(char c);
  void breakText();
  void endHidden();
  void startFootnote();
  void endFootnote();
  void endTopic(bool atPage);
  void noteContent();
  void afterDocument(char c);

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
  std::vector<GroupState> stack_{GroupState{}};
  bool groupStart_ = false;

  RtfDocument document_;
  RtfTopic topic_;
  bool topicHasContent_ = false;
  int topicStartDepth_ = 1;

  bool lastVisibleHotspot_ = false;
  char lastChar_ = 0;
  bool inHidden_ = false;
  bool hiddenIsJump_ = false;
  int hiddenLine_ = 0;
  std::string hidden_;

  int footnoteDepth_ = -1;
  RtfFootnote footnote_;

  bool documentClosed_ = false;
  bool reportedAfterEnd_ = false;
  bool reportedStray_ = false;
};

RtfDocument RtfScanner::run() {
  document_.startsAsRtf = text_.starts_with("{\\rtf");
  while (!atEnd()) {
    const char c = text_[pos_];
    if (documentClosed_ && depth() == 0 && c != '}') afterDocument(c);
    if (c == '\r' || c == '\n') {
      lineEnd();
    } else if (c == '{') {
      ++pos_;
      openGroup();
    } else if (c == '}') {
      ++pos_;
      closeGroup();
    } else if (c == '\\') {
      ++pos_;
      if (isLetter(peek()))
        controlWord();
      else
        controlSymbol();
    } else {
      ++pos_;
      groupStart_ = false;
      textByte(c);
    }
  }
  endHidden();
  if (topicHasContent_) endTopic(false);
  if (depth() > 0) {
    document_.braceProblems.push_back(
        {line_, std::to_string(depth()) + " group(s) still open at the end of the file"});
  }
  return std::move(document_);
}

void RtfScanner::lineEnd() {
  if (text_[pos_] == '\r' && peek(1) == '\n') ++pos_;
  ++pos_;
  ++line_;
}

void RtfScanner::afterDocument(char c) {
  if (isBlank(c) || reportedAfterEnd_) return;
  reportedAfterEnd_ = true;
  document_.braceProblems.push_back({line_, "text after the \"}\" that closes the document"});
}

void RtfScanner::openGroup() {
  stack_.push_back(stack_.back());
  groupStart_ = true;
}

void RtfScanner::closeGroup() {
  groupStart_ = false;
  if (depth() == 0) {
    if (!reportedStray_) {
      document_.braceProblems.push_back({line_, "\"}\" closes a group that was never opened"});
    }
    reportedStray_ = true;
    return;
  }
  const bool leavesFootnote = depth() == footnoteDepth_;
  stack_.pop_back();
  if (leavesFootnote) endFootnote();
  if (depth() == 0) documentClosed_ = true;
}

void RtfScanner::controlSymbol() {
  groupStart_ = false;
  if (atEnd()) return;
  const char c = text_[pos_];
  if (c == '\r' || c == '\n') {  // a backslash before a line end is a paragraph mark
    lineEnd();
    breakText();
    return;
  }
  ++pos_;
  switch (c) {
    case '\\':
    case '{':
    case '}':
      emit(c);
      break;
    case '~':
      emit(' ');
      break;
    case '_':
      emit('-');
      break;
    case '*':
      state().destination = Destination::Skip;
      break;
    case '\'': {
      const int high = hexValue(peek());
      const int low = hexValue(peek(1));
      if (high < 0 || low < 0) break;
      pos_ += 2;
      emit(static_cast<char>(high * 16 + low));
      break;
    }
    default:
      break;  // \- \: \| and the like carry no text
  }
}

void RtfScanner::controlWord() {
  const size_t start = pos_;
  while (isLetter(peek())) ++pos_;
  const std::string_view word = text_.substr(start, pos_ - start);
  bool negative = false;
  if (peek() == '-' && isDigit(peek(1))) {
    negative = true;
    ++pos_;
  }
  const bool hasParameter = isDigit(peek());
  long parameter = 0;
  while (isDigit(peek())) {
    parameter = std::min(parameter * 10 + (text_[pos_] - '0'), 1L << 30);
    ++pos_;
  }
  if (peek() == ' ') ++pos_;
  applyWord(word, hasParameter, negative ? -parameter : parameter);
}

void RtfScanner::applyWord(std::string_view word, bool hasParameter, long parameter) {
  const bool first = groupStart_;
  groupStart_ = false;
  if (word == "bin") {  // raw bytes follow; they are not RTF
    pos_ += std::min(static_cast<size_t>(std::max(parameter, 0L)), text_.size() - pos_);
    return;
  }
  if (state().destination == Destination::Skip) return;
  if (first && state().destination == Destination::Text) {
    if (word == "footnote") return startFootnote();
    if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) !=
        kSkippedDestinations.end()) {
      state().destination = Destination::Skip;
      return;
    }
  }
  const bool on = !hasParameter || parameter != 0;
  if (word == "plain") {
    state().hotspot = false;
    state().hidden = false;
  } else if (word == "ul" || word == "uld" || word == "uldb" || word == "strike") {
    state().hotspot = on;
  } else if (word == "ulnone") {
    state().hotspot = false;
  } else if (word == "v") {
    state().hidden = on;
  } else if (word == "tab") {
    emit('\t');
  } else if (word == "emdash" || word == "endash") {
    emit('-');
  } else if (word == "par" || word == "line" || word == "sect" || word == "cell" || word == "row") {
    breakText();
  } else if (word == "page") {
    if (state().destination == Destination::Text) endTopic(true);
  }
}

void RtfScanner::textByte(char c) {
  if (state().destination == Destination::Skip) return;
  emit(c);
}

void RtfScanner::emit(char c) {
  const GroupState& group = state();
  // Text outside every group is not part of the document.
  if (group.destination == Destination::Skip || depth() == 0) return;
  if (group.destination == Destination::Footnote) {
    footnote_.text += c;
    return;
  }
  if (!isBlank(c)) noteContent();
  if (group.hidden) {
    if (!inHidden_) {
      inHidden_ = true;
      hiddenIsJump_ = lastVisibleHotspot_;
      hiddenLine_ = line_;
      hidden_.clear();
    }
    hidden_ += c;
    return;
  }
  endHidden();
  lastVisibleHotspot_ = group.hotspot;
  lastChar_ = c;
}

void RtfScanner::noteContent() {
  if (topicHasContent_) return;
  topicHasContent_ = true;
  topic_.line = line_;
}

void RtfScanner::breakText() {
  if (state().destination != Destination::Text) return;
  endHidden();
  lastVisibleHotspot_ = false;
  lastChar_ = 0;
}

void RtfScanner::endHidden() {
  if (!inHidden_) return;
  inHidden_ = false;
  if (hiddenIsJump_) document_.jumps.push_back({platform::trim(hidden_), hiddenLine_});
}

void RtfScanner::startFootnote() {
  endHidden();
  noteContent();
  state().destination = Destination::Footnote;
  footnoteDepth_ = depth();
  footnote_ = RtfFootnote{lastChar_, {}, line_};
  lastChar_ = 0;
  lastVisibleHotspot_ = false;
}

void RtfScanner::endFootnote() {
  footnoteDepth_ = -1;
  std::string text = platform::trim(footnote_.text);
  // Word processors repeat the mark inside the footnote: {\up #} Unit_A.
  if (footnote_.mark != 0 && !text.empty() && text.front() == footnote_.mark) {
    text = platform::trim(std::string_view(text).substr(1));
  }
  footnote_.text = std::move(text);
  topic_.footnotes.push_back(std::move(footnote_));
  footnote_ = RtfFootnote{};
}

// The braces of a topic balance when its \page stands at the depth where the
// topic began; a last topic without \page is left to the document's check.
void RtfScanner::endTopic(bool atPage) {
  endHidden();
  breakText();
  topic_.bracesBalanced = !atPage || depth() == topicStartDepth_;
  if (topicHasContent_) document_.topics.push_back(std::move(topic_));
  topic_ = RtfTopic{};
  topicHasContent_ = false;
  topicStartDepth_ = depth();
}

}  // namespace

RtfDocument scanRtf(std::string_view text) {
  return RtfScanner(text).run();
}

}  // namespace tools

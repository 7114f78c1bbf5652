#include "tools/helpcheck_html_scan.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tools {
namespace {

constexpr std::array kVoidElements = {"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                      "input", "link", "meta", "param", "source", "track", "wbr"};

bool isVoid(std::string_view name) {
  return std::find(kVoidElements.begin(), kVoidElements.end(), name) != kVoidElements.end();
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == ':';
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The length of a valid entity reference at text[0] ('&'), or 0.
size_t entityLength(std::string_view text) {
  size_t i = 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const size_t digits = i;
    while (i < text.size() && (hex ? std::isxdigit(static_cast<unsigned char>(text[i])) != 0
                                   : std::isdigit(static_cast<unsigned char>(text[i])) != 0))
      ++i;
    if (i == digits) return 0;
  } else {
    const size_t letters = i;
    while (i < text.size() && std::isalnum(static_cast<unsigned char>(text[i])) != 0) ++i;
    if (i == letters) return 0;
  }
  return i < text.size() && text[i] == ';' ? i + 1 : 0;
}

// The length of the UTF-8 sequence at text[0], or 0 when it is not one.
size_t utf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const size_t length = lead < 0x80                   ? 1
                        : lead >= 0xC2 && lead < 0xE0 ? 2
                        : lead >= 0xE0 && lead < 0xF0 ? 3
                        : lead >= 0xF0 && lead < 0xF5 ? 4
                                                      : 0;
  if (length == 0 || length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

void appendUtf8(std::string& out, unsigned long c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

class Scanner {
 public:
  Scanner(std::string_view text, bool checkNesting) : text_(text), nesting_(checkNesting) {}
  HtmlScan run();

 private:
  void problem(std::string message) { scan_.problems.push_back({line_, std::move(message)}); }
  char at(size_t offset) const { return pos_ + offset < text_.size() ? text_[pos_ + offset] : 0; }
  void advance(size_t count);
  bool skipPast(std::string_view end);
  void text();
  void markup();
  void closingTag();
  void openingTag();
  bool attribute(HtmlTag& tag);
  void skipRawText(const std::string& name);
  void close(const std::string& name);

  std::string_view text_;
  bool nesting_;
  size_t pos_ = 0;
  int line_ = 1;
  std::vector<std::pair<std::string, int>> open_;  // element names and their lines
  HtmlScan scan_;
};

void Scanner::advance(size_t count) {
  for (size_t i = 0; i < count && pos_ < text_.size(); ++i, ++pos_) {
    if (text_[pos_] == '\n') ++line_;
  }
}

bool Scanner::skipPast(std::string_view end) {
  const size_t found = text_.find(end, pos_);
  if (found == std::string_view::npos) {
    advance(text_.size() - pos_);
    return false;
  }
  advance(found + end.size() - pos_);
  return true;
}

HtmlScan Scanner::run() {
  while (pos_ < text_.size()) {
    if (text_[pos_] == '<') {
      markup();
    } else {
      text();
    }
  }
  if (nesting_) {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
      scan_.problems.push_back({it->second, "<" + it->first + "> is never closed"});
    }
  }
  return std::move(scan_);
}

void Scanner::text() {
  const std::string_view rest = text_.substr(pos_);
  if (rest[0] == '&') {
    const size_t length = entityLength(rest);
    if (length == 0) problem("'&' that starts no entity (write &amp;)");
    advance(std::max<size_t>(length, 1));
    return;
  }
  const size_t length = utf8Length(rest);
  if (length == 0) problem("a byte that is not UTF-8");
  advance(std::max<size_t>(length, 1));
}

void Scanner::markup() {
  if (text_.compare(pos_, 4, "<!--") == 0) {
    if (!skipPast("-->")) problem("comment is never closed");
  } else if (at(1) == '!' || at(1) == '?') {
    if (!skipPast(">")) problem("declaration is never closed");
  } else if (at(1) == '/') {
    closingTag();
  } else if (std::isalpha(static_cast<unsigned char>(at(1))) != 0) {
    openingTag();
  } else {
    problem("'<' that opens no tag (write &lt;)");
    advance(1);
  }
}

void Scanner::closingTag() {
  const int line = line_;
  advance(2);
  const size_t start = pos_;
  while (pos_ < text_.size() && isNameChar(text_[pos_])) advance(1);
  const std::string name = lower(text_.substr(start, pos_ - start));
  while (pos_ < text_.size() && isSpace(text_[pos_])) advance(1);
  if (at(0) != '>') {
    scan_.problems.push_back({line, "closing tag </" + name + " is not ended by '>'"});
    return;
  }
  advance(1);
  if (nesting_) close(name);
}

void Scanner::close(const std::string& name) {
  const auto match = std::find_if(open_.rbegin(), open_.rend(),
                                  [&](const auto& element) { return element.first == name; });
  if (match == open_.rend()) {
    problem("</" + name + "> closes no open element");
    return;
  }
  // Elements opened after the one closed here were never closed themselves.
  for (auto it = open_.rbegin(); it != match; ++it) {
    scan_.problems.push_back({it->second, "<" + it->first + "> is never closed"});
  }
  open_.erase(std::prev(match.base()), open_.end());
}

void Scanner::openingTag() {
  HtmlTag tag;
  tag.line = line_;
  advance(1);
  const size_t start = pos_;
  while (pos_ < text_.size() && isNameChar(text_[pos_])) advance(1);
  tag.name = lower(text_.substr(start, pos_ - start));
  bool selfClosed = false;
  while (true) {
    while (pos_ < text_.size() && isSpace(text_[pos_])) advance(1);
    if (pos_ >= text_.size()) {
      scan_.problems.push_back({tag.line, "<" + tag.name + " is not ended by '>'"});
      return;
    }
    if (at(0) == '>' || (at(0) == '/' && at(1) == '>')) {
      selfClosed = at(0) == '/';
      advance(selfClosed ? 2 : 1);
      break;
    }
    if (!attribute(tag)) return;
  }
  scan_.tags.push_back(tag);
  if (nesting_ && !isVoid(tag.name) && !selfClosed) open_.emplace_back(tag.name, tag.line);
  if (tag.name == "script" || tag.name == "style") skipRawText(tag.name);
}

bool Scanner::attribute(HtmlTag& tag) {
  const size_t start = pos_;
  while (pos_ < text_.size() && !isSpace(text_[pos_]) && text_[pos_] != '=' && text_[pos_] != '>' &&
         text_[pos_] != '/' && text_[pos_] != '"' && text_[pos_] != '\'')
    advance(1);
  if (pos_ == start) {
    problem("unexpected character in <" + tag.name + ">");
    advance(1);
    return true;
  }
  std::string name = lower(text_.substr(start, pos_ - start));
  if (at(0) != '=') {
    tag.attributes.emplace_back(std::move(name), "");
    return true;
  }
  advance(1);
  const char quote = at(0);
  if (quote != '"' && quote != '\'') {
    problem("value of " + name + " in <" + tag.name + "> is not quoted");
    while (pos_ < text_.size() && !isSpace(text_[pos_]) && text_[pos_] != '>') advance(1);
    return true;
  }
  advance(1);
  const size_t end = text_.find(quote, pos_);
  if (end == std::string_view::npos) {
    problem("value of " + name + " in <" + tag.name + "> is never closed");
    advance(text_.size() - pos_);
    return false;
  }
  const std::string_view value = text_.substr(pos_, end - pos_);
  if (value.find('<') != std::string_view::npos) {
    problem("'<' inside the value of " + name + " in <" + tag.name + ">");
  }
  tag.attributes.emplace_back(std::move(name), decodeEntities(value));
  advance(end + 1 - pos_);
  return true;
}

void Scanner::skipRawText(const std::string& name) {
  const int line = line_;
  while (pos_ < text_.size()) {
    if (at(0) == '<' && at(1) == '/' && lower(text_.substr(pos_ + 2, name.size())) == name) {
      closingTag();
      return;
    }
    advance(1);
  }
  scan_.problems.push_back({line, "<" + name + "> is never closed"});
}

}  // namespace

const std::string* HtmlTag::attribute(std::string_view attributeName) const {
  for (const auto& [name, value] : attributes) {
    if (name == attributeName) return &value;
  }
  return nullptr;
}

HtmlScan scanHtml(std::string_view text, bool checkNesting) {
  return Scanner(text, checkNesting).run();
}

std::string decodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
      {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", "\xC2\xA0"}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const size_t length = text[i] == '&' ? entityLength(text.substr(i)) : 0;
    if (length == 0) {
      out += text[i++];
      continue;
    }
    const std::string_view body = text.substr(i + 1, length - 2);
    std::string decoded(text.substr(i, length));
    const bool hex = body.size() > 1 && body[0] == '#' && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(hex ? 2 : 1);
    // More digits than any code point has would overflow the conversion.
    if (body[0] == '#' && digits.size() <= 7) {
      const unsigned long code = std::stoul(std::string(digits), nullptr, hex ? 16 : 10);
      if (code > 0 && code < 0x110000) {
        decoded.clear();
        appendUtf8(decoded, code);
      }
    } else {
      for (const auto& [name, value] : kNamed) {
        if (body == name) decoded = value;
      }
    }
    out += decoded;
    i += length;
  }
  return out;
}

}  // namespace tools

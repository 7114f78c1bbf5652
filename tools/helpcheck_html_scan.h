// Reading an HTML page for the help checker.
//
// The scanner reads a page as the well-formed HTML that the page sets write:
// every element that is not void is closed, in order; attribute values are
// quoted; a literal '<' or '&' in text is written as an entity; the bytes
// are UTF-8. It returns the tags it met (with their attributes decoded), the
// ids the page defines, and whatever breaks those rules. It never fails:
// damaged input yields problems. Sitemaps (.hhc, .hhk) are read with
// nesting checks off, as their list items are never closed.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tools {

struct HtmlTag {
  std::string name;                                             // lower case
  std::vector<std::pair<std::string, std::string>> attributes;  // names lower case
  int line = 0;

  // The decoded value of an attribute, or nullptr when the tag has none.
  const std::string* attribute(std::string_view attributeName) const;
};

struct HtmlProblem {
  int line = 0;
  std::string message;
};

struct HtmlScan {
  std::vector<HtmlTag> tags;  // opening tags, in order
  std::vector<HtmlProblem> problems;
};

HtmlScan scanHtml(std::string_view text, bool checkNesting);

// Entities (&amp; &lt; &gt; &quot; &apos; &nbsp; &#NN; &#xHH;) decoded; an
// unknown or unterminated one is kept as written.
std::string decodeEntities(std::string_view text);

}  // namespace tools

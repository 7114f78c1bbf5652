// The HTML output dialect, and the text rules every HTML file we write follows.
//
// Source text is Windows-1252; the pages are UTF-8. Every value that reaches
// a page goes through HtmlDialect::escape, which converts the bytes and turns
// the five characters that HTML gives a meaning (& < > " ') into entities, so
// a comment can never open a tag or end an attribute. The snippets holders
// write themselves become small elements that the stylesheet lays out; they
// are well-formed wherever a template places them.
#pragma once

#include <string>
#include <string_view>

#include "holders/dialect.h"

namespace holders {

// Windows-1252 bytes as UTF-8. Bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) and control bytes other than tab, LF and CR
// become U+FFFD, which a page may carry.
std::string windows1252ToUtf8(std::string_view text);

// & < > " ' as entities; every other byte unchanged (for files kept in the
// source code page, such as the HTML Help contents and index).
std::string escapeMarkup(std::string_view text);

class HtmlDialect final : public OutputDialect {
 public:
  // escapeMarkup, then windows1252ToUtf8.
  std::string escape(std::string_view text) const override;

  std::string_view tab() const override { return "<span class=\"tab\"></span>"; }
  std::string_view lineBreak() const override { return "<br>"; }
  std::string_view paragraph() const override { return "<span class=\"par\"></span>"; }
  std::string_view propertySampleLead() const override { return " <span class=\"tab\"></span>"; }
  std::string_view variableSampleTail() const override { return ""; }

  // Lines end in <br>; fields are indented by two blanks, which the
  // declaration's preformatted block keeps.
  std::string recordHead(std::string_view escapedTypeName) const override;
  std::string recordField(std::string_view escapedName, std::string_view typeText) const override;
  std::string_view recordEnd() const override { return "end;"; }

  std::string bitmapReference(std::string_view fileName) const override;
  // Each page is a whole document; nothing closes the site.
  std::string_view documentEnd() const override { return ""; }
};

}  // namespace holders

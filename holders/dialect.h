// The output dialect: the few pieces of markup that holders write themselves.
//
// Pages come from templates, so almost all markup belongs to the template
// author. What the holders add on their own (breaks inside descriptions, the
// lines of a record declaration, the bitmap reference, the end of the
// document) and how source text is made safe for the output live here, so a
// second output format needs only a second dialect.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace holders {

class OutputDialect {
 public:
  virtual ~OutputDialect() = default;

  // Source or language text made safe to stand inside the output as itself.
  virtual std::string escape(std::string_view text) const = 0;
  // Appends escape(text) to out.
  virtual void appendEscaped(std::string& out, std::string_view text) const { out += escape(text); }
  // escape(text) without a copy when the text needs no escaping: `text`
  // itself, or `scratch` holding the escaped text.
  virtual std::string_view escapeView(std::string_view text, std::string& scratch) const {
    scratch = escape(text);
    return scratch;
  }

  virtual std::string_view tab() const = 0;        // <TAB>, banner separators
  virtual std::string_view lineBreak() const = 0;  // <BR>, sample lines
  virtual std::string_view paragraph() const = 0;  // <P>

  // Separator written after a sample link on a property page / variable page.
  virtual std::string_view propertySampleLead() const = 0;
  virtual std::string_view variableSampleTail() const = 0;

  // A record declaration: its head line (ending in a line end), one line per
  // field (name and type already in output form) and its end.
  virtual std::string recordHead(std::string_view escapedTypeName) const = 0;
  virtual std::string recordField(std::string_view escapedName,
                                  std::string_view typeText) const = 0;
  virtual std::string_view recordEnd() const = 0;

  // A reference to the component bitmap shown on a type page.
  virtual std::string bitmapReference(std::string_view fileName) const = 0;

  // The last line of the topics file, closing what the "Header" page opened.
  virtual std::string_view documentEnd() const = 0;
};

// A text in output form, kept only when escaping changed it: otherwise a view
// of the text, which must outlive this. Neither copied nor moved, since the
// view may point into the kept text.
class EscapedText {
 public:
  EscapedText(const OutputDialect& dialect, std::string_view text)
      : view_(dialect.escapeView(text, kept_)) {}
  // A text in output form already, kept here or (escaped) elsewhere.
  explicit EscapedText(std::string escaped) : kept_(std::move(escaped)), view_(kept_) {}
  explicit EscapedText(std::string_view escapedElsewhere) : view_(escapedElsewhere) {}
  EscapedText(const EscapedText&) = delete;
  EscapedText& operator=(const EscapedText&) = delete;

  operator std::string_view() const { return view_; }  // NOLINT: used where a view is
  std::string_view view() const { return view_; }

 private:
  std::string kept_;
  std::string_view view_;
};

// Rich Text Format for the Windows Help compiler.
class RtfDialect final : public OutputDialect {
 public:
  // '\', '{' and '}' get a backslash; bytes above 127 become \'hh.
  std::string escape(std::string_view text) const override;
  void appendEscaped(std::string& out, std::string_view text) const override;
  std::string_view escapeView(std::string_view text, std::string& scratch) const override;

  std::string_view tab() const override { return "\\tab "; }
  std::string_view lineBreak() const override { return "\\line "; }
  std::string_view paragraph() const override { return "\\par "; }
  std::string_view propertySampleLead() const override { return " \\tab "; }
  std::string_view variableSampleTail() const override { return " \\par "; }

  std::string recordHead(std::string_view escapedTypeName) const override;
  std::string recordField(std::string_view escapedName, std::string_view typeText) const override;
  std::string_view recordEnd() const override { return "end;\\par "; }

  std::string bitmapReference(std::string_view fileName) const override;
  std::string_view documentEnd() const override { return "}"; }

  // The dialect every holder uses when no project gives another one.
  static const RtfDialect& instance();
};

}  // namespace holders

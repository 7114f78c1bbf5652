// Pure text tools under the comment reader and the RTF builder.
//
// They work on the bytes of one comment line or one description and know
// nothing of holders or output formats.
#pragma once

#include <string>
#include <string_view>

namespace holders {

// The directive inside a brace comment line ("$IFDEF DEBUG" for
// "{$IFDEF DEBUG}"), or empty when the line does not start with "$" after an
// optional "{". Only the blank separates the directive's words. These three
// return parts of the text they are given.
std::string_view DirectiveText(std::string_view text);
// "$IFDEF": the directive up to its first blank.
std::string_view DirectiveName(std::string_view text);
// "DEBUG": the word after the directive name (the whole directive when it
// has no blank).
std::string_view DirectiveArgument(std::string_view text);

// Result of NextTextPart.
enum : int { kNoPart = -1, kWordPart = 0, kTagPart = 1 };

// Cuts the next part off the front of text: a word, one delimiter
// (blank ! ( ) , . : ; [ ] ^) or a tag "<...>" (part is then the text between
// the brackets). "<<" and a final "<" stand for a literal "<". Returns
// kNoPart when text is already empty.
int NextTextPart(std::string_view& text, std::string& part);
// The length of the part at the front of text when it is a word or delimiter
// that NextTextPart would cut off as it stands (most parts are), so that the
// caller can take it without a copy; 0 when text is empty or the part needs
// NextTextPart (a tag, or a word with a literal "<").
size_t PlainTextPart(std::string_view text);

// Cuts parts off text up to and including the closing tag "</tagName>"
// (compared ignoring case) and returns the text of the parts before it; tags
// inside lose their brackets. Without a closing tag the rest is taken.
std::string ReadToEndTag(std::string_view& text, std::string_view tagName);

// Every CR becomes a blank and every LF is dropped.
std::string JoinLines(std::string_view text);

// As JoinLines, and every run of blanks then becomes one blank: in one pass.
std::string joinLinesCollapsingBlanks(std::string_view text);
// The same appended to out (a blank ending out does not swallow one that
// starts text).
void appendLinesCollapsingBlanks(std::string_view text, std::string& out);

}  // namespace holders

// Object Pascal string literals for the generated language unit.
#pragma once

#include <string>
#include <string_view>

namespace lang {

// The body of a Pascal string literal for text, meant to go between a pair of
// apostrophes that the caller writes. Apostrophes are doubled; bytes below 32
// are written as character codes (#13#10) between the literals, because a
// literal cannot hold them. With a wrap width, after every wrapWidth
// characters the literal is closed and continued on the next line
// ("' + " CR LF, 19 blanks, "'"), never between the two apostrophes of a
// doubled one; a wrap width of 0 keeps the literal on one line.
constexpr int kPascalWrapWidth = 51;
std::string quotePascalText(std::string_view text, int wrapWidth = kPascalWrapWidth);

}  // namespace lang

// Telling unit files apart from the other Pascal sources of a source tree
// (programs, libraries, packages, include files), for building benchmark
// corpora.
//
// A unit file is one whose first token, read the way korvex reads it, is the
// keyword `unit`: blanks, line breaks, comments and compiler directives before
// it do not count. Korvex reads every line end as CR LF, so a `//` comment in
// a file with LF line ends stops at its line end here too.
#pragma once

#include <string_view>

namespace bench {

// True when the text starts with the keyword `unit` (any capitals) after
// nothing but blanks, line breaks, comments and directives. A UTF-8 byte
// order mark at the very start is skipped: it marks the encoding, not text.
// The text ends at its first NUL byte, as it does for the tokenizer.
bool startsWithUnit(std::string_view text);

}  // namespace bench

#include "lang/pascal_literal.h"

namespace lang {
namespace {

// Continues a long literal on the next line, indented to line up under the
// first literal of an AddString call.
constexpr std::string_view kBreak = "' + \r\n                   '";

}  // namespace

std::string quotePascalText(std::string_view text, int wrapWidth) {
  std::string out;
  int count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 32) {
      // A run of control bytes leaves the literal and comes back after it:
      // 'abc'#13#10'def'.
      out += '\'';
      for (; i < text.size() && static_cast<unsigned char>(text[i]) < 32; ++i) {
        const std::string code = "#" + std::to_string(static_cast<unsigned char>(text[i]));
        out += code;
        count += static_cast<int>(code.size());
      }
      --i;
      out += '\'';
    } else if (c == '\'') {
      out += "''";  // the pair is one unit, so a break never splits it
      count += 2;
    } else {
      out += static_cast<char>(c);
      ++count;
    }
    if (wrapWidth > 0 && count >= wrapWidth) {
      out += kBreak;
      count = 0;
    }
  }
  return out;
}

}  // namespace lang

#include "bench/unit_file.h"

#include <string>

#include "parser/tokenizer.h"

namespace bench {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Every line end (CR LF, LF alone, CR alone) becomes CR LF, as korvex reads
// a source file.
std::string withCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  std::size_t from = 0;
  for (std::size_t end; (end = text.find_first_of("\r\n", from)) != std::string_view::npos;) {
    out.append(text.substr(from, end - from)).append("\r\n");
    from = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return out.append(text.substr(from));
}

}  // namespace

bool startsWithUnit(std::string_view text) {
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  const std::string source = withCrLf(text.substr(0, text.find('\0')));
  parser::TqPasParser tokenizer;
  tokenizer.SetText(source);
  do {
    tokenizer.Next();
  } while (tokenizer.IsJunk());
  return tokenizer.Token().Kind() == parser::TokenKind::Unit;
}

}  // namespace bench

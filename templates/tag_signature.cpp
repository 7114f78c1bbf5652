#include "templates/tag_signature.h"

#include <cstring>

#include "platform/text.h"

namespace templates {
namespace {

constexpr char kMark = '#';

// The bit of the key text[0, size) (at least "####"): from its length and
// the first and last bytes of its name, upper-cased. Cheap, since every
// search hashes its tag; the rare collision only costs a search.
std::uint64_t keyBit(const char* text, size_t size) {
  const unsigned first = platform::upperChar(static_cast<unsigned char>(text[2]));
  const unsigned last = platform::upperChar(static_cast<unsigned char>(text[size - 3]));
  const unsigned hash = static_cast<unsigned>(size) * 7u + first * 3u + last * 5u;
  return std::uint64_t{1} << (hash & 63);
}

// Calls found(at, size) for every key of line, from left to right.
template <typename Found>
void forEachKey(std::string_view line, Found found) {
  const char* const begin = line.data();
  const char* const end = begin + line.size();
  // Every "##" may open a key, the overlapping ones of "####" included.
  for (const char* at = begin; end - at >= 4; ++at) {
    at = static_cast<const char*>(std::memchr(at, kMark, static_cast<size_t>(end - at)));
    if (at == nullptr || end - at < 4) break;
    if (at[1] != kMark) continue;
    const char* const name = at + 2;
    const auto* close =
        static_cast<const char*>(std::memchr(name, kMark, static_cast<size_t>(end - name)));
    if (close == nullptr) break;  // no later '#': no later key either
    if (end - close >= 2 && close[1] == kMark) {
      found(at, static_cast<size_t>(close + 2 - at));
    }
  }
}

}  // namespace

// Pages hold many '#' (tags, character codes such as #13#10), so a
// candidate is checked on its second and last bytes before the whole tag is
// compared.
size_t findTag(std::string_view haystack, std::string_view tag, size_t from) {
  const size_t size = tag.size();
  if (from > haystack.size() || haystack.size() - from < size) return std::string_view::npos;
  const char* const begin = haystack.data();
  const char* const lastStart = begin + haystack.size() - size;
  for (const char* at = begin + from; at <= lastStart; ++at) {
    at = static_cast<const char*>(std::memchr(at, tag[0], static_cast<size_t>(lastStart - at) + 1));
    if (at == nullptr) break;
    if (size == 1 || (at[1] == tag[1] && at[size - 1] == tag[size - 1] &&
                      std::memcmp(at + 2, tag.data() + 2, size > 2 ? size - 2 : 0) == 0)) {
      return static_cast<size_t>(at - begin);
    }
  }
  return std::string_view::npos;
}

std::uint64_t tagSignature(std::string_view line) {
  std::uint64_t signature = 0;
  forEachKey(line, [&](const char* at, size_t size) { signature |= keyBit(at, size); });
  return signature;
}

std::uint64_t findTagKeys(std::string_view line, std::vector<TagKey>& keys) {
  std::uint64_t signature = 0;
  forEachKey(line, [&](const char* at, size_t size) {
    signature |= keyBit(at, size);
    keys.push_back(TagKey{static_cast<size_t>(at - line.data()), size});
  });
  return signature;
}

std::uint64_t tagBit(std::string_view tag) {
  const size_t size = tag.size();
  if (size < 4 || tag[0] != kMark || tag[1] != kMark || tag[size - 2] != kMark ||
      tag[size - 1] != kMark) {
    return 0;
  }
  if (std::memchr(tag.data() + 2, kMark, size - 4) != nullptr) return 0;
  return keyBit(tag.data(), size);
}

}  // namespace templates

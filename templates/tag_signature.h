// Which page tags a line can hold, in one 64-bit word.
//
// Page tags have the form ##Name##, with no '#' inside the name. Wherever
// such a tag occurs in a line, the line holds "##", then the run of bytes up
// to the next '#', then "##" again, and that key is the tag itself. The
// signature sets one bit per key the line holds, hashed without regard to
// capitals; a tag whose bit is clear cannot occur in the line, in either kind
// of search. A page fills a dozen tags into a dozen lines, so most searches
// end on one bit test instead of a scan.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace templates {

// Where tag next occurs in haystack from `from` on (npos when nowhere),
// compared byte for byte.
size_t findTag(std::string_view haystack, std::string_view tag, size_t from);

// The bits of every key in line (0 when it holds none).
std::uint64_t tagSignature(std::string_view line);

// A key of a line: wherever a tag of the ##Name## form occurs, a key of the
// same place and size does.
struct TagKey {
  size_t at;
  size_t size;
};

// Appends the keys of line, from left to right, to keys, and returns the
// line's tagSignature.
std::uint64_t findTagKeys(std::string_view line, std::vector<TagKey>& keys);

// The bit a tag sets in the signature of every line holding it, or 0 when the
// tag does not have the ##Name## form and every line must be searched.
std::uint64_t tagBit(std::string_view tag);

}  // namespace templates

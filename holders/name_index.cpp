#include "holders/name_index.h"

#include <cstring>

namespace holders {
namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x80 * kEveryByte;

// Eight bytes with each byte as upperChar gives it: ASCII bytes are
// upper-cased all at once (a byte's high bit marks it as at least 'a' and as
// above 'z'), others through the case table.
std::uint64_t upperCased(std::uint64_t bytes) {
  if ((bytes & kHighBits) == 0) {
    const std::uint64_t fromA = bytes + (0x80 - 'a') * kEveryByte;
    const std::uint64_t pastZ = bytes + (0x80 - 'z' - 1) * kEveryByte;
    const std::uint64_t lower = fromA & ~pastZ & kHighBits;
    return bytes - (lower >> 2);  // 0x80 >> 2 is the distance from 'a' to 'A'
  }
  std::uint64_t upper = 0;
  for (unsigned i = 0; i < 8; ++i) {
    const auto byte = static_cast<unsigned char>(bytes >> (8 * i));
    upper |= std::uint64_t{platform::upperChar(byte)} << (8 * i);
  }
  return upper;
}

std::uint64_t mixed(std::uint64_t hash) {
  return (hash ^ (hash >> 29)) * 0xBF58476D1CE4E5B9u;
}

// Up to eight bytes of a name as one integer: the last eight of a longer
// name (overlapping bytes taken before), or the first and last four of a
// shorter one, or three bytes of one under four. Which bytes land where
// depends only on the length.
std::uint64_t lastBytes(std::string_view name) {
  const char* const data = name.data();
  const size_t size = name.size();
  if (size >= 8) {
    std::uint64_t bytes;
    std::memcpy(&bytes, data + size - 8, 8);
    return bytes;
  }
  if (size >= 4) {
    std::uint32_t first;
    std::uint32_t last;
    std::memcpy(&first, data, 4);
    std::memcpy(&last, data + size - 4, 4);
    return (std::uint64_t{first} << 32) | last;
  }
  if (size == 0) return 0;
  const auto byte = [data](size_t at) {
    return std::uint64_t{static_cast<unsigned char>(data[at])};
  };
  return (byte(0) << 16) | (byte(size / 2) << 8) | byte(size - 1);
}

}  // namespace

std::uint32_t hashIgnoringCase(std::string_view name) {
  // Eight bytes at a time: one multiplication each, not one per byte. Names
  // equal ignoring case have the same length, so the same bytes land in the
  // same places, upper-cased alike, and give the same hash.
  std::uint64_t hash = 0x9E3779B97F4A7C15u ^ name.size();
  for (size_t at = 0; name.size() - at > 8; at += 8) {
    std::uint64_t bytes;
    std::memcpy(&bytes, name.data() + at, 8);
    hash = mixed(hash ^ upperCased(bytes));
  }
  hash = mixed(hash ^ upperCased(lastBytes(name)));
  hash = mixed(hash);
  return static_cast<std::uint32_t>(hash >> 32);
}

}  // namespace holders

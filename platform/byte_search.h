// Searching text for a few kinds of byte sixteen bytes at a time: a byte is
// compared with all sixteen at once, and GCC and Clang make these the
// processor's vector instructions wherever it has them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

using Bytes16 = unsigned char __attribute__((vector_size(16)));

// The sixteen bytes at `from`, which must all be readable.
inline Bytes16 load16(const char* from) {
  Bytes16 bytes;
  std::memcpy(&bytes, from, sizeof bytes);
  return bytes;
}

// The index of the first byte that comparisons marked (all bits set), such
// as `(bytes == '\r') | (bytes == '\n')`; 16 when none is. The comparisons
// give a vector of signed bytes, hence the template.
template <class Marks>
std::size_t firstMarked(const Marks& marks) {
  static_assert(sizeof(Marks) == 16);
  std::uint64_t halves[2];
  std::memcpy(halves, &marks, sizeof halves);
  for (int half = 0; half < 2; ++half) {
    if (halves[half] == 0) continue;
    const int bits = std::endian::native == std::endian::little ? std::countr_zero(halves[half])
                                                                : std::countl_zero(halves[half]);
    return static_cast<std::size_t>(half * 8 + bits / 8);
  }
  return 16;
}

// One bit for each byte that comparisons marked, the first byte's lowest.
template <class Marks>
std::uint32_t markedBits(const Marks& marks) {
  static_assert(sizeof(Marks) == 16);
#if defined(__SSE2__)
  __m128i vector;
  std::memcpy(&vector, &marks, sizeof vector);
  return static_cast<std::uint32_t>(_mm_movemask_epi8(vector));
#else
  unsigned char bytes[16];
  std::memcpy(bytes, &marks, sizeof bytes);
  std::uint32_t bits = 0;
  for (int i = 0; i < 16; ++i) bits |= static_cast<std::uint32_t>(bytes[i] != 0) << i;
  return bits;
#endif
}

inline void store16(char* to, const Bytes16& bytes) {
  std::memcpy(to, &bytes, sizeof bytes);
}

}  // namespace platform

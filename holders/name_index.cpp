#include "holders/name_index.h"

namespace holders {

std::uint32_t hashIgnoringCase(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash ^= platform::upperChar(static_cast<unsigned char>(c));
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace holders

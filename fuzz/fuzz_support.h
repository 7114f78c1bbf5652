// Shared by the fuzz targets: a private working directory for the whole run,
// file writing that does not go through the code under test, and checks that
// stop the run with a message (a failed check is a finding, like a crash).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzzing {

// A directory of its own for this process, created on first use and removed
// when the process exits.
const std::string& workDirectory();

// workDirectory() + "/" + name
std::string workFile(std::string_view name);

// Writes bytes to path with plain POSIX calls; aborts when that fails, since
// the target cannot go on without its input.
void writeBytes(const std::string& path, std::string_view bytes);

// Prints "fuzz check failed: <what>" and aborts when condition is false.
void check(bool condition, std::string_view what);

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzzing

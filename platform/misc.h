// Small utility routines shared by both programs.
//
// AddBackslash and StripBackslash keep their historic names but treat '\'
// and '/' alike and add the platform's separator, '/'.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Path with a separator appended, unless it is empty or already ends in one.
std::string AddBackslash(std::string_view path);
// Path without its last character when that is a separator.
std::string StripBackslash(std::string_view path);
// "TRUE" or "FALSE".
std::string BoolText(bool value);
// The environment variable named by Name upper-cased; at most 512 bytes; empty
// when unset.
std::string EnvironmentValue(std::string_view name);

// Empties list, then adds AddBackslash(directory) + name for every regular
// file of the directory whose name matches mask ignoring case. The directory
// is found ignoring case. Entries come in byte order of their names, so runs
// are repeatable whatever order the file system keeps.
void FindFiles(std::string_view directory, std::string_view mask, std::vector<std::string>& list);

// Every bit of flags is set in value.
inline bool FlagsSet(int flags, int value) {
  return (value & flags) == flags;
}
inline void SetFlags(int flags, int& value, bool on) {
  value = on ? (value | flags) : (value & ~flags);
}

}  // namespace platform

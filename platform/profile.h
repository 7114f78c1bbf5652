// Profile (INI) files with the semantics Windows programs expect.
//
// A file is a list of lines. "[Name]" starts a section; "key=value" lines
// belong to the section above them. Section and key names are compared
// ignoring case; a key name is the text before the first '=', trimmed, and
// may hold '\', '/', ':' and blanks (file paths are keys). A value is the
// text after the first '=', trimmed, with one pair of matching surrounding
// quotes (' or ") removed. Comments (';'), blank lines and lines without '='
// are never keys. When a section or key appears twice, the first one counts.
//
// Everything not written through this class stays byte for byte: a write
// replaces its line in place or adds one after the last key of its section
// (after its last line of text when it has no keys), appending the section at
// the end of the file when it is missing.
// Changes stay in memory until UpdateFile, which writes every line with
// CR LF through a temporary file, so a failure never damages the old file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

class Profile {
 public:
  // Reads the file, found ignoring case; a missing file reads as empty and is
  // created by UpdateFile. Throws FileError when the file cannot be read.
  explicit Profile(std::string_view fileName);
  // A profile parsed from text (for tests and in-memory use); UpdateFile
  // writes to fileName.
  static Profile fromText(std::string_view text, std::string_view fileName = {});

  Profile(Profile&&) noexcept;
  Profile& operator=(Profile&&) noexcept;
  ~Profile();

  const std::string& fileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // A value that is not a whole number within int's range gives the default.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  // A whole number other than 0 is true, 0 is false, anything else the default.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  // The key names of the section in file order (empty when it is missing).
  std::vector<std::string> ReadSection(std::string_view section) const;
  // True when the file has a header of that name, even with no keys under it.
  bool SectionExists(std::string_view section) const;

  // Line breaks in a key or value would split the line and are written as
  // blanks.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  // Written as "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Removes the section's header and every line under it (every section of
  // that name, when it appears more than once).
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

  // The file's text as UpdateFile writes it.
  std::string text() const;
  // Writes the file atomically. Throws FileError.
  void UpdateFile() const;

 private:
  struct Line;
  struct Section;

  Profile();
  void parse(std::string_view text);
  // Sections are only changed through non-const members.
  Section* findSection(std::string_view name) const;
  Section& sectionForWriting(std::string_view name);
  const Line* findLine(std::string_view section, std::string_view key) const;
  void reindex();

  std::string fileName_;
  // Lines before the first section header.
  std::vector<std::string> preamble_;
  std::vector<std::unique_ptr<Section>> sections_;
  // Upper-cased section name -> first section of that name.
  std::unordered_map<std::string, Section*> sectionIndex_;
};

}  // namespace platform

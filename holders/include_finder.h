// Finding include files in the unit directories.
//
// An include name is tried in every directory of the units added so far, in
// order; a directory that holds it extends the name, and the extended name is
// tried in the later directories. Once the name has been extended with an
// absolute directory no later directory can hold it (on the original platform
// that joined path is not even a valid name), so the first absolute directory
// holding the file is the one used. A name no directory holds is used as
// given.
//
// Large projects include thousands of files from hundreds of directories, and
// names arrive upper-cased, which on a case-sensitive file system turns every
// miss into a directory scan. The finder therefore reads each directory once
// and keeps its listing, tries each distinct directory once, and remembers
// for each name how far down the directory list it has looked, so the whole
// run costs time in proportion to the directories and includes it meets. A
// plain file name (most includes are one) is not tried directory by
// directory at all: the finder indexes the files of the directories it has
// listed by name, and looks the name up once.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/text.h"

namespace holders {

// The files and subdirectories of directories, each listed once and kept;
// several finders (one per reading thread) may share one.
class DirectoryListings {
 public:
  // Looked up by string_view, so a lookup copies no name.
  using NameMap = platform::TextMap<std::string>;
  struct Listing {
    std::string directory;  // the directory as it exists on disk, with a separator
    // Regular files and subdirectories by upper-cased name; of names
    // differing only in case, the one a case-insensitive path lookup picks.
    NameMap files;
    NameMap subdirectories;
  };

  // The listing of `directory` (empty when it does not exist); it stays
  // where it is for the listings' lifetime.
  const Listing& of(const std::string& directory);

 private:
  std::mutex mutex_;
  std::unordered_map<std::string, Listing> listings_;
};

class IncludeFinder {
 public:
  // Lists directories itself, or through `shared` (which outlives it).
  explicit IncludeFinder(DirectoryListings* shared = nullptr)
      : listings_(shared != nullptr ? *shared : ownListings_) {}
  IncludeFinder(const IncludeFinder&) = delete;
  IncludeFinder& operator=(const IncludeFinder&) = delete;

  struct Located {
    std::string name;  // the include's name as the run reports it
    std::string path;  // the regular file to read; empty when there is none
  };

  // The file an include directive's (upper-cased) argument names.
  // The directories only grow from one call to the next: a call may add
  // entries at the end of the last call's list, never change earlier ones.
  Located locate(const std::string& name, std::span<const std::string> directories);
  // Only the reported name of locate().
  std::string find(const std::string& name, const std::vector<std::string>& directories) {
    return locate(name, directories).name;
  }

 private:
  struct Progress {
    size_t checked = 0;  // distinct directories looked at so far
    Located found;       // the absolute match, once there is one
    bool givenChecked = false;
    std::string givenPath;  // the name as given, when no directory holds it
  };
  using Listing = DirectoryListings::Listing;

  void addDirectories(std::span<const std::string> directories);
  const Listing& listing(const std::string& directory);
  // The listing of distinct_[index], kept by index: a name is tried in every
  // distinct directory, and looking each up by its path would hash the path.
  const Listing& distinctListing(size_t index);
  std::optional<std::string> pathIn(const Listing& start, std::string_view name);
  // For a plain file name: the first distinct directory from `from` on
  // that holds it, or distinct_.size().
  size_t firstHolding(std::string_view upperName, size_t from);
  // The name upper-cased, in a buffer of the finder's own.
  std::string_view upperCased(std::string_view name);
  std::string cumulativeSearch(const std::string& name);
  const std::string& givenPath(Progress& progress, const std::string& name);

  size_t directoriesSeen_ = 0;  // entries of the caller's list taken so far
  std::vector<std::string> distinct_;
  std::vector<const Listing*> distinctListings_;  // nullptr until listed
  std::string upperName_;
  std::unordered_set<std::string> distinctSet_;
  // Upper-cased file name -> the distinct directories holding it, ascending;
  // for the first filesIndexed_ of them.
  platform::TextMap<std::vector<std::uint32_t>> holding_;
  size_t filesIndexed_ = 0;
  DirectoryListings ownListings_;
  DirectoryListings& listings_;
  // The listings this finder has used, so that it seldom takes the shared
  // listings' lock.
  std::unordered_map<std::string, const Listing*> known_;
  std::unordered_map<std::string, Progress> progress_;
};

}  // namespace holders

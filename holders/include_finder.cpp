#include "holders/include_finder.h"

#include <algorithm>
#include <filesystem>

#include "platform/files.h"
#include "platform/misc.h"
#include "platform/text.h"

namespace holders {
namespace {

bool isAbsolute(std::string_view path) {
  return !path.empty() && (path.front() == '/' || path.front() == '\\');
}

// Keeps spelling in the map under its upper-cased name: of names differing
// only in case, the exact upper-cased spelling, else the first in byte order.
template <typename Map>
void keepPreferred(Map& names, std::string spelling) {
  auto [slot, added] = names.try_emplace(platform::upperCase(spelling), spelling);
  if (!added && slot->second != slot->first &&
      (spelling == slot->first || spelling < slot->second)) {
    slot->second = std::move(spelling);
  }
}

// The path to open for a name, when it names a regular file.
std::optional<std::string> existingFile(const std::string& name) {
  std::optional<std::string> path = platform::resolvePath(name);
  std::error_code error;
  if (path && std::filesystem::is_regular_file(*path, error)) return path;
  return std::nullopt;
}

}  // namespace

void IncludeFinder::addDirectories(std::span<const std::string> directories) {
  for (; directoriesSeen_ < directories.size(); ++directoriesSeen_) {
    const std::string& directory = directories[directoriesSeen_];
    if (distinctSet_.insert(directory).second) distinct_.push_back(directory);
  }
}

const DirectoryListings::Listing& DirectoryListings::of(const std::string& directory) {
  {
    const std::lock_guard lock(mutex_);
    const auto known = listings_.find(directory);
    if (known != listings_.end()) return known->second;
  }
  // Listed outside the lock, so that other threads' lookups go on; when two
  // threads list a directory at once, the first listing kept is used.
  Listing listing;
  if (const auto resolved = platform::resolvePath(directory)) {
    listing.directory = platform::AddBackslash(*resolved);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(*resolved, error)) {
      std::error_code ignored;
      if (entry.is_regular_file(ignored)) {
        keepPreferred(listing.files, entry.path().filename().string());
      } else if (entry.is_directory(ignored)) {
        keepPreferred(listing.subdirectories, entry.path().filename().string());
      }
    }
  }
  const std::lock_guard lock(mutex_);
  return listings_.emplace(directory, std::move(listing)).first->second;
}

const IncludeFinder::Listing& IncludeFinder::listing(const std::string& directory) {
  const Listing*& known = known_[directory];
  if (known == nullptr) known = &listings_.of(directory);
  return *known;
}

const IncludeFinder::Listing& IncludeFinder::distinctListing(size_t index) {
  if (distinctListings_.size() < distinct_.size()) distinctListings_.resize(distinct_.size());
  const Listing*& known = distinctListings_[index];
  if (known == nullptr) known = &listing(distinct_[index]);  // map nodes stay where they are
  return *known;
}

std::string_view IncludeFinder::upperCased(std::string_view name) {
  upperName_.resize(name.size());
  std::transform(name.begin(), name.end(), upperName_.begin(), [](char c) {
    return static_cast<char>(platform::upperChar(static_cast<unsigned char>(c)));
  });
  return upperName_;
}

std::optional<std::string> IncludeFinder::pathIn(const Listing& start, std::string_view name) {
  // Every component is looked up in a cached listing, so a name tried in
  // hundreds of directories costs no system calls once they are listed.
  const Listing* files = &start;
  size_t begin = 0;
  for (size_t end; (end = name.find_first_of("/\\", begin)) != std::string_view::npos;
       begin = end + 1) {
    const std::string_view part = name.substr(begin, end - begin);
    if (part.empty()) continue;
    if (files->directory.empty()) return std::nullopt;  // no such directory
    if (part == "." || part == "..") {
      files = &listing(files->directory + std::string(part) + "/");
      continue;
    }
    const auto subdirectory = files->subdirectories.find(upperCased(part));
    if (subdirectory == files->subdirectories.end()) return std::nullopt;
    files = &listing(files->directory + subdirectory->second + "/");
  }
  const auto file = files->files.find(upperCased(name.substr(begin)));
  if (file == files->files.end()) return std::nullopt;
  return files->directory + file->second;
}

size_t IncludeFinder::firstHolding(std::string_view upperName, size_t from) {
  for (; filesIndexed_ < distinct_.size(); ++filesIndexed_) {
    for (const auto& file : distinctListing(filesIndexed_).files) {
      holding_[file.first].push_back(static_cast<std::uint32_t>(filesIndexed_));
    }
  }
  const auto found = holding_.find(upperName);
  if (found == holding_.end()) return distinct_.size();
  const std::vector<std::uint32_t>& holders = found->second;
  const auto next = std::lower_bound(holders.begin(), holders.end(), from);
  return next == holders.end() ? distinct_.size() : *next;
}

std::string IncludeFinder::cumulativeSearch(const std::string& name) {
  // A relative directory held the file: the extended name is tried in the
  // later directories as well.
  std::string result = name;
  for (const std::string& directory : distinct_) {
    if (existingFile(directory + result)) {
      result = directory + result;
      if (isAbsolute(directory)) break;
    }
  }
  return result;
}

const std::string& IncludeFinder::givenPath(Progress& progress, const std::string& name) {
  if (!progress.givenChecked) {
    const std::optional<std::string> path =
        isAbsolute(name) ? existingFile(name) : pathIn(listing("./"), name);
    progress.givenPath = path.value_or(std::string());
    progress.givenChecked = true;
  }
  return progress.givenPath;
}

IncludeFinder::Located IncludeFinder::locate(const std::string& name,
                                             std::span<const std::string> directories) {
  addDirectories(directories);
  Progress& progress = progress_[name];
  if (!progress.found.name.empty()) return progress.found;
  const bool plainName = name.find_first_of("/\\") == std::string::npos;
  for (; progress.checked < distinct_.size(); ++progress.checked) {
    if (plainName) {
      progress.checked = firstHolding(upperCased(name), progress.checked);
      if (progress.checked == distinct_.size()) break;
    }
    const std::string& directory = distinct_[progress.checked];
    std::optional<std::string> path = pathIn(distinctListing(progress.checked), name);
    if (!path) continue;
    if (!isAbsolute(directory)) {
      std::string extended = cumulativeSearch(name);
      std::string file = existingFile(extended).value_or(std::string());
      return Located{std::move(extended), std::move(file)};
    }
    progress.found = Located{directory + name, std::move(*path)};
    return progress.found;
  }
  return Located{name, givenPath(progress, name)};
}

}  // namespace holders

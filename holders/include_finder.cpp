#include "holders/include_finder.h"

#include <filesystem>

#include "platform/files.h"
#include "platform/text.h"

namespace holders {
namespace {

bool isAbsolute(std::string_view path) {
  return !path.empty() && (path.front() == '/' || path.front() == '\\');
}

bool hasDirectoryPart(std::string_view name) {
  return name.find_first_of("/\\") != std::string_view::npos;
}

}  // namespace

void IncludeFinder::addDirectories(const std::vector<std::string>& directories) {
  for (; directoriesSeen_ < directories.size(); ++directoriesSeen_) {
    const std::string& directory = directories[directoriesSeen_];
    if (distinctSet_.insert(directory).second) distinct_.push_back(directory);
  }
}

bool IncludeFinder::holds(const std::string& directory, const std::string& name) {
  if (hasDirectoryPart(name)) return platform::fileExists(directory + name);
  auto listing = listings_.find(directory);
  if (listing == listings_.end()) {
    std::unordered_set<std::string> names;
    if (const auto resolved = platform::resolvePath(directory)) {
      std::error_code error;
      for (const auto& entry : std::filesystem::directory_iterator(*resolved, error)) {
        std::error_code ignored;
        if (entry.is_regular_file(ignored)) {
          names.insert(platform::upperCase(entry.path().filename().string()));
        }
      }
    }
    listing = listings_.emplace(directory, std::move(names)).first;
  }
  return listing->second.count(platform::upperCase(name)) != 0;
}

std::string IncludeFinder::cumulativeSearch(const std::string& name) {
  // A relative directory held the file: the extended name is tried in the
  // later directories as well.
  std::string result = name;
  for (const std::string& directory : distinct_) {
    if (platform::fileExists(directory + result)) {
      result = directory + result;
      if (isAbsolute(directory)) break;
    }
  }
  return result;
}

std::string IncludeFinder::find(const std::string& name,
                                const std::vector<std::string>& directories) {
  addDirectories(directories);
  Progress& progress = progress_[name];
  if (!progress.found.empty()) return progress.found;
  for (; progress.checked < distinct_.size(); ++progress.checked) {
    const std::string& directory = distinct_[progress.checked];
    if (!holds(directory, name)) continue;
    if (!isAbsolute(directory)) return cumulativeSearch(name);
    progress.found = directory + name;
    return progress.found;
  }
  return name;
}

}  // namespace holders

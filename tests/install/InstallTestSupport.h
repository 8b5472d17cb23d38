// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the install tests: the current directory and the time zone changed for one
// test and restored afterwards, file times, directory listings and open descriptors.
#pragma once

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrilo::testing {

// The process's current directory, until the object goes.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& directory)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
  }
  // The tests after this one must not run in its directory: a failed return ends the run.
  ~ScopedCurrentDirectory() {
    std::error_code error;
    std::filesystem::current_path(previous_, error);
    if (error) std::abort();
  }
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

  // The current directory as the system names it, with a trailing separator.
  static std::string Current() {
#ifdef _WIN32
    return std::filesystem::current_path().string() + "\\";
#else
    return std::filesystem::current_path().string() + "/";
#endif
  }

 private:
  std::filesystem::path previous_;
};

#ifndef _WIN32

// The local time zone (a POSIX TZ value such as "XST-5:45"), until the object goes.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* previous = std::getenv("TZ")) previous_ = previous;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (previous_) {
      ::setenv("TZ", previous_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};

inline void SetModificationTime(const std::string& path, long long seconds, long nanoseconds = 0) {
  const struct timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds},
                                    {static_cast<time_t>(seconds), nanoseconds}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw std::runtime_error("utimensat failed: " + path);
  }
}

inline struct timespec ModificationTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) throw std::runtime_error("stat failed: " + path);
  return info.st_mtim;
}

// The names in `directory`, without "." and "..", sorted.
inline std::vector<std::string> ListDirectory(const std::string& directory) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) throw std::runtime_error("opendir failed: " + directory);
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(listing);
  std::sort(names.begin(), names.end());
  return names;
}

inline std::size_t OpenDescriptorCount() {
  return ListDirectory("/proc/self/fd").size();
}

#else  // _WIN32

// The names in `directory`, sorted.
inline std::vector<std::string> ListDirectory(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

#endif  // _WIN32

}  // namespace tavrilo::testing

// Helpers of the install tests: the current directory and the time zone changed for one
// test and restored afterwards, file times, directory listings and open descriptors.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrilo::testing {

// The process's current directory, until the object goes.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& directory) {
    char* previous = ::getcwd(nullptr, 0);
    if (previous == nullptr) throw std::runtime_error("getcwd failed");
    previous_ = previous;
    std::free(previous);
    if (::chdir(directory.c_str()) != 0) throw std::runtime_error("chdir failed: " + directory);
  }
  // The tests after this one must not run in its directory: a failed return ends the run.
  ~ScopedCurrentDirectory() {
    if (::chdir(previous_.c_str()) != 0) std::abort();
  }
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

  // The current directory as the system names it, with a trailing separator.
  static std::string Current() {
    char* current = ::getcwd(nullptr, 0);
    if (current == nullptr) throw std::runtime_error("getcwd failed");
    std::string result = std::string(current) + "/";
    std::free(current);
    return result;
  }

 private:
  std::string previous_;
};

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

}  // namespace tavrilo::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// File permissions checked as an ordinary user, for tests that run as root (for whom
// chmod denies nothing): the thread's file-system user and group (setfsuid, setfsgid),
// which every permission check of the kernel uses, and whose change drops the
// capabilities that let root pass those checks.
#pragma once

#ifndef _WIN32

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace tavrilo::testing {

inline constexpr uid_t kUserId = 4321;
inline constexpr gid_t kUserGroup = 4321;
inline constexpr gid_t kOtherGroup = 8765;  // a group the user is not in

// Whether this process can take another file-system user (it runs as root).
inline bool CanActAsAnotherUser() {
  return ::geteuid() == 0;
}

// Until the object goes, files are opened, created and changed as user kUserId of group
// kUserGroup.
class ScopedFileSystemUser {
 public:
  ScopedFileSystemUser()
      : previousGroup_(static_cast<gid_t>(::setfsgid(kUserGroup))),
        previousUser_(static_cast<uid_t>(::setfsuid(kUserId))) {
    if (static_cast<uid_t>(::setfsuid(static_cast<uid_t>(-1))) != kUserId) {
      throw std::runtime_error("setfsuid failed");
    }
  }
  ~ScopedFileSystemUser() {
    ::setfsuid(previousUser_);
    ::setfsgid(previousGroup_);
  }
  ScopedFileSystemUser(const ScopedFileSystemUser&) = delete;
  ScopedFileSystemUser& operator=(const ScopedFileSystemUser&) = delete;

 private:
  gid_t previousGroup_;
  uid_t previousUser_;
};

// Gives `path` an owner, a group and a mode (as root, before acting as the user).
inline void SetOwnerAndMode(const std::string& path, uid_t owner, gid_t group, mode_t mode) {
  if (::chown(path.c_str(), owner, group) != 0 || ::chmod(path.c_str(), mode) != 0) {
    throw std::runtime_error("cannot set the owner or mode of " + path);
  }
}

// Until the object goes, the environment variable `name` is `value`; then it is again what
// it was, or unset.
class ScopedVariable {
 public:
  ScopedVariable(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* previous = std::getenv(name_.c_str())) previous_ = previous;
    ::setenv(name_.c_str(), value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (previous_) {
      ::setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Until the object goes, $XDG_CONFIG_HOME (where the settings folder lies) is `folder`.
class ScopedConfigHome : public ScopedVariable {
 public:
  explicit ScopedConfigHome(const std::string& folder)
      : ScopedVariable("XDG_CONFIG_HOME", folder) {}
};

}  // namespace tavrilo::testing

#endif  // _WIN32

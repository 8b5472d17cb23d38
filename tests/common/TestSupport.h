// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers shared by the tests: a temporary directory that removes itself, and
// byte-exact file reading and writing.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

#include "core/FileError.h"

namespace tavrilo::testing {

// A fresh directory under the system's temporary directory, removed with everything in
// it when the object goes. Path() ends with a separator, like an application directory.
class TempDir {
 public:
  TempDir() {
#ifdef _WIN32
    // No mkdtemp: a random name made with create_directory, which fails on a name taken.
    std::random_device random;
    for (int attempt = 0; path_.empty(); ++attempt) {
      const std::filesystem::path folder =
          std::filesystem::temp_directory_path() / ("tavrilo-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(folder)) path_ = folder.string() + "\\";
      if (attempt > 100) throw std::runtime_error("cannot make a temporary folder");
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrilo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
#endif
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const {
    return path_;
  }
  std::string operator/(const std::string& relative) const {
    return path_ + relative;
  }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

// The key and file of the FileError (core/FileError.h) that `action` throws, as
// "FileError.<reason> <file>"; "(nothing thrown)" when it throws none.
template <typename Action>
std::string FileErrorOf(Action&& action) {
  try {
    action();
  } catch (const FileError& error) {
    return error.GetText().key + " " + error.Path();
  }
  return "(nothing thrown)";
}

// The message of the `Error` that `action` throws, or "(nothing thrown)".
template <typename Error, typename Action>
std::string MessageOf(Action&& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(nothing thrown)";
}

// The source tree's shipped data directories, with a trailing separator.
inline std::string SourceDir() {
  return std::string(TAVRILO_SOURCE_DIR) + "/";
}
inline std::string ShippedDataDir() {
  return SourceDir() + "data/";
}
inline std::string ShippedSupportDir() {
  return SourceDir() + "Q2Dats/";
}

// Copies the shipped data/ (and Q2Dats/) into `appDir`, as beside an installed program.
inline void InstallShippedData(const std::string& appDir) {
  namespace fs = std::filesystem;
  // The sources named without a trailing separator, which not every library's copy takes.
  fs::copy(SourceDir() + "data", appDir + "data",
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  fs::copy(SourceDir() + "Q2Dats", appDir + "Q2Dats",
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

}  // namespace tavrilo::testing

#include "datafiles/Paths.h"

#include <filesystem>
#include <system_error>

namespace tavrilo {

std::string ApplicationDirectory() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return DirectoryPart(std::filesystem::current_path().string() + "/");
  return DirectoryPart(exe.string());
}

std::string DirectoryPart(std::string_view path) {
  std::string_view::size_type slash = path.find_last_of(kPathSeparator);
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

std::string FileNamePart(std::string_view path) {
  std::string_view::size_type slash = path.find_last_of(kPathSeparator);
  if (slash == std::string_view::npos) return std::string(path);
  return std::string(path.substr(slash + 1));
}

}  // namespace tavrilo
